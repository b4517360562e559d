// SPDX-License-Identifier: MIT
// What each kind of listing entry becomes. Wine cannot make junctions or
// symbolic links, so their records are built here as Windows reports them.
#include "Checks.h"

#include "platform/walk/windows/FolderEntry.h"

#include <cwchar>

namespace vantorel::dirwalk::test
{

namespace
{

    // Tags as Windows reports them in dwReserved0 of a find record.
    constexpr DWORD kMountPointTag = 0xA0000003;
    constexpr DWORD kSymbolicLinkTag = 0xA000000C;
    constexpr DWORD kCloudFileTag = 0x9000001A;
    constexpr DWORD kDeduplicatedTag = 0x80000013;

    enum class Expected { NotDelivered, Folder, Link };

    struct EntryRow {
        const char* name;
        const wchar_t* fileName;
        DWORD attributes;
        DWORD tag;
        Expected expected;
    };

} // namespace

void checkEntryKinds(TestReport& report)
{
    constexpr DWORD folder = FILE_ATTRIBUTE_DIRECTORY;
    constexpr DWORD reparse = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    const EntryRow rows[] = {
        { "plain folder", L"Work", folder, 0, Expected::Folder },
        { "hidden system folder", L"Secret", folder | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
            0, Expected::Folder },
        { "read-only archived folder", L"Old",
            folder | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, 0, Expected::Folder },
        { "junction", L"Documents and Settings", reparse | FILE_ATTRIBUTE_HIDDEN, kMountPointTag,
            Expected::Link },
        { "folder symbolic link", L"linked", reparse, kSymbolicLinkTag, Expected::Link },
        { "reparse point without a tag", L"unknown", reparse, 0, Expected::Link },
        { "cloud placeholder folder", L"OneDrive", reparse, kCloudFileTag, Expected::Folder },
        { "deduplicated folder", L"Shares", reparse, kDeduplicatedTag, Expected::Folder },
        { "dot", L".", folder, 0, Expected::NotDelivered },
        { "dot-dot", L"..", folder, 0, Expected::NotDelivered },
        { "dotted folder name", L"...", folder, 0, Expected::Folder },
        { "hidden dot folder", L".git", folder | FILE_ATTRIBUTE_HIDDEN, 0, Expected::Folder },
        { "file", L"notes.txt", FILE_ATTRIBUTE_ARCHIVE, 0, Expected::NotDelivered },
        { "file symbolic link", L"file-link", FILE_ATTRIBUTE_REPARSE_POINT, kSymbolicLinkTag,
            Expected::NotDelivered },
    };
    for (const EntryRow& row : rows) {
        WIN32_FIND_DATAW entry {};
        entry.dwFileAttributes = row.attributes;
        entry.dwReserved0 = row.tag;
        std::wcsncpy(entry.cFileName, row.fileName, MAX_PATH - 1);
        FolderKind kind = FolderKind::Folder;
        const bool delivered = classifyEntry(entry, kind);
        const Expected actual = !delivered ? Expected::NotDelivered
            : kind == FolderKind::Link     ? Expected::Link
                                           : Expected::Folder;
        const char* const names[] = { "not delivered", "folder", "link" };
        report.check(std::string("entry kind of ") + row.name, actual == row.expected,
            std::string("got ") + names[static_cast<int>(actual)] + ", expected "
                + names[static_cast<int>(row.expected)]);
    }
}

} // namespace vantorel::dirwalk::test
