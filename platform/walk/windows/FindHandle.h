// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

namespace vantorel::dirwalk
{

/// Owns one search handle of FindFirstFileExW and closes it with FindClose.
class FindHandle
{
public:
    explicit FindHandle(HANDLE handle)
        : m_handle(handle)
    {
    }
    ~FindHandle()
    {
        if (valid())
            ::FindClose(m_handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace vantorel::dirwalk
