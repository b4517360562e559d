// SPDX-License-Identifier: MIT
// What Windows's file systems store beyond the contract: hidden and system
// attributes, and names that are no valid UTF-16.
#include "Checks.h"
#include "FixtureTree.h"

#include "platform/walk/windows/WideText.h"

#include <windows.h>

namespace vantorel::dirwalk::test
{

void checkAttributes(TestReport& report)
{
    FixtureTree tree;
    const bool built = tree.valid() && tree.makeFolder(L"attributes")
        && tree.makeFolder(L"attributes\\Hidden") && tree.makeFolder(L"attributes\\System")
        && tree.makeFolder(L"attributes\\Both") && tree.makeFolder(L"attributes\\Plain");
    const bool marked = built && tree.setAttributes(L"attributes\\Hidden", FILE_ATTRIBUTE_HIDDEN)
        && tree.setAttributes(L"attributes\\System", FILE_ATTRIBUTE_SYSTEM)
        && tree.setAttributes(L"attributes\\Both", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const DWORD both = ::GetFileAttributesW(tree.longPath(L"attributes\\Both").c_str());
    const DWORD wanted = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (!built || !marked || both == INVALID_FILE_ATTRIBUTES || (both & wanted) != wanted) {
        report.skip("hidden and system folders are listed",
            "the file system did not keep the hidden and system attributes");
        return;
    }
    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    std::string error;
    const bool listed = cursor->openRoot(tree.utf8Path(L"attributes"), list, error);
    report.check("open the folder of hidden and system folders", listed, error);
    compare(report, "hidden and system folders are listed", sorted(namesOf(list)),
        { "Both", "Hidden", "Plain", "System" });
    report.check("attribute fixture is removed", tree.remove(), "something was left behind");
}

void checkUnpairedSurrogate(TestReport& report)
{
    const char* name = "a name with an unpaired surrogate round-trips";
    FixtureTree tree;
    const std::wstring odd = std::wstring(L"odd") + wchar_t(0xD800);
    if (!tree.valid() || !tree.makeFolder(odd)) {
        report.skip(name, "the file system refuses such a name");
        return;
    }
    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    std::string error;
    cursor->openRoot(tree.utf8Path(), list, error);
    std::string found;
    for (const std::string& listed : namesOf(list))
        if (listed.starts_with("odd"))
            found = listed;
    SubfolderList below;
    if (found != toUtf8(odd))
        report.skip(name, "the file system stored it as \"" + found + "\"");
    else
        report.check(name, cursor->enter(found, below, error), error);
}

} // namespace vantorel::dirwalk::test
