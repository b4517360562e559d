// SPDX-License-Identifier: MIT
// A walk 300 levels down and back up.
#include "CursorContract.h"

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

void checkDeepWalk(TreeMaker& tree, Report& report)
{
    std::string chain;
    bool built = tree.valid();
    for (int level = 0; level < kDepth && built; ++level) {
        chain += level == 0 ? "d" : "/d";
        built = tree.makeFolder(chain);
    }
    if (!report.check("300-level fixture is built", built, "cannot build the chain"))
        return;

    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    std::string error;
    bool opened = cursor->openRoot(tree.path(), list, error);
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
    const bool walked = walkTree(*cursor, tree.path(), paths, error);
    std::string deepest = "d";
    for (int level = 1; level < kDepth; ++level)
        deepest += std::string(1, kPathSeparator) + "d";
    report.check("a walk of 300 levels visits each once",
        walked && paths.size() == kDepth && paths.back() == deepest,
        walked ? std::to_string(paths.size()) + " folders" : error);
}

} // namespace vantorel::dirwalk::test
