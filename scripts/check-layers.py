#!/usr/bin/env python3
"""Checks the program's three layers; a source file's path names its layer.

    platform/walk/...    the walk (ostlebry_walk): plain C++, no Qt
    any .../qt/...       the widgets (ostlebry_widgets): Qt's widgets and desktop
    everything else      the logic (ostlebry_logic): Qt Core only

of the folders platform/, search/, results/, presentation/ and shell/. The
walk sees no other layer, the logic sees the walk, the widgets see both. This
check fails when
- a source file is listed in its folder's CMakeLists.txt for no library, or
  for another library than its path names (the program's main.cpp aside);
- a file of the walk includes a Qt header or a file of the logic or widgets;
- a file of the logic includes a Qt header outside Qt Core (also one spelled
  <QtWidgets/QWidget>, which the include path alone would let through), or a
  file of the widgets;
- the folders include each other in a cycle;
- a file of the program includes a private Qt header (<qpa/...>, <private/...>,
  ..._p.h) or the program's CMake files link a private Qt module: those tie
  every build to one exact Qt version (tests may, where nothing public serves).
Usage: check-layers.py [source-root]   (QT_CORE_HEADERS may name Qt Core's folder)
"""
import glob
import os
import re
import sys

ROOT = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
FOLDERS = ["platform", "search", "results", "presentation", "shell"]
LAYERS = ["ostlebry_walk", "ostlebry_logic", "ostlebry_widgets"]
PROGRAM = "shell/qt/main.cpp"
SOURCE = re.compile(r"\.(h|cpp)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
TARGET_SOURCES = re.compile(r"target_sources\(\s*(\w+)\s+PRIVATE\s+([^)]*)\)", re.S)
PRIVATE_QT_HEADER = re.compile(r"^(qpa/|private/|Qt\w+/private/)|_p\.h$")
PRIVATE_QT_MODULE = re.compile(r"Qt6?::\w+Private\b")


def layer_of(path):
    """The library a source path names, or None outside the program's folders."""
    parts = path.split("/")
    if parts[0] not in FOLDERS:
        return None
    if parts[:2] == ["platform", "walk"]:
        return "ostlebry_walk"
    if "qt" in parts[:-1]:
        return "ostlebry_widgets"
    return "ostlebry_logic"


def qt_core_headers():
    candidates = [os.environ.get("QT_CORE_HEADERS", "")]
    candidates += glob.glob("/usr/include/*/qt6/QtCore") + glob.glob("/usr/include/qt6/QtCore")
    for folder in candidates:
        if folder and os.path.isdir(folder):
            return set(os.listdir(folder))
    sys.exit("check-layers: Qt Core's headers not found; set QT_CORE_HEADERS")


def listed_library_of_each_file():
    libraries = {}
    for folder in FOLDERS:
        for cmake in glob.glob(os.path.join(ROOT, folder, "**", "CMakeLists.txt"), recursive=True):
            base = os.path.dirname(cmake)
            text = re.sub(r"#.*", "", open(cmake, encoding="utf-8").read())
            for library, files in TARGET_SOURCES.findall(text):
                for name in files.split():
                    path = os.path.relpath(os.path.normpath(os.path.join(base, name)), ROOT)
                    libraries[path] = library
    return libraries


def include_problems(relative, library, text, core):
    problems, targets = [], []
    level = LAYERS.index(library)
    for bracket, header in INCLUDE.findall(text):
        if bracket == '"':
            target = os.path.normpath(header)
            target_library = layer_of(target)
            if target_library and LAYERS.index(target_library) > level:
                problems.append(f"{relative}: {library} includes {header} of {target_library}")
            targets.append(target)
        elif PRIVATE_QT_HEADER.search(header):
            problems.append(f"{relative}: includes Qt's private header <{header}>")
        elif header.startswith("Q") or header.startswith("qt"):
            if library == "ostlebry_walk":
                problems.append(f"{relative}: the walk includes the Qt header <{header}>")
            elif library == "ostlebry_logic":
                module, _, name = header.rpartition("/")
                if (module and module != "QtCore") or (not module and name not in core):
                    problems.append(f"{relative}: the logic includes <{header}>, which is not Qt Core's")
    return problems, targets


def main():
    core = qt_core_headers()
    listed = listed_library_of_each_file()
    problems = []
    folder_edges = {}
    count = 0
    for folder in FOLDERS:
        for path in sorted(glob.glob(os.path.join(ROOT, folder, "**", "*"), recursive=True)):
            relative = os.path.relpath(path, ROOT)
            if not SOURCE.search(relative):
                continue
            library = layer_of(relative)
            count += 1
            if relative != PROGRAM and listed.get(relative) != library:
                where = listed.get(relative) or "no library"
                problems.append(f"{relative}: listed for {where} in its folder's CMakeLists.txt, "
                                f"but its path names {library}")
            text = open(path, encoding="utf-8", errors="replace").read()
            found, targets = include_problems(relative, library, text, core)
            problems += found
            for target in targets:
                source_folder, target_folder = os.path.dirname(relative), os.path.dirname(target)
                if source_folder != target_folder and layer_of(target):
                    folder_edges.setdefault(source_folder, {}).setdefault(target_folder, relative)
    problems += cycles(folder_edges)
    problems += private_module_links()
    for problem in problems:
        print("check-layers: " + problem)
    if problems:
        return 1
    print(f"check-layers: {count} files in {len(LAYERS)} layers, each where its path says, no folder cycle")
    return 0


def private_module_links():
    """The program's CMake files that link a private Qt module."""
    found = []
    files = [os.path.join(ROOT, "CMakeLists.txt")]
    for folder in FOLDERS:
        files += glob.glob(os.path.join(ROOT, folder, "**", "CMakeLists.txt"), recursive=True)
    for cmake in files:
        text = re.sub(r"#.*", "", open(cmake, encoding="utf-8").read())
        for module in sorted(set(PRIVATE_QT_MODULE.findall(text))):
            found.append(f"{os.path.relpath(cmake, ROOT)}: the program links Qt's private {module}")
    return found


def cycles(edges):
    """One message per folder cycle found by a depth-first search."""
    found, state, stack = [], {}, []

    def visit(folder):
        state[folder] = "open"
        stack.append(folder)
        for target in sorted(edges.get(folder, {})):
            if state.get(target) == "open":
                loop = stack[stack.index(target):] + [target]
                witnesses = ", ".join(edges[a][b] for a, b in zip(loop, loop[1:]))
                found.append("folders include each other: " + " -> ".join(loop) + f" ({witnesses})")
            elif target not in state:
                visit(target)
        stack.pop()
        state[folder] = "done"

    for folder in sorted(edges):
        if folder not in state:
            visit(folder)
    return found


if __name__ == "__main__":
    sys.exit(main())
