// SPDX-License-Identifier: MIT
// Paths beyond 260 characters, which only the extended form reaches.
#include "Checks.h"
#include "FixtureTree.h"

namespace vantorel::dirwalk::test
{

namespace
{

    bool listsExactly(const SubfolderList& list, const std::vector<std::string>& expected)
    {
        return namesOf(list) == expected;
    }

} // namespace

void checkLongPaths(TestReport& report)
{
    FixtureTree tree;
    std::wstring chain;
    std::vector<std::string> segments;
    bool built = tree.valid();
    for (int i = 0; i < 6 && built; ++i) {
        const std::wstring segment
            = L"segment-" + std::to_wstring(i) + L"-" + std::wstring(50, L'x');
        segments.push_back(std::string(segment.begin(), segment.end()));
        chain += (chain.empty() ? L"" : L"\\") + segment;
        built = tree.makeFolder(chain);
    }
    built = built && tree.makeFolder(chain + L"\\leaf");
    if (!report.check("long path fixture is built", built, "cannot build the chain"))
        return;
    const std::string longPath = tree.utf8Path(chain);
    report.check("the chain's path is longer than 260 characters", longPath.size() > 260,
        std::to_string(longPath.size()) + " characters");

    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    std::string error;
    const bool opened = cursor->openRoot(longPath, list, error);
    report.check("a root beyond 260 characters is listed", opened && listsExactly(list, { "leaf" }),
        opened ? describe(namesOf(list)) : error);
    const bool exists = isExistingFolder(longPath, error);
    report.check("a folder beyond 260 characters exists", exists, error);

    bool entered = cursor->openRoot(tree.utf8Path(), list, error);
    for (const std::string& segment : segments)
        entered = entered && cursor->enter(segment, list, error);
    report.check("folders beyond 260 characters are entered and listed",
        entered && listsExactly(list, { "leaf" }), entered ? describe(namesOf(list)) : error);
    entered = entered && cursor->enter("leaf", list, error);
    report.check("the leaf beyond 260 characters is entered", entered && list.empty(), error);

    std::string below;
    for (const std::string& segment : segments)
        below += (below.empty() ? "" : "\\") + segment;
    entered
        = cursor->openToEnter(tree.utf8Path(), below, error) && cursor->enter("leaf", list, error);
    report.check(
        "a folder beyond 260 characters is opened to enter", entered && list.empty(), error);
    report.check("long path fixture is removed", tree.remove(), "something was left behind");
}

} // namespace vantorel::dirwalk::test
