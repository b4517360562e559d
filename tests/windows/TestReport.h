// SPDX-License-Identifier: MIT
// One line per check on standard output, and a closing count that scripts read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantorel::dirwalk::test
{

class TestReport
{
public:
    /// Prints "PASS name" or "FAIL name: detail" and counts it.
    bool check(std::string_view name, bool passed, std::string_view detail = {});
    /// Prints "SKIP name: reason"; a skipped check counts neither way.
    void skip(std::string_view name, std::string_view reason);
    /// Prints the closing line "N passed, M failed"; the process's exit code.
    int finish() const;

private:
    int m_passed = 0;
    int m_failed = 0;
};

/// "[a, b, c]", for the detail of a failed comparison of lists.
std::string describe(const std::vector<std::string>& items);

/// The first list as the second expects it, or a detail that shows both.
bool sameList(const std::vector<std::string>& actual, const std::vector<std::string>& expected,
    std::string& detail);

} // namespace vantorel::dirwalk::test
