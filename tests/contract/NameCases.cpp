// SPDX-License-Identifier: MIT
// Names beyond ASCII arrive as the system stores them, and lead back in;
// what is not one name leads nowhere.
#include "CursorContract.h"

namespace vantorel::dirwalk::test
{

void checkNames(TreeMaker& tree, Report& report)
{
    const char8_t* const names[] = { u8"Ärger", u8"A\u0308rger", u8"ＡＢＣ", u8"Ωμέγα",
        u8"漢字フォルダ", u8"\U0001F4C1 files" };
    bool built = tree.valid();
    std::vector<std::string> expected;
    for (const char8_t* name : names) {
        expected.emplace_back(reinterpret_cast<const char*>(name));
        built = built && tree.makeFolder(expected.back());
    }
    if (!report.check("unicode fixture is built", built, "cannot build the tree"))
        return;
    const auto cursor = makeSystemDirectoryCursor();
    SubfolderList list;
    std::string error;
    const bool opened = cursor->openRoot(tree.path(), list, error);
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

    // Each of these names a folder that exists, but not as a subfolder of the
    // deepest level: the cursor must not follow it out of the tree or into itself.
    if (!report.check("nested fixture is built", makeFolders(tree, { "outer/inner" }),
            "cannot build the tree"))
        return;
    const std::string nested = native("outer/inner");
    std::string refused;
    // The empty name is among the failures' cases.
    for (const std::string_view name : { std::string_view(".."), std::string_view("."),
             std::string_view(nested), std::string_view("outer/") }) {
        SubfolderList below;
        std::string reason;
        if (cursor->enter(name, below, reason) || !isReason(reason) || !below.empty())
            refused += " [" + std::string(name) + "]";
    }
    report.check("only a plain name can be entered", refused.empty(), "entered:" + refused);
    SubfolderList below;
    report.check("a refused name leaves the stack as it was",
        cursor->enter("outer", below, error)
            && namesOf(below) == std::vector<std::string> { "inner" },
        error);
}

} // namespace vantorel::dirwalk::test
