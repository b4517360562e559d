// SPDX-License-Identifier: MIT
// Failures only Windows meets: names that are no single component, which the
// cursor refuses, and drive roots.
#include "Checks.h"
#include "FixtureTree.h"

#include <algorithm>
#include <cctype>

namespace vantorel::dirwalk::test
{

namespace
{

    std::string lowered(std::string_view text)
    {
        std::string result(text);
        std::transform(result.begin(), result.end(), result.begin(),
            [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return result;
    }

    void checkDriveRoot(TestReport& report)
    {
        std::string error;
        const bool rootExists = isExistingFolder("C:\\", error);
        report.check("a drive root exists", rootExists, error);
        const auto cursor = makeSystemDirectoryCursor();
        SubfolderList list;
        const bool rootOpened = cursor->openRoot("C:\\", list, error);
        std::string windows;
        for (const std::string& name : namesOf(list))
            if (lowered(name) == "windows")
                windows = name;
        report.check("a drive root is listed", rootOpened && !windows.empty(),
            rootOpened ? describe(namesOf(list)) : error);
        const bool enteredWindows = cursor->enter(windows, list, error);
        report.check("a folder of a drive root is entered", enteredWindows && !list.empty(), error);
        const std::string inWindows = list.empty() ? std::string() : std::string(list.name(0));
        const bool openedWindows
            = cursor->openToEnter("C:\\", windows, error) && cursor->enter(inWindows, list, error);
        report.check("a folder of a drive root is opened to enter", openedWindows, error);
    }

} // namespace

void checkWindowsFailures(TestReport& report)
{
    FixtureTree tree;
    const bool built = tree.valid() && tree.makeFolder(L"present");
    if (!report.check("component fixture is built", built, "cannot build the tree"))
        return;

    // Names that lead out of the folder or into another are refused, though
    // the file system would resolve them.
    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    std::string error;
    for (const char* name : { "..", ".", "present\\..\\present", "present/x" }) {
        cursor->openRoot(tree.utf8Path(), list, error);
        error.clear();
        const bool entered = cursor->enter(name, list, error);
        const bool intact = cursor->enter("present", list, error) && list.empty();
        report.check(std::string("entering \"") + name + "\" is refused and the stack kept",
            !entered && isReason(error) && intact,
            entered ? "it was entered" : "reason \"" + error + "\"");
    }
    for (const char* below : { "..", ".", "present\\..\\present", "present\\.", "present/.",
             "\\present", "present\\" }) {
        cursor->openRoot(tree.utf8Path(), list, error);
        error.clear();
        const bool opened = cursor->openToEnter(tree.utf8Path(), below, error);
        report.check(std::string("opening \"") + below + "\" to enter is refused, with the reason",
            !opened && isReason(error) && !cursor->enter("present", list, error),
            opened ? "it was opened" : "reason \"" + error + "\"");
    }
    checkDriveRoot(report);
    report.check("component fixture is removed", tree.remove(), "something was left behind");
}

} // namespace vantorel::dirwalk::test
