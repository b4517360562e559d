// SPDX-License-Identifier: MIT
#include "WindowsTreeMaker.h"

#include "Reference.h"

#include "platform/walk/windows/FindHandle.h"
#include "platform/walk/windows/WideText.h"

#include <windows.h>

// After windows.h, whose declarations it needs.
#include <sddl.h>

namespace vantorel::dirwalk::test
{

namespace
{

    std::wstring wide(std::string_view relative)
    {
        std::wstring path = toWide(relative);
        for (wchar_t& c : path)
            if (c == L'/')
                c = L'\\';
        return path;
    }

} // namespace

std::string WindowsTreeMaker::path(std::string_view relative) const
{
    return m_tree.utf8Path(wide(relative));
}

bool WindowsTreeMaker::makeFolder(std::string_view relative)
{
    return m_tree.makeFolder(wide(relative));
}

bool WindowsTreeMaker::makeFile(std::string_view relative)
{
    return m_tree.makeFile(wide(relative));
}

bool WindowsTreeMaker::makeFolderLink(
    std::string_view relative, std::string_view target, std::string& how)
{
    return m_tree.makeFolderLink(wide(relative), wide(target), how);
}

bool WindowsTreeMaker::makeUnreadableFolder(std::string_view relative, std::string& how)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:P(D;OICI;GA;;;WD)", SDDL_REVISION_1, &descriptor, nullptr)) {
        how = "cannot build a denying security descriptor";
        return false;
    }
    SECURITY_ATTRIBUTES attributes { sizeof attributes, descriptor, FALSE };
    const std::wstring folder = m_tree.longPath(wide(relative));
    const bool made = ::CreateDirectoryW(folder.c_str(), &attributes) != 0;
    ::LocalFree(descriptor);
    if (!made) {
        how = "cannot make a folder with a denying access list";
        return false;
    }
    WIN32_FIND_DATAW entry;
    const FindHandle search(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (search.valid()) {
        how = "the system listed it anyway (Wine does not enforce access lists)";
        return false;
    }
    return true;
}

bool WindowsTreeMaker::removeFolder(std::string_view relative)
{
    return ::RemoveDirectoryW(m_tree.longPath(wide(relative)).c_str()) != 0;
}

std::vector<std::string> WindowsTreeMaker::referenceListing(std::string_view relative) const
{
    return test::referenceListing(m_tree.longPath(wide(relative)));
}

std::vector<std::string> WindowsTreeMaker::referenceWalk() const
{
    return test::referenceWalk(m_tree.longPath());
}

} // namespace vantorel::dirwalk::test
