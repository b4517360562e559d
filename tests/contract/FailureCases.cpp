// SPDX-License-Identifier: MIT
// Folders that cannot be listed or entered: false, with the system's reason,
// and the cursor as it was.
#include "CursorContract.h"

namespace vantorel::dirwalk::test
{

namespace
{

    std::string shown(const std::string& error)
    {
        return "reason \"" + error + "\"";
    }

    void checkRefusedOpen(Report& report, const TreeMaker& tree, const std::string& name,
        const std::string& path, Fault fault)
    {
        const auto cursor = makeSystemDirectoryCursor();
        SubfolderList list;
        std::string error;
        const bool opened = cursor->openRoot(path, list, error);
        report.check(name, !opened && list.empty() && isReason(tree, error, fault),
            opened ? "it was opened" : shown(error));
    }

    void checkRefusedFolder(Report& report, const TreeMaker& tree, const std::string& name,
        const std::string& path, Fault fault)
    {
        std::string error;
        const bool exists = isExistingFolder(path, error);
        report.check(name, !exists && isReason(tree, error, fault),
            exists ? "reported as existing" : shown(error));
    }

    void checkExisting(Report& report, const TreeMaker& tree)
    {
        checkRefusedFolder(report, tree, "a missing folder does not exist, with the reason",
            tree.path("does-not-exist"), Fault::Missing);
        checkRefusedFolder(report, tree, "a file is not an existing folder, with the reason",
            tree.path("file.txt"), Fault::NotAFolder);
        checkRefusedFolder(report, tree, "an empty path is not an existing folder, with the reason",
            "", Fault::Missing);
        // No reason is given for a folder that exists.
        std::string error;
        const bool folderExists = isExistingFolder(tree.path("present"), error);
        report.check("a folder exists", folderExists && error.empty(), error);
        const bool trailingExists = isExistingFolder(tree.path("present") + kPathSeparator, error);
        report.check(
            "a folder with a trailing separator exists", trailingExists && error.empty(), error);
    }

    void checkRefusedEnter(Report& report, const TreeMaker& tree, DirectoryCursor& cursor)
    {
        SubfolderList list;
        std::string error;
        const std::pair<const char*, Fault> refused[] = { { "missing", Fault::Missing },
            { "file.txt", Fault::NotAFolder }, { "", Fault::Missing } };
        for (const auto& [name, fault] : refused) {
            cursor.openRoot(tree.path(), list, error);
            error.clear();
            const bool entered = cursor.enter(name, list, error);
            const std::string reason = error;
            const bool kept = cursor.enter("present", list, error) && list.empty();
            report.check(std::string("entering \"") + name + "\" is refused and the stack kept",
                !entered && isReason(tree, reason, fault) && kept,
                entered ? "it was entered" : shown(reason));
        }

        // A level below the root: a failure there leaves it the deepest.
        const bool opened
            = cursor.openRoot(tree.path(), list, error) && cursor.enter("outer", list, error);
        const bool refusedHere = opened && !cursor.enter("missing", list, error);
        const bool emptied = list.empty();
        const bool innerEntered = refusedHere && cursor.enter("inner", list, error);
        if (innerEntered) {
            cursor.leave();
            cursor.leave();
        }
        report.check("a refused folder below the root keeps that level the deepest",
            refusedHere && emptied && innerEntered && cursor.enter("present", list, error), error);
    }

    void checkRefusedOpenToEnter(Report& report, const TreeMaker& tree, DirectoryCursor& cursor)
    {
        SubfolderList list;
        std::string error;
        const std::pair<std::string, Fault> refusedBelow[] = { { "missing", Fault::Missing },
            { native("present/missing"), Fault::Missing }, { "file.txt", Fault::NotAFolder } };
        for (const auto& [below, fault] : refusedBelow) {
            cursor.openRoot(tree.path(), list, error);
            error.clear();
            const bool opened = cursor.openToEnter(tree.path(), below, error);
            const std::string reason = error;
            report.check("opening \"" + below + "\" to enter is refused, with the reason",
                !opened && isReason(tree, reason, fault) && !cursor.enter("present", list, error),
                opened ? "it was opened" : shown(reason));
        }
        const bool missingRoot = cursor.openToEnter(tree.path("does-not-exist"), "", error);
        report.check("a missing root is not opened to enter, with the reason",
            !missingRoot && isReason(tree, error, Fault::Missing),
            missingRoot ? "it was opened" : shown(error));
    }

} // namespace

void checkFailures(TreeMaker& tree, Report& report)
{
    const bool built = tree.valid() && makeFolders(tree, { "present", "outer/inner" })
        && tree.makeFile("file.txt");
    if (!report.check("failure fixture is built", built, "cannot build the tree"))
        return;

    checkRefusedOpen(report, tree, "a missing folder is not opened, with the reason",
        tree.path("does-not-exist"), Fault::Missing);
    checkRefusedOpen(report, tree, "a folder below a missing one is not opened, with the reason",
        tree.path("does-not-exist/below"), Fault::Missing);
    checkRefusedOpen(report, tree, "a file is not opened as a folder, with the reason",
        tree.path("file.txt"), Fault::NotAFolder);
    checkRefusedOpen(
        report, tree, "an empty path is not opened, with the reason", "", Fault::Missing);
    checkExisting(report, tree);

    const auto cursor = makeSystemDirectoryCursor();
    checkRefusedEnter(report, tree, *cursor);
    checkRefusedOpenToEnter(report, tree, *cursor);

    SubfolderList list;
    std::string error;
    const auto fresh = makeSystemDirectoryCursor();
    const bool enteredUnopened = fresh->enter("present", list, error);
    report.check("entering before opening a root is refused", !enteredUnopened && isReason(error),
        shown(error));
    cursor->openRoot(tree.path(), list, error);
    cursor->openRoot(tree.path("does-not-exist"), list, error);
    report.check("a failed open leaves no folder to enter", !cursor->enter("present", list, error),
        "the old root was kept");

    const std::string separators(3, kPathSeparator);
    const bool trailing = cursor->openRoot(tree.path("outer") + separators, list, error)
        && namesOf(list) == std::vector<std::string> { "inner" }
        && cursor->enter("inner", list, error) && list.empty();
    report.check("a root with trailing separators is listed and entered", trailing, error);
}

void checkUnreadable(TreeMaker& tree, Report& report)
{
    const char* name = "a folder without access rights gives false with the reason";
    std::string how;
    if (!tree.valid() || !tree.makeFolder("open") || !tree.makeUnreadableFolder("locked", how)) {
        report.skip(name, how);
        return;
    }
    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    std::string error;
    const bool opened = cursor->openRoot(tree.path("locked"), list, error);
    report.check(name, !opened && isReason(tree, error, Fault::Denied),
        opened ? "it was listed" : shown(error));
    const bool entered
        = cursor->openRoot(tree.path(), list, error) && cursor->enter("locked", list, error);
    const std::string reason = error;
    report.check("a folder without access rights is not entered, with the reason",
        !entered && isReason(tree, reason, Fault::Denied) && cursor->enter("open", list, error),
        entered ? "it was entered" : shown(reason));
}

} // namespace vantorel::dirwalk::test
