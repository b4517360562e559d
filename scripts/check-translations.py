#!/usr/bin/env python3
"""Keeps the catalogues in translations/ in step with the sources.

    check-translations.py                  fails unless every catalogue is in step
    check-translations.py --update         brings the sources' new texts into them
    check-translations.py --pseudo OUT.ts  writes a catalogue of every text of the
                                           sources, each translated as itself in
                                           markers: ⟦text⟧ (for the tests)

In step means: lupdate, run over the sources, would change nothing (no text
added, none dropped, no translator's comment changed), and every entry is
finished, keeps the source's place markers (%1), its blanks and line breaks at
either end and any "(*.txt)" pattern. Qt's lupdate is taken from --lupdate,
else $LUPDATE, else Debian's /usr/lib/qt6/bin/lupdate.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
# The folders that hold the program's sources (tests, benchmarks and tools
# show nothing to the user).
SOURCE_FOLDERS = ["platform", "presentation", "results", "search", "shell"]
MARKERS = ("\u27e6", "\u27e7")


def lupdate_command(lupdate, ts_files):
    return [lupdate, "-silent", "-locations", "none", "-no-obsolete", "-no-ui-lines",
            "-extensions", "cpp,h", "-I", str(ROOT), *SOURCE_FOLDERS, "-ts", *map(str, ts_files)]


def run_lupdate(lupdate, ts_files):
    result = subprocess.run(lupdate_command(lupdate, ts_files), cwd=ROOT,
                            capture_output=True, text=True)
    # lupdate warns on stderr about texts it cannot take (tr() of a variable, a
    # context it cannot resolve): each such text would escape translation. It
    # does not read Qt's headers, so Qt's own classes (QPalette::ColorRole as
    # a function's type) are unknown to it: that warning alone is no fault.
    warnings = [line for line in result.stderr.splitlines()
                if line.strip() and not re.search(r"unknown namespace/class ::Q[A-Z]\w*$", line)]
    if result.returncode != 0 or warnings:
        sys.exit("lupdate failed or warned:\n" + result.stdout + result.stderr)


def find_lupdate(given):
    for candidate in (given, os.environ.get("LUPDATE"), "/usr/lib/qt6/bin/lupdate"):
        if candidate and Path(candidate).is_file():
            return candidate
    sys.exit("lupdate not found: install Debian's qt6-l10n-tools (scripts/install-deps.sh does)")


def messages(ts_file):
    """{(context, source, comment): (translation element, extra comment)}"""
    found = {}
    for context in ET.parse(ts_file).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            key = (name, message.findtext("source"), message.findtext("comment") or "")
            found[key] = (message.find("translation"), message.findtext("extracomment") or "")
    return found


def describe(key):
    context, source, comment = key
    return f"{context}: {source!r}" + (f" ({comment})" if comment else "")


def entry_problems(source, translation):
    """What is wrong with one entry's translation; empty when nothing."""
    if translation is None:
        return ["no translation"]
    kind = translation.get("type")
    if kind:
        return [kind]
    text = translation.text or ""
    if not text:
        return ["empty translation"]
    problems = []
    markers = sorted(re.findall(r"%\d", source))
    if sorted(re.findall(r"%\d", text)) != markers:
        problems.append(f"place markers {markers} not kept")
    for end, pattern in (("start", r"^\s*"), ("end", r"\s*$")):
        if re.search(pattern, source).group() != re.search(pattern, text).group():
            problems.append(f"blanks or line breaks at the {end} not kept")
    for glob in re.findall(r"\(\*\.[^)]*\)", source):
        if glob not in text:
            problems.append(f"{glob} not kept")
    return problems


def check(lupdate, ts_files):
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        copies = [Path(scratch) / ts.name for ts in ts_files]
        for ts, copy in zip(ts_files, copies):
            shutil.copyfile(ts, copy)
        run_lupdate(lupdate, copies)
        for ts, copy in zip(ts_files, copies):
            before, after = messages(ts), messages(copy)
            name = ts.relative_to(ROOT)
            for key in after.keys() - before.keys():
                failures.append(f"{name}: new text, not translated yet: {describe(key)}")
            for key in before.keys() - after.keys():
                failures.append(f"{name}: no longer in the sources: {describe(key)}")
            for key in before.keys() & after.keys():
                if before[key][1] != after[key][1]:
                    failures.append(f"{name}: translator's comment changed: {describe(key)}")
            if not failures and ts.read_bytes() != copy.read_bytes():
                failures.append(f"{name}: lupdate would rewrite it (run it with --update)")
    for ts in ts_files:
        for key, (translation, _) in messages(ts).items():
            for problem in entry_problems(key[1], translation):
                failures.append(f"{ts.relative_to(ROOT)}: {problem}: {describe(key)}")
    if failures:
        print("\n".join(failures), file=sys.stderr)
        print(f"\n{len(failures)} problem(s). New texts: run scripts/check-translations.py "
              "--update (or build the target update_translations), then translate the "
              "unfinished entries (Qt Linguist, or by hand) and run this check again.",
              file=sys.stderr)
        return 1
    counts = ", ".join(f"{ts.name} {len(messages(ts))}" for ts in ts_files)
    print(f"Translations in step with the sources, every entry finished: {counts}")
    return 0


def update(lupdate, ts_files):
    run_lupdate(lupdate, ts_files)
    for ts in ts_files:
        unfinished = [key for key, (translation, _) in messages(ts).items()
                      if entry_problems(key[1], translation)]
        print(f"{ts.relative_to(ROOT)}: {len(unfinished)} entries to translate")
        for key in unfinished:
            print(f"  {describe(key)}")
    return 0


def pseudo(lupdate, output):
    output = Path(output).resolve()
    output.parent.mkdir(parents=True, exist_ok=True)
    if output.exists():
        output.unlink()
    run_lupdate(lupdate, [output])
    tree = ET.parse(output)
    for message in tree.getroot().iter("message"):
        translation = message.find("translation")
        translation.attrib.pop("type", None)
        translation.text = MARKERS[0] + message.findtext("source") + MARKERS[1]
    tree.write(output, encoding="utf-8", xml_declaration=True)
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    action = parser.add_mutually_exclusive_group()
    action.add_argument("--update", action="store_true")
    action.add_argument("--pseudo", metavar="OUT.ts")
    parser.add_argument("--lupdate")
    arguments = parser.parse_args()
    lupdate = find_lupdate(arguments.lupdate)
    if arguments.pseudo:
        return pseudo(lupdate, arguments.pseudo)
    ts_files = sorted((ROOT / "translations").glob("ostlebry_*.ts"))
    if not ts_files:
        sys.exit("no catalogues in translations/")
    return update(lupdate, ts_files) if arguments.update else check(lupdate, ts_files)


if __name__ == "__main__":
    sys.exit(main())
