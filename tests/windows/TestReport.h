// SPDX-License-Identifier: MIT
// One line per check on standard output, and a closing count that scripts read.
#pragma once

#include "../contract/Report.h"

namespace vantorel::dirwalk::test
{

class TestReport final : public Report
{
public:
    /// Prints "PASS name" or "FAIL name: detail" and counts it.
    bool check(std::string_view name, bool passed, std::string_view detail = {}) override;
    /// Prints "SKIP name: reason"; a skipped check counts neither way.
    void skip(std::string_view name, std::string_view reason) override;
    /// Prints the closing line "N passed, M failed"; the process's exit code.
    int finish() const;

private:
    int m_passed = 0;
    int m_failed = 0;
};

} // namespace vantorel::dirwalk::test
