// SPDX-License-Identifier: MIT
// Listing order, what is delivered, links and Unicode names.
#include "Checks.h"
#include "FixtureTree.h"
#include "Reference.h"

#include "platform/walk/windows/WideText.h"

#include <windows.h>

#include <algorithm>

namespace vantorel::dirwalk::test
{

namespace
{

    std::vector<std::string> sorted(std::vector<std::string> items)
    {
        std::sort(items.begin(), items.end());
        return items;
    }

    bool compare(TestReport& report, const char* name, const std::vector<std::string>& actual,
        const std::vector<std::string>& expected)
    {
        std::string detail;
        const bool same = sameList(actual, expected, detail);
        return report.check(name, same, detail);
    }

    bool listFolder(DirectoryCursor& cursor, const std::string& path,
        std::vector<std::string>& names, std::string& error)
    {
        SubfolderList list;
        const bool listed = cursor.openRoot(path, list, error);
        names = namesOf(list);
        return listed;
    }

    void checkAttributes(TestReport& report, FixtureTree& tree, DirectoryCursor& cursor)
    {
        const bool built = tree.makeFolder(L"attributes") && tree.makeFolder(L"attributes\\Hidden")
            && tree.makeFolder(L"attributes\\System") && tree.makeFolder(L"attributes\\Both")
            && tree.makeFolder(L"attributes\\Plain");
        const bool marked = tree.setAttributes(L"attributes\\Hidden", FILE_ATTRIBUTE_HIDDEN)
            && tree.setAttributes(L"attributes\\System", FILE_ATTRIBUTE_SYSTEM)
            && tree.setAttributes(
                L"attributes\\Both", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        const DWORD both = ::GetFileAttributesW(tree.longPath(L"attributes\\Both").c_str());
        const DWORD wanted = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (!built || !marked || both == INVALID_FILE_ATTRIBUTES || (both & wanted) != wanted) {
            report.skip("hidden and system folders are listed",
                "the file system did not keep the hidden and system attributes");
            return;
        }
        std::vector<std::string> names;
        std::string error;
        const bool listed = listFolder(cursor, tree.utf8Path(L"attributes"), names, error);
        report.check("open the folder of hidden and system folders", listed, error);
        compare(report, "hidden and system folders are listed", sorted(names),
            { "Both", "Hidden", "Plain", "System" });
    }

} // namespace

void checkListing(TestReport& report)
{
    FixtureTree tree;
    // Created out of name order, so that a sorted listing would show.
    const bool built = tree.valid() && tree.makeFolder(L"beta") && tree.makeFolder(L"alpha")
        && tree.makeFolder(L"gamma") && tree.makeFolder(L"beta\\two")
        && tree.makeFolder(L"beta\\one") && tree.makeFolder(L"beta\\one\\deep")
        && tree.makeFolder(L"alpha\\x") && tree.makeFolder(L"empty") && tree.makeFile(L"file.txt")
        && tree.makeFile(L"beta\\notes") && tree.makeFile(L"gamma\\looks-like.dir");
    if (!report.check("listing fixture is built", built, "cannot build the tree"))
        return;
    const auto cursor = makeSystemDirectoryCursor();
    std::vector<std::string> names;
    std::string error;
    const bool opened = listFolder(*cursor, tree.utf8Path(), names, error);
    report.check("open the fixture root", opened, error);
    compare(report, "only folders are delivered, without . and ..", sorted(names),
        { "alpha", "beta", "empty", "gamma" });
    compare(report, "folders come in the file system's order", names,
        referenceListing(tree.longPath()));

    std::vector<std::string> paths;
    const bool walked = walkTree(*cursor, tree.utf8Path(), paths, error);
    report.check("walk the fixture", walked, error);
    compare(report, "walk is pre-order in the file system's order", paths,
        referenceWalk(tree.longPath()));
    compare(report, "walk visits every folder once", sorted(paths),
        { "alpha", "alpha\\x", "beta", "beta\\one", "beta\\one\\deep", "beta\\two", "empty",
            "gamma" });

    SubfolderList list;
    cursor->openRoot(tree.utf8Path(), list, error);
    const bool enteredEmpty = cursor->enter("empty", list, error);
    report.check("an empty folder is listed as empty", enteredEmpty && list.empty(),
        enteredEmpty ? describe(namesOf(list)) : error);
    cursor->leave();
    const bool enteredFiles = cursor->enter("gamma", list, error);
    report.check("a folder of files only is listed as empty", enteredFiles && list.empty(),
        enteredFiles ? describe(namesOf(list)) : error);

    const bool openedDeep = cursor->openToEnter(tree.utf8Path(), "beta\\one", error)
        && cursor->enter("deep", list, error);
    report.check("a folder opened to enter is entered below", openedDeep && list.empty(),
        openedDeep ? describe(namesOf(list)) : error);
    cursor->leave();
    const bool openedAgain = cursor->enter("deep", list, error);
    report.check("a folder opened to enter is the deepest level after leaving",
        openedAgain && list.empty(), error);
    const bool openedRoot
        = cursor->openToEnter(tree.utf8Path(), "", error) && cursor->enter("beta", list, error);
    compare(report, "the root opened to enter is entered below",
        openedRoot ? sorted(namesOf(list)) : std::vector<std::string> { error }, { "one", "two" });

    checkAttributes(report, tree, *cursor);
    report.check("listing fixture is removed", tree.remove(), "something was left behind");
}

void checkLinks(TestReport& report)
{
    FixtureTree tree;
    const bool built = tree.valid() && tree.makeFolder(L"real") && tree.makeFolder(L"real\\inside")
        && tree.makeFolder(L"real\\inside\\more");
    if (!report.check("link fixture is built", built, "cannot build the tree"))
        return;
    std::string how;
    if (!tree.makeFolderLink(L"toReal", L"real", how)) {
        report.skip("links to folders are reported as links", "no link could be made: " + how);
        return;
    }
    std::string loopHow;
    const bool loop = tree.makeFolderLink(L"loop", L"", loopHow);
    std::string goneHow;
    const bool gone = tree.makeFolder(L"vanished")
        && tree.makeFolderLink(L"gone", L"vanished", goneHow)
        && ::RemoveDirectoryW(tree.longPath(L"vanished").c_str());
    std::vector<std::string> expected = { "real", "toReal (link)" };
    if (loop)
        expected.push_back("loop (link)");
    if (gone)
        expected.push_back("gone (link)");

    const auto cursor = makeSystemDirectoryCursor();
    std::vector<std::string> names;
    std::string error;
    const bool opened = listFolder(*cursor, tree.utf8Path(), names, error);
    report.check("open the folder that holds links", opened, error);
    compare(report, ("links to folders are reported as links (" + how + ")").c_str(), sorted(names),
        sorted(expected));

    std::vector<std::string> paths;
    const bool walked = walkTree(*cursor, tree.utf8Path(), paths, error);
    report.check("walk the folder that holds links", walked, error);
    expected.push_back("real\\inside");
    expected.push_back("real\\inside\\more");
    compare(report, "links are listed and not entered, a loop among them", sorted(paths),
        sorted(expected));
    if (!loop)
        report.skip("a link back to an ancestor is reported as a link", loopHow);

    const bool rootOpened = listFolder(*cursor, tree.utf8Path(L"toReal"), names, error);
    report.check("a link given as the root is followed",
        rootOpened && names == std::vector<std::string> { "inside" },
        rootOpened ? describe(names) : error);
    SubfolderList list;
    const bool rootLinkOpened = cursor->openToEnter(tree.utf8Path(L"toReal"), "inside", error)
        && cursor->enter("more", list, error);
    report.check("a link given as the root is followed to open a folder below it",
        rootLinkOpened && list.empty(), error);
    for (const char* below : { "toReal", "toReal\\inside" }) {
        error.clear();
        const bool opened = cursor->openToEnter(tree.utf8Path(), below, error);
        report.check(std::string("\"") + below + "\" is not opened to enter through the link",
            !opened && !error.empty(), opened ? "it was opened" : "no reason given");
    }
    const bool linkExists = isExistingFolder(tree.utf8Path(L"toReal"), error);
    report.check("a link to a folder is an existing folder", linkExists, error);
    if (gone) {
        error.clear();
        const bool exists = isExistingFolder(tree.utf8Path(L"gone"), error);
        report.check("a link whose folder is gone is not an existing folder",
            !exists && !error.empty(), exists ? "reported as existing" : "no reason given");
    } else {
        report.skip("a link whose folder is gone is not an existing folder", goneHow);
    }
    report.check("link fixture is removed", tree.remove(), "something was left behind");
}

void checkUnicodeNames(TestReport& report)
{
    const std::wstring names[]
        = { L"Ärger", L"A\u0308rger", L"ＡＢＣ", L"Ωμέγα", L"漢字フォルダ", L"\U0001F4C1 files" };
    FixtureTree tree;
    bool built = tree.valid();
    std::vector<std::string> expected;
    for (const std::wstring& name : names) {
        built = built && tree.makeFolder(name);
        expected.push_back(toUtf8(name));
    }
    if (!report.check("unicode fixture is built", built, "cannot build the tree"))
        return;
    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    std::string error;
    const bool opened = cursor->openRoot(tree.utf8Path(), list, error);
    report.check("open the folder of unicode names", opened, error);
    const std::vector<std::string> listed = namesOf(list);
    compare(report, "unicode names arrive as utf8, composed and decomposed kept apart",
        sorted(listed), sorted(expected));
    std::vector<std::string> entered;
    for (const std::string& name : listed) {
        SubfolderList below;
        if (cursor->enter(name, below, error)) {
            entered.push_back(name);
            cursor->leave();
        }
    }
    compare(report, "every unicode name can be entered", sorted(entered), sorted(expected));

    const std::wstring odd = std::wstring(L"odd") + wchar_t(0xD800);
    if (!tree.makeFolder(odd)) {
        report.skip(
            "a name with an unpaired surrogate round-trips", "the file system refuses such a name");
    } else {
        cursor->openRoot(tree.utf8Path(), list, error);
        std::string found;
        for (const std::string& name : namesOf(list))
            if (name.starts_with("odd"))
                found = name;
        SubfolderList below;
        if (found != toUtf8(odd))
            report.skip("a name with an unpaired surrogate round-trips",
                "the file system stored it as \"" + found + "\"");
        else
            report.check("a name with an unpaired surrogate round-trips",
                cursor->enter(found, below, error), error);
    }
    report.check("unicode fixture is removed", tree.remove(), "something was left behind");
}

} // namespace vantorel::dirwalk::test
