// SPDX-License-Identifier: MIT
// Links to folders: listed as links, never entered, followed only when given
// as the root.
#include "CursorContract.h"

namespace vantorel::dirwalk::test
{

void checkLinks(TreeMaker& tree, Report& report)
{
    const bool built = tree.valid() && makeFolders(tree, { "real/inside/more" });
    if (!report.check("link fixture is built", built, "cannot build the tree"))
        return;
    std::string how;
    if (!tree.makeFolderLink("toReal", "real", how)) {
        report.skip("links to folders are reported as links", "no link could be made: " + how);
        return;
    }
    std::string loopHow;
    const bool loop = tree.makeFolderLink("loop", "", loopHow);
    std::string goneHow;
    const bool gone = tree.makeFolder("vanished")
        && tree.makeFolderLink("gone", "vanished", goneHow) && tree.removeFolder("vanished");
    std::vector<std::string> expected = { "real", "toReal (link)" };
    if (loop)
        expected.push_back("loop (link)");
    if (gone && tree.listsLinksToGoneFolders())
        expected.push_back("gone (link)");

    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    std::string error;
    const bool opened = cursor->openRoot(tree.path(), list, error);
    report.check("open the folder that holds links", opened, error);
    compare(report, "links to folders are reported as links (" + how + ")", sorted(namesOf(list)),
        sorted(expected));
    compare(report, "folders and links come in the file system's order", namesOf(list),
        tree.referenceListing());

    std::vector<std::string> paths;
    const bool walked = walkTree(*cursor, tree.path(), paths, error);
    report.check("walk the folder that holds links", walked, error);
    expected.push_back(native("real/inside"));
    expected.push_back(native("real/inside/more"));
    compare(report, "links are listed and not entered, a loop among them", sorted(paths),
        sorted(expected));
    if (!loop)
        report.skip("a link back to an ancestor is reported as a link", loopHow);

    const bool rootOpened = cursor->openRoot(tree.path("toReal"), list, error);
    report.check("a link given as the root is followed",
        rootOpened && namesOf(list) == std::vector<std::string> { "inside" },
        rootOpened ? describe(namesOf(list)) : error);
    const bool rootLinkOpened = cursor->openToEnter(tree.path("toReal"), "inside", error)
        && cursor->enter("more", list, error);
    report.check("a link given as the root is followed to open a folder below it",
        rootLinkOpened && list.empty(), error);
    for (const std::string& below : { std::string("toReal"), native("toReal/inside") }) {
        error.clear();
        const bool openedBelow = cursor->openToEnter(tree.path(), below, error);
        report.check("\"" + below + "\" is not opened to enter through the link",
            !openedBelow && !error.empty(), openedBelow ? "it was opened" : "no reason given");
    }
    const bool linkExists = isExistingFolder(tree.path("toReal"), error);
    report.check("a link to a folder is an existing folder", linkExists, error);
    if (gone) {
        error.clear();
        const bool exists = isExistingFolder(tree.path("gone"), error);
        report.check("a link whose folder is gone is not an existing folder",
            !exists && !error.empty(), exists ? "reported as existing" : "no reason given");
    } else {
        report.skip("a link whose folder is gone is not an existing folder", goneHow);
    }
}

} // namespace vantorel::dirwalk::test
