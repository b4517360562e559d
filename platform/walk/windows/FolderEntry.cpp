// SPDX-License-Identifier: MIT
#include "platform/walk/windows/FolderEntry.h"

namespace vantorel::dirwalk
{

namespace
{

    bool isDotOrDotDot(const wchar_t* name)
    {
        return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
    }

} // namespace

// Junctions and symbolic links carry name-surrogate tags. Other reparse points
// (cloud-file placeholders, deduplicated folders) are real folders and are
// walked. A tag the system did not report is taken as a link: not entering a
// folder is the safe mistake, looping through one is not.
bool isFolderLink(DWORD attributes, DWORD reparseTag)
{
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return false;
    return reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag);
}

bool classifyEntry(const WIN32_FIND_DATAW& entry, FolderKind& kind)
{
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || isDotOrDotDot(entry.cFileName))
        return false;
    kind = isFolderLink(entry.dwFileAttributes, entry.dwReserved0) ? FolderKind::Link
                                                                   : FolderKind::Folder;
    return true;
}

} // namespace vantorel::dirwalk
