// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>
#include <string>
#include <string_view>

namespace vantorel
{

/// Tests folder names, as the system's raw bytes, for a phrase.
///
/// Compare mode 0 is exact: the phrase's bytes must occur in the name. Any
/// other mode ignores letter case (full case folding, so "ß" equals "ss") and
/// character width (full-width and half-width forms equal their normal
/// forms), and stays sensitive to accents. The phrase is folded once; names
/// in plain ASCII are compared as lower-case bytes without leaving the byte world.
class NameMatcher
{
public:
    NameMatcher(const QString& phrase, qint16 compareMode);

    bool matches(std::string_view name);

    /// The form in which case-insensitive comparison sees a text.
    static QString fold(const QString& text);

private:
    bool matchesFolded(std::string_view name);

    bool m_ignoreCase;
    std::string m_phraseBytes; ///< exact mode: the phrase; otherwise: the folded phrase
    QString m_foldedPhrase;
    bool m_foldedPhraseIsAscii = true;
    std::string m_lowered; ///< scratch for the lower-case form of an ASCII name
};

} // namespace vantorel
