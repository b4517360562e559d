// SPDX-License-Identifier: MIT
#include "FixtureTree.h"

#include "platform/walk/windows/FindHandle.h"
#include "platform/walk/windows/SystemMessage.h"
#include "platform/walk/windows/WideText.h"
#include "platform/walk/windows/WindowsPath.h"

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace vantorel::dirwalk::test
{

namespace
{

#ifndef SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
#define SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE 0x2
#endif

    // The mount-point form of REPARSE_DATA_BUFFER, which MinGW keeps in the DDK.
    struct MountPointReparseBuffer {
        DWORD tag;
        WORD dataLength;
        WORD reserved;
        WORD substituteOffset;
        WORD substituteLength;
        WORD printOffset;
        WORD printLength;
        wchar_t paths[1];
    };

    bool isReparsePoint(const std::wstring& path)
    {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES
            && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }

    void removeTree(const std::wstring& path)
    {
        std::wstring pattern = path;
        appendComponent(pattern, L"*");
        WIN32_FIND_DATAW entry;
        FindHandle search(::FindFirstFileW(pattern.c_str(), &entry));
        if (search.valid()) {
            do {
                const std::wstring_view name = entry.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::wstring child = path;
                appendComponent(child, name);
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                const bool link = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                if (folder && !link)
                    removeTree(child);
                else if (folder)
                    ::RemoveDirectoryW(child.c_str());
                else
                    ::DeleteFileW(child.c_str());
            } while (::FindNextFileW(search.get(), &entry));
        }
        ::RemoveDirectoryW(path.c_str());
    }

    bool makeJunction(const std::wstring& link, std::wstring_view target, std::string& how)
    {
        if (!::CreateDirectoryW(link.c_str(), nullptr)) {
            how = "junction folder: " + systemMessage(::GetLastError());
            return false;
        }
        const HANDLE handle = ::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            how = "junction open: " + systemMessage(::GetLastError());
            ::RemoveDirectoryW(link.c_str());
            return false;
        }
        // The substitute name is the NT form "\??\C:\...", the print name the user's.
        const std::wstring substitute = L"\\??\\" + std::wstring(target);
        const std::wstring print(target);
        const std::size_t pathBytes = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
        std::vector<char> bytes(offsetof(MountPointReparseBuffer, paths) + pathBytes);
        auto* buffer = reinterpret_cast<MountPointReparseBuffer*>(bytes.data());
        buffer->tag = IO_REPARSE_TAG_MOUNT_POINT;
        buffer->dataLength = static_cast<WORD>(bytes.size() - 8);
        buffer->substituteOffset = 0;
        buffer->substituteLength = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
        buffer->printOffset = static_cast<WORD>((substitute.size() + 1) * sizeof(wchar_t));
        buffer->printLength = static_cast<WORD>(print.size() * sizeof(wchar_t));
        std::memcpy(buffer->paths, substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
        std::memcpy(buffer->paths + substitute.size() + 1, print.c_str(),
            (print.size() + 1) * sizeof(wchar_t));
        DWORD returned = 0;
        const bool made = ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, bytes.data(),
                              static_cast<DWORD>(bytes.size()), nullptr, 0, &returned, nullptr)
            != 0;
        const DWORD code = made ? ERROR_SUCCESS : ::GetLastError();
        ::CloseHandle(handle);
        if (!made) {
            how = "junction: " + systemMessage(code);
            ::RemoveDirectoryW(link.c_str());
            return false;
        }
        how = "junction";
        return true;
    }

} // namespace

FixtureTree::FixtureTree()
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        return;
    m_user.assign(temp, length);
    appendComponent(m_user,
        L"ostlebry-dirwalk-" + std::to_wstring(::GetCurrentProcessId()) + L"-"
            + std::to_wstring(::GetTickCount64()));
    unsigned long code = 0;
    m_valid = toExtendedPath(m_user, m_long, code) && ::CreateDirectoryW(m_long.c_str(), nullptr);
}

FixtureTree::~FixtureTree()
{
    remove();
}

std::wstring FixtureTree::userPath(std::wstring_view relative) const
{
    std::wstring path = m_user;
    if (!relative.empty())
        appendComponent(path, relative);
    return path;
}

std::string FixtureTree::utf8Path(std::wstring_view relative) const
{
    return toUtf8(userPath(relative));
}

std::wstring FixtureTree::longPath(std::wstring_view relative) const
{
    std::wstring path = m_long;
    if (!relative.empty())
        appendComponent(path, relative);
    return path;
}

bool FixtureTree::makeFolder(std::wstring_view relative)
{
    return ::CreateDirectoryW(longPath(relative).c_str(), nullptr) != 0;
}

bool FixtureTree::makeFile(std::wstring_view relative)
{
    const HANDLE handle = ::CreateFileW(longPath(relative).c_str(), GENERIC_WRITE, 0, nullptr,
        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    ::WriteFile(handle, "x", 1, &written, nullptr);
    ::CloseHandle(handle);
    return true;
}

bool FixtureTree::setAttributes(std::wstring_view relative, unsigned long attributes)
{
    return ::SetFileAttributesW(longPath(relative).c_str(), attributes) != 0;
}

bool FixtureTree::makeFolderLink(
    std::wstring_view relative, std::wstring_view target, std::string& how)
{
    const std::wstring link = longPath(relative);
    const std::wstring destination = userPath(target);
    if (::CreateSymbolicLinkW(link.c_str(), destination.c_str(),
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)
        || ::CreateSymbolicLinkW(link.c_str(), destination.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
        // Wine 8 answers success without making anything, so look.
        if (isReparsePoint(link)) {
            how = "symbolic link";
            return true;
        }
        ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    }
    const std::string symlinkReason = systemMessage(::GetLastError());
    if (makeJunction(link, destination, how))
        return true;
    how = "symbolic link: " + symlinkReason + "; " + how;
    return false;
}

bool FixtureTree::remove()
{
    if (!m_valid)
        return false;
    removeTree(m_long);
    m_valid = false;
    return ::GetFileAttributesW(m_long.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace vantorel::dirwalk::test
