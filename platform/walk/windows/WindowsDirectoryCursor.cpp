// SPDX-License-Identifier: MIT
#include "platform/walk/windows/WindowsDirectoryCursor.h"

#include "platform/walk/windows/FindHandle.h"
#include "platform/walk/windows/FolderEntry.h"
#include "platform/walk/windows/ResolvedFolder.h"
#include "platform/walk/windows/SystemMessage.h"
#include "platform/walk/windows/WideText.h"
#include "platform/walk/windows/WindowsPath.h"

#include <windows.h>

namespace vantorel::dirwalk
{

namespace
{

    // Names joined by backslashes, each a plain name: nothing leads out of the tree.
    bool isRelativePath(std::string_view path)
    {
        for (std::size_t start = 0;;) {
            const std::size_t end = path.find(kPathSeparator, start);
            if (!isPlainName(path.substr(start, end - start)))
                return false;
            if (end == std::string_view::npos)
                return true;
            start = end + 1;
        }
    }

    bool isFolder(const std::wstring& path)
    {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES
            && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

} // namespace

void WindowsDirectoryCursor::reset()
{
    m_levels.clear();
    m_path.clear();
}

bool WindowsDirectoryCursor::listCurrent(SubfolderList& out, std::string& error)
{
    out.clear();
    const std::size_t length = m_path.size();
    appendComponent(m_path, L"*");
    WIN32_FIND_DATAW entry;
    FindHandle search(::FindFirstFileExW(m_path.c_str(), FindExInfoBasic, &entry,
        FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    const DWORD openError = search.valid() ? ERROR_SUCCESS : ::GetLastError();
    m_path.resize(length);

    if (!search.valid()) {
        // A drive root has no "." entry, so an empty one reports "not found".
        if (openError == ERROR_NO_MORE_FILES
            || (openError == ERROR_FILE_NOT_FOUND && isFolder(m_path)))
            return true;
        error = systemMessage(openError);
        return false;
    }
    FolderKind kind = FolderKind::Folder;
    do {
        if (!classifyEntry(entry, kind))
            continue;
        m_name.clear();
        appendUtf8(m_name, entry.cFileName);
        out.add(m_name, kind);
    } while (::FindNextFileW(search.get(), &entry));

    const DWORD nextError = ::GetLastError();
    if (nextError != ERROR_NO_MORE_FILES) {
        out.clear();
        error = systemMessage(nextError);
        return false;
    }
    return true;
}

bool WindowsDirectoryCursor::openRoot(std::string_view path, SubfolderList& out, std::string& error)
{
    reset();
    out.clear();
    unsigned long code = ERROR_SUCCESS;
    if (!toExtendedPath(toWide(path), m_path, code)) {
        reset();
        error = systemMessage(code);
        return false;
    }
    if (!listCurrent(out, error)) {
        reset();
        return false;
    }
    m_levels.push_back(m_path.size());
    return true;
}

bool WindowsDirectoryCursor::enter(std::string_view name, SubfolderList& out, std::string& error)
{
    out.clear();
    if (m_levels.empty()) {
        error = systemMessage(ERROR_INVALID_HANDLE);
        return false;
    }
    // A name that is not one component would lead out of the tree.
    if (!isPlainName(name)) {
        error = systemMessage(ERROR_INVALID_NAME);
        return false;
    }
    const std::size_t parentLength = m_path.size();
    appendSeparator(m_path);
    appendWide(m_path, name);
    if (!listCurrent(out, error)) {
        m_path.resize(parentLength);
        return false;
    }
    m_levels.push_back(m_path.size());
    return true;
}

bool WindowsDirectoryCursor::resolveRoot(std::wstring_view root, unsigned long& code)
{
    m_root.assign(root);
    if (resolveFolder(m_root, true, m_resolvedRoot, code))
        return true;
    m_root.clear();
    return false;
}

bool WindowsDirectoryCursor::isBelowRoot(const std::wstring& resolved, std::wstring_view relative)
{
    m_expected = m_resolvedRoot;
    appendComponent(m_expected, relative);
    // Case apart, any difference means a link on the way: the folder lies elsewhere.
    return ::CompareStringOrdinal(resolved.data(), int(resolved.size()), m_expected.data(),
               int(m_expected.size()), TRUE)
        == CSTR_EQUAL;
}

bool WindowsDirectoryCursor::openBelowRoot(
    std::string_view root, std::string_view below, unsigned long& code)
{
    if (!below.empty() && !isRelativePath(below)) {
        code = ERROR_INVALID_NAME;
        return false;
    }
    if (!toExtendedPath(toWide(root), m_path, code))
        return false;
    // Where the root leads is kept from the last call, and checked again when
    // the folder is not where it said: a link at the root may point elsewhere now.
    const bool known = !below.empty() && m_path == m_root;
    if (!known && !resolveRoot(m_path, code))
        return false;
    if (below.empty())
        return true;

    const std::size_t rootLength = m_path.size();
    const std::wstring relative = toWide(below);
    appendComponent(m_path, relative);
    std::wstring resolved;
    if (!resolveFolder(m_path, false, resolved, code))
        return false;
    if (isBelowRoot(resolved, relative))
        return true;
    if (known && !resolveRoot(std::wstring_view(m_path).substr(0, rootLength), code))
        return false;
    if (known && isBelowRoot(resolved, relative))
        return true;
    code = ERROR_CANT_RESOLVE_FILENAME;
    return false;
}

bool WindowsDirectoryCursor::openToEnter(
    std::string_view root, std::string_view below, std::string& error)
{
    reset();
    unsigned long code = ERROR_SUCCESS;
    if (!openBelowRoot(root, below, code)) {
        reset();
        error = systemMessage(code);
        return false;
    }
    m_levels.push_back(m_path.size());
    return true;
}

void WindowsDirectoryCursor::leave()
{
    if (m_levels.empty())
        return;
    m_levels.pop_back();
    m_path.resize(m_levels.empty() ? 0 : m_levels.back());
}

std::unique_ptr<DirectoryCursor> makeSystemDirectoryCursor()
{
    return std::make_unique<WindowsDirectoryCursor>();
}

} // namespace vantorel::dirwalk
