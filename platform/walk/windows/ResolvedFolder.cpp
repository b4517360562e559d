// SPDX-License-Identifier: MIT
#include "platform/walk/windows/ResolvedFolder.h"

#include "platform/walk/windows/FolderEntry.h"

#include <windows.h>

#include <vector>

namespace vantorel::dirwalk
{

namespace
{

    // The system's limit of a path in characters.
    constexpr std::size_t kLongestPath = 32767;

    class FileHandle
    {
    public:
        explicit FileHandle(HANDLE handle)
            : m_handle(handle)
        {
        }
        ~FileHandle()
        {
            if (valid())
                ::CloseHandle(m_handle);
        }
        FileHandle(const FileHandle&) = delete;
        FileHandle& operator=(const FileHandle&) = delete;

        bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
        HANDLE get() const { return m_handle; }

    private:
        HANDLE m_handle;
    };

    // The volume and the path on it, not GetFinalPathNameByHandleW: Wine's
    // stops at 260 characters, and a drive letter would cost a query of the
    // mount manager.
    bool pathOnVolume(HANDLE handle, std::wstring& out, DWORD& code)
    {
        BY_HANDLE_FILE_INFORMATION information;
        if (!::GetFileInformationByHandle(handle, &information)) {
            code = ::GetLastError();
            return false;
        }
        std::vector<DWORD> buffer(128);
        for (;;) {
            const DWORD bytes = DWORD(buffer.size() * sizeof(DWORD));
            if (::GetFileInformationByHandleEx(handle, FileNameInfo, buffer.data(), bytes))
                break;
            code = ::GetLastError();
            if (code != ERROR_MORE_DATA || bytes > kLongestPath * sizeof(wchar_t))
                return false;
            buffer.resize(buffer.size() * 4);
        }
        const auto* name = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
        out = std::to_wstring(information.dwVolumeSerialNumber);
        out.push_back(L':');
        out.append(name->FileName, name->FileNameLength / sizeof(wchar_t));
        return true;
    }

} // namespace

bool resolveFolder(
    const std::wstring& path, bool followLink, std::wstring& resolved, unsigned long& errorCode)
{
    const DWORD flags
        = FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const FileHandle folder(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, flags,
        nullptr));
    if (!folder.valid()) {
        errorCode = ::GetLastError();
        return false;
    }
    FILE_ATTRIBUTE_TAG_INFO information {};
    if (!::GetFileInformationByHandleEx(
            folder.get(), FileAttributeTagInfo, &information, sizeof information)) {
        errorCode = ::GetLastError();
        return false;
    }
    if ((information.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        errorCode = ERROR_DIRECTORY;
        return false;
    }
    if (!followLink && isFolderLink(information.FileAttributes, information.ReparseTag)) {
        errorCode = ERROR_CANT_RESOLVE_FILENAME;
        return false;
    }
    DWORD code = ERROR_SUCCESS;
    if (!pathOnVolume(folder.get(), resolved, code)) {
        errorCode = code;
        return false;
    }
    return true;
}

} // namespace vantorel::dirwalk
