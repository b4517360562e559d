// SPDX-License-Identifier: MIT
// UTF-16 to UTF-8 at the layer's edge, and the path forms of Windows users.
#include "Checks.h"

#include "platform/walk/windows/WideText.h"
#include "platform/walk/windows/WindowsPath.h"

#include <string>

namespace vantorel::dirwalk::test
{

namespace
{

    std::string bytes(const char8_t* text)
    {
        return reinterpret_cast<const char*>(text);
    }

    std::string shown(const std::wstring& text)
    {
        return "\"" + toUtf8(text) + "\"";
    }

    struct TextRow {
        const char* name;
        std::wstring wide;
        std::string utf8;
    };

    struct JoinRow {
        const char* name;
        std::wstring base;
        std::wstring component;
        std::wstring expected;
    };

    struct PathRow {
        const char* name;
        std::wstring input;
        std::wstring expected;
    };

} // namespace

void checkTextConversion(TestReport& report)
{
    const TextRow rows[] = {
        { "ascii", L"Work", "Work" },
        { "latin umlaut", L"Ärger", bytes(u8"Ärger") },
        { "full-width letters", L"ＡＢＣ", bytes(u8"ＡＢＣ") },
        { "greek", L"Ωμέγα", bytes(u8"Ωμέγα") },
        { "cjk", L"漢字フォルダ", bytes(u8"漢字フォルダ") },
        { "surrogate pair", L"\U0001F4C1 files", bytes(u8"\U0001F4C1 files") },
        { "lone high surrogate", std::wstring(L"a") + wchar_t(0xD800) + L"b",
            "a\xED\xA0\x80"
            "b" },
        { "lone low surrogate", std::wstring(L"a") + wchar_t(0xDC01), "a\xED\xB0\x81" },
    };
    for (const TextRow& row : rows) {
        const std::string utf8 = toUtf8(row.wide);
        report.check(std::string("utf8 of ") + row.name, utf8 == row.utf8,
            "got \"" + utf8 + "\", expected \"" + row.utf8 + "\"");
        const std::wstring back = toWide(utf8);
        report.check(std::string("utf16 round trip of ") + row.name, back == row.wide,
            "got " + shown(back) + ", expected " + shown(row.wide));
    }
    const std::wstring replaced = toWide("a\xFF"
                                         "b\xC3");
    report.check("bytes that are not utf8 become U+FFFD",
        replaced
            == L"a\xFFFD"
               L"b\xFFFD",
        "got " + std::to_string(replaced.size()) + " units");
}

void checkPathForms(TestReport& report)
{
    const JoinRow joins[] = {
        { "drive root", L"C:\\", L"Work", L"C:\\Work" },
        { "drive folder", L"C:\\Work", L"alpha", L"C:\\Work\\alpha" },
        { "network share", L"\\\\server\\share", L"folder", L"\\\\server\\share\\folder" },
        { "network share with backslash", L"\\\\server\\share\\", L"folder",
            L"\\\\server\\share\\folder" },
        { "network folder", L"\\\\server\\share\\folder", L"sub",
            L"\\\\server\\share\\folder\\sub" },
        { "extended drive root", L"\\\\?\\C:\\", L"Work", L"\\\\?\\C:\\Work" },
    };
    for (const JoinRow& row : joins) {
        std::wstring path = row.base;
        appendComponent(path, row.component);
        report.check(std::string("join ") + row.name, path == row.expected,
            "got " + shown(path) + ", expected " + shown(row.expected));
    }

    const PathRow prefixes[] = {
        { "drive path", L"C:\\Work", L"\\\\?\\C:\\Work" },
        { "drive root", L"C:\\", L"\\\\?\\C:\\" },
        { "network path", L"\\\\server\\share\\folder", L"\\\\?\\UNC\\server\\share\\folder" },
        { "already extended", L"\\\\?\\C:\\Work", L"\\\\?\\C:\\Work" },
        { "extended network path", L"\\\\?\\UNC\\server\\share", L"\\\\?\\UNC\\server\\share" },
    };
    for (const PathRow& row : prefixes) {
        const std::wstring path = withExtendedPrefix(row.input);
        report.check(std::string("extended prefix of ") + row.name, path == row.expected,
            "got " + shown(path) + ", expected " + shown(row.expected));
    }

    const PathRow resolved[] = {
        { "drive root", L"C:\\", L"\\\\?\\C:\\" },
        { "forward slashes and dot-dot", L"C:/Work/../Tools/x", L"\\\\?\\C:\\Tools\\x" },
        { "dot and trailing backslash", L"C:\\Work\\.\\a\\", L"\\\\?\\C:\\Work\\a\\" },
        { "network path", L"\\\\server\\share\\folder", L"\\\\?\\UNC\\server\\share\\folder" },
        { "network path with slashes", L"//server/share/folder",
            L"\\\\?\\UNC\\server\\share\\folder" },
    };
    for (const PathRow& row : resolved) {
        std::wstring path;
        unsigned long code = 0;
        const bool made = toExtendedPath(row.input, path, code);
        report.check(std::string("resolved ") + row.name, made && path == row.expected,
            "got " + shown(path) + " (" + std::to_string(code) + "), expected "
                + shown(row.expected));
    }
    std::wstring empty;
    unsigned long code = 0;
    report.check("empty path is refused", !toExtendedPath(L"", empty, code) && code != 0,
        "an empty path was resolved to " + shown(empty));
}

} // namespace vantorel::dirwalk::test
