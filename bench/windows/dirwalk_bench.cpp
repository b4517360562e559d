// SPDX-License-Identifier: MIT
// Speed of the Windows directory cursor on a generated tree of 11 110 folders
// (ten wide, four deep, one file in each), against a plain FindFirstFileW walk.
// Built and run by hand under Wine or on Windows; see scripts/windows-test.sh
// for the compiler line.
#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/windows/FindHandle.h"
#include "platform/walk/windows/WindowsPath.h"

#include "FixtureTree.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace
{

using namespace vantorel::dirwalk;

constexpr int kWidth = 10;
constexpr int kDepth = 4;

bool build(test::FixtureTree& tree, const std::wstring& prefix, int depth, long& folders)
{
    for (int i = 0; i < kWidth; ++i) {
        const std::wstring path = prefix + L"folder-" + std::to_wstring(i);
        if (!tree.makeFolder(path) || !tree.makeFile(path + L"\\file.txt"))
            return false;
        ++folders;
        if (depth > 1 && !build(tree, path + L"\\", depth - 1, folders))
            return false;
    }
    return true;
}

long walkCursor(DirectoryCursor& cursor, const SubfolderList& list)
{
    long count = 0;
    SubfolderList below;
    for (std::size_t i = 0; i < list.size(); ++i) {
        ++count;
        if (list.kind(i) == FolderKind::Link)
            continue;
        std::string error;
        if (!cursor.enter(list.name(i), below, error))
            continue;
        count += walkCursor(cursor, below);
        cursor.leave();
    }
    return count;
}

long walkPlain(const std::wstring& path)
{
    long count = 0;
    WIN32_FIND_DATAW data;
    FindHandle search(::FindFirstFileW((path + L"\\*").c_str(), &data));
    if (!search.valid())
        return 0;
    do {
        const std::wstring_view name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == L"."
            || name == L"..")
            continue;
        ++count;
        count += walkPlain(path + L"\\" + std::wstring(name));
    } while (::FindNextFileW(search.get(), &data));
    return count;
}

double seconds(LARGE_INTEGER start)
{
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

} // namespace

int main()
{
    test::FixtureTree tree;
    long folders = 0;
    if (!tree.valid() || !build(tree, L"", kDepth, folders)) {
        std::printf("cannot build the tree\n");
        return 1;
    }
    const auto cursor = makeSystemDirectoryCursor();
    for (int round = 1; round <= 3; ++round) {
        LARGE_INTEGER start;
        ::QueryPerformanceCounter(&start);
        SubfolderList top;
        std::string error;
        long walked = cursor->openRoot(tree.utf8Path(), top, error) ? walkCursor(*cursor, top) : 0;
        const double cursorTime = seconds(start);
        ::QueryPerformanceCounter(&start);
        const long plain = walkPlain(tree.longPath());
        const double plainTime = seconds(start);
        std::printf(
            "round %d: cursor %ld folders in %.3f s (%.0f/s), FindFirstFileW %ld in %.3f s\n",
            round, walked, cursorTime, walked / cursorTime, plain, plainTime);
    }
    return 0;
}
