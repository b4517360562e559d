// SPDX-License-Identifier: MIT
#include "platform/walk/windows/SystemMessage.h"

#include "platform/walk/windows/WideText.h"

#include <windows.h>

#include <string_view>

namespace vantorel::dirwalk
{

std::string systemMessage(unsigned long code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring_view text;
    if (length != 0 && buffer)
        text = std::wstring_view(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.remove_suffix(1);
    std::string message = toUtf8(text);
    if (buffer)
        ::LocalFree(buffer);
    if (message.empty())
        message = "Windows error " + std::to_string(code);
    return message;
}

} // namespace vantorel::dirwalk
