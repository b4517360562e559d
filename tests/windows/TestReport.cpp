// SPDX-License-Identifier: MIT
#include "TestReport.h"

#include <cstdio>

namespace vantorel::dirwalk::test
{

bool TestReport::check(std::string_view name, bool passed, std::string_view detail)
{
    if (passed) {
        ++m_passed;
        std::printf("PASS %.*s\n", static_cast<int>(name.size()), name.data());
    } else {
        ++m_failed;
        std::printf("FAIL %.*s: %.*s\n", static_cast<int>(name.size()), name.data(),
            static_cast<int>(detail.size()), detail.data());
    }
    std::fflush(stdout);
    return passed;
}

void TestReport::skip(std::string_view name, std::string_view reason)
{
    std::printf("SKIP %.*s: %.*s\n", static_cast<int>(name.size()), name.data(),
        static_cast<int>(reason.size()), reason.data());
    std::fflush(stdout);
}

int TestReport::finish() const
{
    std::printf("%d passed, %d failed\n", m_passed, m_failed);
    std::fflush(stdout);
    return m_failed == 0 && m_passed > 0 ? 0 : 1;
}

} // namespace vantorel::dirwalk::test
