// SPDX-License-Identifier: MIT
#include "Report.h"

#include <algorithm>

namespace vantorel::dirwalk::test
{

std::string describe(const std::vector<std::string>& items)
{
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += items[i];
    }
    return text + "]";
}

bool sameList(const std::vector<std::string>& actual, const std::vector<std::string>& expected,
    std::string& detail)
{
    if (actual == expected)
        return true;
    detail = "got " + describe(actual) + ", expected " + describe(expected);
    return false;
}

bool compare(Report& report, std::string_view name, const std::vector<std::string>& actual,
    const std::vector<std::string>& expected)
{
    std::string detail;
    const bool same = sameList(actual, expected, detail);
    return report.check(name, same, detail);
}

std::vector<std::string> sorted(std::vector<std::string> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

} // namespace vantorel::dirwalk::test
