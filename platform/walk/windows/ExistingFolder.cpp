// SPDX-License-Identifier: MIT
// isExistingFolder for Windows.
#include "platform/walk/DirectoryCursor.h"

#include "platform/walk/windows/SystemMessage.h"
#include "platform/walk/windows/WideText.h"
#include "platform/walk/windows/WindowsPath.h"

#include <windows.h>

namespace vantorel::dirwalk
{

namespace
{

    // A junction or symbolic link is a folder only while its target is one.
    bool targetIsFolder(const std::wstring& path, std::string& error)
    {
        const HANDLE handle
            = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            error = systemMessage(::GetLastError());
            return false;
        }
        BY_HANDLE_FILE_INFORMATION information;
        const bool known = ::GetFileInformationByHandle(handle, &information) != 0;
        const DWORD code = known ? ERROR_SUCCESS : ::GetLastError();
        ::CloseHandle(handle);
        if (!known) {
            error = systemMessage(code);
            return false;
        }
        if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            error = systemMessage(ERROR_DIRECTORY);
            return false;
        }
        return true;
    }

} // namespace

bool isExistingFolder(std::string_view path, std::string& error)
{
    std::wstring extended;
    unsigned long code = ERROR_SUCCESS;
    if (!toExtendedPath(toWide(path), extended, code)) {
        error = systemMessage(code);
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(extended.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = systemMessage(::GetLastError());
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error = systemMessage(ERROR_DIRECTORY);
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return targetIsFolder(extended, error);
    return true;
}

} // namespace vantorel::dirwalk
