// SPDX-License-Identifier: MIT
#include "CursorContract.h"

#include <set>

namespace vantorel::dirwalk::test
{

namespace
{

    constexpr ContractCase kCases[] = {
        { "listing", checkListing },
        { "links", checkLinks },
        { "names", checkNames },
        { "failures", checkFailures },
        { "unreadable", checkUnreadable },
        { "deep walk", checkDeepWalk },
    };

    bool walkBelow(DirectoryCursor& cursor, const SubfolderList& list, const std::string& prefix,
        std::vector<std::string>& paths, std::string& error)
    {
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string path = prefix + std::string(list.name(i));
            if (list.kind(i) == FolderKind::Link) {
                paths.push_back(path + " (link)");
                continue;
            }
            paths.push_back(path);
            SubfolderList below;
            if (!cursor.enter(list.name(i), below, error))
                return false;
            const bool walked = walkBelow(cursor, below, path + kPathSeparator, paths, error);
            cursor.leave();
            if (!walked)
                return false;
        }
        return true;
    }

} // namespace

std::span<const ContractCase> cursorContract()
{
    return kCases;
}

void runContractCase(const ContractCase& contractCase, const TreeFactory& makeTree, Report& report)
{
    const std::unique_ptr<TreeMaker> tree = makeTree();
    contractCase.run(*tree, report);
    report.check(std::string(contractCase.name) + " fixture is removed", tree->remove(),
        "something was left behind");
}

std::vector<std::string> namesOf(const SubfolderList& list)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.size(); ++i)
        names.push_back(
            std::string(list.name(i)) + (list.kind(i) == FolderKind::Link ? " (link)" : ""));
    return names;
}

bool walkTree(DirectoryCursor& cursor, const std::string& root, std::vector<std::string>& paths,
    std::string& error)
{
    paths.clear();
    SubfolderList top;
    if (!cursor.openRoot(root, top, error))
        return false;
    return walkBelow(cursor, top, {}, paths, error);
}

std::string native(std::string_view relative)
{
    std::string path(relative);
    for (char& c : path)
        if (c == '/')
            c = kPathSeparator;
    return path;
}

bool makeFolders(TreeMaker& tree, std::initializer_list<std::string_view> relativePaths)
{
    std::set<std::string_view> made;
    for (const std::string_view path : relativePaths) {
        for (std::size_t end = path.find('/');; end = path.find('/', end + 1)) {
            const std::string_view folder = path.substr(0, end);
            if (made.insert(folder).second && !tree.makeFolder(folder))
                return false;
            if (end == std::string_view::npos)
                break;
        }
    }
    return true;
}

bool isReason(const std::string& error)
{
    return !error.empty() && error.back() != '\n' && error.back() != '\r';
}

bool isReason(const TreeMaker& tree, const std::string& error, Fault fault)
{
    const std::string expected = tree.reason(fault);
    return isReason(error) && (expected.empty() || error == expected);
}

} // namespace vantorel::dirwalk::test
