// SPDX-License-Identifier: MIT
// Paths beyond 260 characters and a walk 300 levels down and back up.
#include "Checks.h"
#include "FixtureTree.h"

namespace vantorel::dirwalk::test
{

namespace
{

    constexpr int kDepth = 300;

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

void checkDeepWalk(TestReport& report)
{
    FixtureTree tree;
    std::wstring chain;
    bool built = tree.valid();
    for (int level = 0; level < kDepth && built; ++level) {
        chain += level == 0 ? L"d" : L"\\d";
        built = tree.makeFolder(chain);
    }
    if (!report.check("300-level fixture is built", built, "cannot build the chain"))
        return;

    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    std::string error;
    bool opened = cursor->openRoot(tree.utf8Path(), list, error);
    int wrongLevel = opened && listsExactly(list, { "d" }) ? -1 : 0;
    for (int level = 1; level <= kDepth && wrongLevel < 0; ++level) {
        const bool entered = cursor->enter("d", list, error);
        const bool right = level < kDepth ? listsExactly(list, { "d" }) : list.empty();
        if (!entered || !right)
            wrongLevel = level;
    }
    report.check("300 levels are entered, each listing its one subfolder", wrongLevel < 0,
        "level " + std::to_string(wrongLevel) + ": " + error + " " + describe(namesOf(list)));

    // On the way up, each level must still name its own folder: enter again.
    wrongLevel = -1;
    for (int level = kDepth; level >= 1 && wrongLevel < 0; --level) {
        cursor->leave();
        const bool entered = cursor->enter("d", list, error);
        const bool right = level < kDepth ? listsExactly(list, { "d" }) : list.empty();
        cursor->leave();
        if (!entered || !right)
            wrongLevel = level;
    }
    const bool atRoot
        = wrongLevel < 0 && cursor->enter("d", list, error) && listsExactly(list, { "d" });
    report.check("300 levels are left again down to the root", atRoot,
        "level " + std::to_string(wrongLevel) + ": " + error);

    std::vector<std::string> paths;
    const bool walked = walkTree(*cursor, tree.utf8Path(), paths, error);
    std::string deepest = "d";
    for (int level = 1; level < kDepth; ++level)
        deepest += "\\d";
    report.check("a walk of 300 levels visits each once",
        walked && paths.size() == kDepth && paths.back() == deepest,
        walked ? std::to_string(paths.size()) + " folders" : error);
    report.check("300-level fixture is removed", tree.remove(), "something was left behind");
}

} // namespace vantorel::dirwalk::test
