// SPDX-License-Identifier: MIT
// What a listing delivers and in which order, and the stack of entered folders.
#include "CursorContract.h"

namespace vantorel::dirwalk::test
{

namespace
{

    bool listFolder(DirectoryCursor& cursor, const std::string& path,
        std::vector<std::string>& names, std::string& error)
    {
        SubfolderList list;
        const bool listed = cursor.openRoot(path, list, error);
        names = namesOf(list);
        return listed;
    }

    void checkEnteringAndLeaving(TreeMaker& tree, Report& report, DirectoryCursor& cursor)
    {
        SubfolderList list;
        std::string error;
        bool right = cursor.openRoot(tree.path(), list, error);
        right = right && cursor.enter("beta", list, error)
            && sorted(namesOf(list)) == std::vector<std::string> { "one", "two" };
        right = right && cursor.enter("one", list, error)
            && namesOf(list) == std::vector<std::string> { "deep" };
        right = right && cursor.enter("deep", list, error) && list.empty();
        report.check("three levels are entered, each listing its own subfolders", right,
            error + " " + describe(namesOf(list)));
        cursor.leave();
        cursor.leave();
        cursor.leave();
        const bool backAtRoot = right && cursor.enter("alpha", list, error)
            && namesOf(list) == std::vector<std::string> { "x" };
        report.check("leaving three levels comes back to the root", backAtRoot,
            error + " " + describe(namesOf(list)));
    }

} // namespace

void checkListing(TreeMaker& tree, Report& report)
{
    // Created out of name order, so that a sorted listing would show.
    const bool built = tree.valid() && tree.makeFolder("beta") && tree.makeFolder("alpha")
        && tree.makeFolder("gamma") && tree.makeFolder("beta/two") && tree.makeFolder("beta/one")
        && tree.makeFolder("beta/one/deep") && tree.makeFolder("alpha/x")
        && tree.makeFolder("empty") && tree.makeFolder(".hidden") && tree.makeFile("file.txt")
        && tree.makeFile("beta/notes") && tree.makeFile("gamma/looks-like.dir")
        && tree.makeEntriesThatAreNoFolders("");
    if (!report.check("listing fixture is built", built, "cannot build the tree"))
        return;
    const auto cursor = makeSystemDirectoryCursor();
    std::vector<std::string> names;
    std::string error;
    const bool opened = listFolder(*cursor, tree.path(), names, error);
    report.check("open the fixture root", opened, error);
    compare(report, "only folders are delivered, hidden ones too, without . and ..", sorted(names),
        { ".hidden", "alpha", "beta", "empty", "gamma" });
    compare(report, "folders come in the file system's order", names, tree.referenceListing());

    std::vector<std::string> paths;
    const bool walked = walkTree(*cursor, tree.path(), paths, error);
    report.check("walk the fixture", walked, error);
    compare(report, "walk is pre-order in the file system's order", paths, tree.referenceWalk());
    compare(report, "walk visits every folder once", sorted(paths),
        sorted({ ".hidden", "alpha", native("alpha/x"), "beta", native("beta/one"),
            native("beta/one/deep"), native("beta/two"), "empty", "gamma" }));
    checkEnteringAndLeaving(tree, report, *cursor);

    SubfolderList list;
    cursor->openRoot(tree.path(), list, error);
    const bool enteredEmpty = cursor->enter("empty", list, error);
    report.check("an empty folder is listed as empty", enteredEmpty && list.empty(),
        enteredEmpty ? describe(namesOf(list)) : error);
    cursor->leave();
    const bool enteredFiles = cursor->enter("gamma", list, error);
    report.check("a folder of files only is listed as empty", enteredFiles && list.empty(),
        enteredFiles ? describe(namesOf(list)) : error);

    const bool openedDeep = cursor->openToEnter(tree.path(), native("beta/one"), error)
        && cursor->enter("deep", list, error);
    report.check("a folder opened to enter is entered below", openedDeep && list.empty(),
        openedDeep ? describe(namesOf(list)) : error);
    cursor->leave();
    const bool openedAgain = cursor->enter("deep", list, error);
    report.check("a folder opened to enter is the deepest level after leaving",
        openedAgain && list.empty(), error);
    const bool openedRoot
        = cursor->openToEnter(tree.path(), "", error) && cursor->enter("beta", list, error);
    compare(report, "the root opened to enter is entered below",
        openedRoot ? sorted(namesOf(list)) : std::vector<std::string> { error }, { "one", "two" });
}

} // namespace vantorel::dirwalk::test
