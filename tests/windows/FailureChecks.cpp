// SPDX-License-Identifier: MIT
// Folders that cannot be listed: false, with the system's reason.
#include "Checks.h"
#include "FixtureTree.h"

#include <windows.h>

// After windows.h, whose declarations it needs.
#include <sddl.h>

#include <algorithm>
#include <cctype>

namespace vantorel::dirwalk::test
{

namespace
{

    bool isReason(const std::string& error)
    {
        return !error.empty() && error.back() != '\n' && error.back() != '\r';
    }

    std::string lowered(std::string_view text)
    {
        std::string result(text);
        std::transform(result.begin(), result.end(), result.begin(),
            [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return result;
    }

    void checkRefusedOpen(TestReport& report, const char* name, const std::string& path)
    {
        const auto cursor = makeSystemDirectoryCursor();
        SubfolderList list;
        std::string error;
        const bool opened = cursor->openRoot(path, list, error);
        report.check(name, !opened && list.empty() && isReason(error),
            opened ? "it was opened" : "reason \"" + error + "\"");
    }

    void checkRefusedFolder(TestReport& report, const char* name, const std::string& path)
    {
        std::string error;
        const bool exists = isExistingFolder(path, error);
        report.check(name, !exists && isReason(error),
            exists ? "reported as existing" : "reason \"" + error + "\"");
    }

    void checkDeniedFolder(TestReport& report, FixtureTree& tree)
    {
        const char* name = "a folder without access rights gives false with the reason";
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
                L"D:P(D;OICI;GA;;;WD)", SDDL_REVISION_1, &descriptor, nullptr)) {
            report.skip(name, "cannot build a denying security descriptor");
            return;
        }
        SECURITY_ATTRIBUTES attributes { sizeof attributes, descriptor, FALSE };
        const bool made = ::CreateDirectoryW(tree.longPath(L"denied").c_str(), &attributes) != 0;
        ::LocalFree(descriptor);
        if (!made) {
            report.skip(name, "cannot make a folder with a denying access list");
            return;
        }
        const auto cursor = makeSystemDirectoryCursor();
        SubfolderList list;
        std::string error;
        if (cursor->openRoot(tree.utf8Path(L"denied"), list, error)) {
            report.skip(name, "the system listed it anyway (Wine does not enforce access lists)");
            return;
        }
        report.check(name, isReason(error), "reason \"" + error + "\"");
    }

} // namespace

void checkFailures(TestReport& report)
{
    FixtureTree tree;
    const bool built = tree.valid() && tree.makeFolder(L"present") && tree.makeFile(L"file.txt");
    if (!report.check("failure fixture is built", built, "cannot build the tree"))
        return;

    checkRefusedOpen(report, "a missing folder is not opened, with the reason",
        tree.utf8Path(L"does-not-exist"));
    checkRefusedOpen(report, "a folder below a missing one is not opened, with the reason",
        tree.utf8Path(L"does-not-exist\\below"));
    checkRefusedOpen(
        report, "a file is not opened as a folder, with the reason", tree.utf8Path(L"file.txt"));
    checkRefusedOpen(report, "an empty path is not opened, with the reason", "");
    checkRefusedFolder(report, "a missing folder does not exist, with the reason",
        tree.utf8Path(L"does-not-exist"));
    checkRefusedFolder(
        report, "a file is not an existing folder, with the reason", tree.utf8Path(L"file.txt"));
    checkRefusedFolder(report, "an empty path is not an existing folder, with the reason", "");
    std::string error;
    const bool folderExists = isExistingFolder(tree.utf8Path(L"present"), error);
    report.check("a folder exists", folderExists, error);
    const bool rootExists = isExistingFolder("C:\\", error);
    report.check("a drive root exists", rootExists, error);

    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    const char* const refused[]
        = { "missing", "file.txt", "..", ".", "", "present\\..\\present", "present/x" };
    for (const char* name : refused) {
        cursor->openRoot(tree.utf8Path(), list, error);
        error.clear();
        const bool entered = cursor->enter(name, list, error);
        const bool intact = cursor->enter("present", list, error) && list.empty();
        report.check(std::string("entering \"") + name + "\" is refused and the stack kept",
            !entered && isReason(error) && intact,
            entered ? "it was entered" : "reason \"" + error + "\"");
    }

    const char* const refusedBelow[] = { "missing", "present\\missing", "file.txt", "..", ".",
        "present\\..\\present", "present\\.", "present/.", "\\present", "present\\" };
    for (const char* below : refusedBelow) {
        cursor->openRoot(tree.utf8Path(), list, error);
        error.clear();
        const bool opened = cursor->openToEnter(tree.utf8Path(), below, error);
        report.check(std::string("opening \"") + below + "\" to enter is refused, with the reason",
            !opened && isReason(error) && !cursor->enter("present", list, error),
            opened ? "it was opened" : "reason \"" + error + "\"");
    }
    const bool missingRoot = cursor->openToEnter(tree.utf8Path(L"does-not-exist"), "", error);
    report.check("a missing root is not opened to enter, with the reason",
        !missingRoot && isReason(error),
        missingRoot ? "it was opened" : "reason \"" + error + "\"");

    const auto fresh = makeSystemDirectoryCursor();
    const bool enteredUnopened = fresh->enter("present", list, error);
    report.check("entering before opening a root is refused", !enteredUnopened && isReason(error),
        "reason \"" + error + "\"");
    cursor->openRoot(tree.utf8Path(), list, error);
    cursor->openRoot(tree.utf8Path(L"does-not-exist"), list, error);
    report.check("a failed open leaves no folder to enter", !cursor->enter("present", list, error),
        "the old root was kept");

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

    checkDeniedFolder(report, tree);
    report.check("failure fixture is removed", tree.remove(), "something was left behind");
}

} // namespace vantorel::dirwalk::test
