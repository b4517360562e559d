// SPDX-License-Identifier: MIT
#pragma once

#include <sys/resource.h>

namespace vantorel::test
{

/// Lowers the soft limit of open descriptors for its lifetime.
class DescriptorLimit
{
public:
    explicit DescriptorLimit(rlim_t soft)
    {
        m_ok = ::getrlimit(RLIMIT_NOFILE, &m_saved) == 0;
        rlimit lowered = m_saved;
        lowered.rlim_cur = soft;
        m_ok = m_ok && ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~DescriptorLimit()
    {
        if (m_ok)
            ::setrlimit(RLIMIT_NOFILE, &m_saved);
    }
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;

    bool active() const { return m_ok; }

private:
    rlimit m_saved {};
    bool m_ok = false;
};

} // namespace vantorel::test
