// SPDX-License-Identifier: MIT
// Links to folders: listed as links, never entered, followed only when given
// as the root.
#include "CursorContract.h"

namespace vantorel::dirwalk::test
{

namespace
{

    /// The links made beside "real/inside/more": "toReal" to it always, "loop"
    /// back to the tree and "gone" to a removed folder where the system allows.
    struct Links {
        std::string how; ///< how "toReal" was made
        bool loop = false;
        std::string loopHow;
        bool gone = false;
        std::string goneHow;
    };

    void makeLoopAndGone(TreeMaker& tree, Links& links)
    {
        links.loop = tree.makeFolderLink("loop", "", links.loopHow);
        links.gone = tree.makeFolder("vanished")
            && tree.makeFolderLink("gone", "vanished", links.goneHow)
            && tree.removeFolder("vanished");
    }

    /// The tree's own listing and walk: links are reported, in order, and not
    /// entered.
    void checkListedNotEntered(
        DirectoryCursor& cursor, TreeMaker& tree, const Links& links, Report& report)
    {
        std::vector<std::string> expected = { "real", "toReal (link)" };
        if (links.loop)
            expected.push_back("loop (link)");
        if (links.gone && tree.listsLinksToGoneFolders())
            expected.push_back("gone (link)");

        SubfolderList list;
        std::string error;
        const bool opened = cursor.openRoot(tree.path(), list, error);
        report.check("open the folder that holds links", opened, error);
        compare(report, "links to folders are reported as links (" + links.how + ")",
            sorted(namesOf(list)), sorted(expected));
        compare(report, "folders and links come in the file system's order", namesOf(list),
            tree.referenceListing());

        std::vector<std::string> paths;
        const bool walked = walkTree(cursor, tree.path(), paths, error);
        report.check("walk the folder that holds links", walked, error);
        expected.push_back(native("real/inside"));
        expected.push_back(native("real/inside/more"));
        compare(report, "links are listed and not entered, a loop among them", sorted(paths),
            sorted(expected));
        if (!links.loop)
            report.skip("a link back to an ancestor is reported as a link", links.loopHow);
    }

    /// A link given as the root is followed; one below the root is not.
    void checkFollowedOnlyAsRoot(DirectoryCursor& cursor, TreeMaker& tree, Report& report)
    {
        SubfolderList list;
        std::string error;
        const bool rootOpened = cursor.openRoot(tree.path("toReal"), list, error);
        report.check("a link given as the root is followed",
            rootOpened && namesOf(list) == std::vector<std::string> { "inside" },
            rootOpened ? describe(namesOf(list)) : error);
        const bool rootLinkOpened = cursor.openToEnter(tree.path("toReal"), "inside", error)
            && cursor.enter("more", list, error);
        report.check("a link given as the root is followed to open a folder below it",
            rootLinkOpened && list.empty(), error);
        for (const std::string& below : { std::string("toReal"), native("toReal/inside") }) {
            error.clear();
            const bool openedBelow = cursor.openToEnter(tree.path(), below, error);
            report.check("\"" + below + "\" is not opened to enter through the link",
                !openedBelow && !error.empty(), openedBelow ? "it was opened" : "no reason given");
        }
    }

    void checkExistence(TreeMaker& tree, const Links& links, Report& report)
    {
        std::string error;
        const bool linkExists = isExistingFolder(tree.path("toReal"), error);
        report.check("a link to a folder is an existing folder", linkExists, error);
        if (links.gone) {
            error.clear();
            const bool exists = isExistingFolder(tree.path("gone"), error);
            report.check("a link whose folder is gone is not an existing folder",
                !exists && !error.empty(), exists ? "reported as existing" : "no reason given");
        } else {
            report.skip("a link whose folder is gone is not an existing folder", links.goneHow);
        }
    }

} // namespace

void checkLinks(TreeMaker& tree, Report& report)
{
    const bool built = tree.valid() && makeFolders(tree, { "real/inside/more" });
    if (!report.check("link fixture is built", built, "cannot build the tree"))
        return;
    Links links;
    if (!tree.makeFolderLink("toReal", "real", links.how)) {
        report.skip(
            "links to folders are reported as links", "no link could be made: " + links.how);
        return;
    }
    makeLoopAndGone(tree, links);
    const auto cursor = makeSystemDirectoryCursor();
    checkListedNotEntered(*cursor, tree, links, report);
    checkFollowedOnlyAsRoot(*cursor, tree, report);
    checkExistence(tree, links, report);
}

} // namespace vantorel::dirwalk::test
