// SPDX-License-Identifier: MIT
#include "platform/walk/windows/WindowsPath.h"

#include <windows.h>

namespace vantorel::dirwalk
{

namespace
{

    constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
    constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
    constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

    bool isSeparator(wchar_t c)
    {
        return c == L'\\' || c == L'/';
    }

    // "\\?\" and "\\.\" paths go to the system as they are: resolving them would
    // undo what their writer asked for.
    bool isRawPath(std::wstring_view path)
    {
        return path.starts_with(kExtendedPrefix) || path.starts_with(kDevicePrefix);
    }

} // namespace

void appendSeparator(std::wstring& path)
{
    if (path.empty() || !isSeparator(path.back()))
        path.push_back(L'\\');
}

void appendComponent(std::wstring& path, std::wstring_view name)
{
    appendSeparator(path);
    path.append(name);
}

std::wstring withExtendedPrefix(std::wstring_view fullPath)
{
    if (isRawPath(fullPath))
        return std::wstring(fullPath);
    std::wstring result;
    if (fullPath.size() >= 2 && isSeparator(fullPath[0]) && isSeparator(fullPath[1])) {
        result.reserve(kExtendedUncPrefix.size() + fullPath.size());
        result.append(kExtendedUncPrefix);
        result.append(fullPath.substr(2));
    } else {
        result.reserve(kExtendedPrefix.size() + fullPath.size());
        result.append(kExtendedPrefix);
        result.append(fullPath);
    }
    return result;
}

bool toExtendedPath(std::wstring_view userPath, std::wstring& out, unsigned long& errorCode)
{
    out.clear();
    if (userPath.empty()) {
        errorCode = ERROR_PATH_NOT_FOUND;
        return false;
    }
    const std::wstring input(userPath);
    if (isRawPath(input)) {
        out = input;
        return true;
    }
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(
            input.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            errorCode = ::GetLastError();
            return false;
        }
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length); // too small: `length` counts the terminating zero
    }
    out = withExtendedPrefix(full);
    return true;
}

} // namespace vantorel::dirwalk
