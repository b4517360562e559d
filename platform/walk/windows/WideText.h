// SPDX-License-Identifier: MIT
// Conversion between the system's UTF-16 and the UTF-8 of the rest of the
// program, done once at the edge of the directory layer.
#pragma once

#include <string>
#include <string_view>

namespace vantorel::dirwalk
{

/// Appends `text` to `out` as UTF-8. NTFS names may hold unpaired surrogates;
/// they are kept in their three-byte form (WTF-8), so that the name converts
/// back to the very same UTF-16 and the folder can still be entered.
void appendUtf8(std::string& out, std::wstring_view text);

/// Appends `text` (UTF-8, or the WTF-8 that appendUtf8 makes) to `out` as
/// UTF-16. Bytes that are not UTF-8 at all become U+FFFD.
void appendWide(std::wstring& out, std::string_view text);

/// `text` as UTF-8; see appendUtf8.
std::string toUtf8(std::wstring_view text);

/// `text` as UTF-16; see appendWide.
std::wstring toWide(std::string_view text);

} // namespace vantorel::dirwalk
