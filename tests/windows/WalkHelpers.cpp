// SPDX-License-Identifier: MIT
#include "Checks.h"

namespace vantorel::dirwalk::test
{

namespace
{

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
            const bool walked = walkBelow(cursor, below, path + "\\", paths, error);
            cursor.leave();
            if (!walked)
                return false;
        }
        return true;
    }

} // namespace

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

} // namespace vantorel::dirwalk::test
