#!/usr/bin/env python3
"""Checks the layers that the build declares, from the sources alone.

Each source folder's CMakeLists.txt says which library its files go to:
ostlebry_walk (plain C++), ostlebry_logic (Qt Core only) or ostlebry_widgets.
This check fails when
- a source file of those folders is listed for no library;
- a file of the walk includes a Qt header, or one of the layers above it;
- a file of the logic includes a Qt header outside Qt Core (also one spelled
  <QtWidgets/QWidget>, which the include path alone would let through), or a
  file of the widgets;
- the folders include each other in a cycle.
Usage: check-layers.py [source-root]   (QT_CORE_HEADERS may name Qt Core's folder)
"""
import glob
import os
import re
import sys

ROOT = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
FOLDERS = ["platform", "search", "results", "presentation", "shell"]
LAYERS = ["ostlebry_walk", "ostlebry_logic", "ostlebry_widgets"]
SOURCE = re.compile(r"\.(h|cpp)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
TARGET_SOURCES = re.compile(r"target_sources\(\s*(\w+)\s+PRIVATE\s+([^)]*)\)", re.S)


def qt_core_headers():
    candidates = [os.environ.get("QT_CORE_HEADERS", "")]
    candidates += glob.glob("/usr/include/*/qt6/QtCore") + glob.glob("/usr/include/qt6/QtCore")
    for folder in candidates:
        if folder and os.path.isdir(folder):
            return set(os.listdir(folder))
    sys.exit("check-layers: Qt Core's headers not found; set QT_CORE_HEADERS")


def library_of_each_file():
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


def main():
    core = qt_core_headers()
    libraries = library_of_each_file()
    problems = []
    folder_edges = {}
    for folder in FOLDERS:
        for path in sorted(glob.glob(os.path.join(ROOT, folder, "**", "*"), recursive=True)):
            relative = os.path.relpath(path, ROOT)
            if not SOURCE.search(relative) or relative == "shell/main.cpp":
                continue
            library = libraries.get(relative)
            if library not in LAYERS:
                problems.append(f"{relative}: listed for no library in its folder's CMakeLists.txt")
                continue
            level = LAYERS.index(library)
            text = open(path, encoding="utf-8", errors="replace").read()
            for bracket, header in INCLUDE.findall(text):
                if bracket == '"':
                    target = os.path.normpath(header)
                    target_library = libraries.get(target)
                    if target_library in LAYERS and LAYERS.index(target_library) > level:
                        problems.append(f"{relative}: {library} includes {header} of {target_library}")
                    source_folder, target_folder = os.path.dirname(relative), os.path.dirname(target)
                    if source_folder != target_folder:
                        folder_edges.setdefault(source_folder, {}).setdefault(target_folder, relative)
                    continue
                is_qt = header.startswith("Q") or header.startswith("qt")
                if not is_qt:
                    continue
                if library == "ostlebry_walk":
                    problems.append(f"{relative}: the walk includes the Qt header <{header}>")
                elif library == "ostlebry_logic":
                    module, _, name = header.rpartition("/")
                    if (module and module != "QtCore") or (not module and name not in core):
                        problems.append(f"{relative}: the logic includes <{header}>, which is not Qt Core's")
    problems += cycles(folder_edges)
    for problem in problems:
        print("check-layers: " + problem)
    if problems:
        return 1
    print(f"check-layers: {len(libraries)} files in {len(LAYERS)} layers, no folder cycle")
    return 0


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
