// SPDX-License-Identifier: MIT
#include "Reference.h"

#include "platform/walk/windows/FindHandle.h"
#include "platform/walk/windows/WideText.h"
#include "platform/walk/windows/WindowsPath.h"

#include <windows.h>

namespace vantorel::dirwalk::test
{

namespace
{

    struct Entry {
        std::wstring name;
        bool link;
    };

    std::vector<Entry> subfolders(const std::wstring& path)
    {
        std::vector<Entry> entries;
        std::wstring pattern = path;
        appendComponent(pattern, L"*");
        WIN32_FIND_DATAW data;
        FindHandle search(::FindFirstFileW(pattern.c_str(), &data));
        if (!search.valid())
            return entries;
        do {
            const std::wstring_view name = data.cFileName;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == L"."
                || name == L"..")
                continue;
            entries.push_back({ std::wstring(name),
                (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 });
        } while (::FindNextFileW(search.get(), &data));
        return entries;
    }

    void walk(const std::wstring& path, const std::string& prefix, std::vector<std::string>& out)
    {
        for (const Entry& entry : subfolders(path)) {
            const std::string relative = prefix + toUtf8(entry.name);
            if (entry.link) {
                out.push_back(relative + " (link)");
                continue;
            }
            out.push_back(relative);
            std::wstring child = path;
            appendComponent(child, entry.name);
            walk(child, relative + "\\", out);
        }
    }

} // namespace

std::vector<std::string> referenceListing(const std::wstring& path)
{
    std::vector<std::string> names;
    for (const Entry& entry : subfolders(path))
        names.push_back(toUtf8(entry.name) + (entry.link ? " (link)" : ""));
    return names;
}

std::vector<std::string> referenceWalk(const std::wstring& path)
{
    std::vector<std::string> out;
    walk(path, {}, out);
    return out;
}

} // namespace vantorel::dirwalk::test
