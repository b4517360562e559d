// SPDX-License-Identifier: MIT
// Where the checks of the directory cursor's contract go: printed lines on
// Windows, Qt Test's rows on Linux. Plain C++, so that both builds take it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantorel::dirwalk::test
{

class Report
{
public:
    virtual ~Report() = default;
    /// Counts one check by name; the detail says what went wrong. Returns `passed`.
    virtual bool check(std::string_view name, bool passed, std::string_view detail = {}) = 0;
    /// A check that cannot be made here, and why; it counts neither way.
    virtual void skip(std::string_view name, std::string_view reason) = 0;
};

/// "[a, b, c]", for the detail of a failed comparison of lists.
std::string describe(const std::vector<std::string>& items);

/// The first list as the second expects it, or a detail that shows both.
bool sameList(const std::vector<std::string>& actual, const std::vector<std::string>& expected,
    std::string& detail);

/// Checks that two lists are the same, showing both when not.
bool compare(Report& report, std::string_view name, const std::vector<std::string>& actual,
    const std::vector<std::string>& expected);

/// A copy of `items` in byte order.
std::vector<std::string> sorted(std::vector<std::string> items);

} // namespace vantorel::dirwalk::test
