// SPDX-License-Identifier: MIT
#include "search/NameMatcher.h"

#include <QFile>

namespace vantorel
{

namespace
{

    constexpr char16_t kWidthFormsFirst = 0xFF00;
    constexpr char16_t kWidthFormsLast = 0xFFEF;

    bool isAscii(const QString& text)
    {
        for (QChar c : text)
            if (c.unicode() >= 0x80)
                return false;
        return true;
    }

    // Full-width and half-width forms replaced by the characters they stand for.
    // Half-width katakana sound marks become combining marks, which composition
    // joins to their letter again.
    QString withoutWidthForms(const QString& text, bool& changed)
    {
        changed = false;
        QString result;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            const char16_t code = c.unicode();
            if (code >= kWidthFormsFirst && code <= kWidthFormsLast) {
                const QChar::Decomposition tag = c.decompositionTag();
                if (tag == QChar::Wide || tag == QChar::Narrow) {
                    if (!changed) {
                        result = text.left(i);
                        result.reserve(text.size());
                        changed = true;
                    }
                    result += c.decomposition();
                    continue;
                }
            }
            if (changed)
                result += c;
        }
        return changed ? result : text;
    }

} // namespace

QString NameMatcher::fold(const QString& text)
{
    if (isAscii(text))
        return text.toLower();
    bool widthChanged = false;
    const QString normalWidth = withoutWidthForms(text, widthChanged);
    // Upper-casing applies the full mappings ("ß" to "SS"), and lower-casing
    // brings every case variant to one form; the first lower-casing takes the
    // capital sharp s, which has no upper-case mapping, to "ß". Composition
    // makes a precomposed letter and its decomposed spelling compare equal.
    return normalWidth.toLower().toUpper().toLower().normalized(QString::NormalizationForm_C);
}

NameMatcher::NameMatcher(const QString& phrase, qint16 compareMode)
    : m_ignoreCase(compareMode != 0)
{
    if (!m_ignoreCase) {
        m_phraseBytes = QFile::encodeName(phrase).toStdString();
        return;
    }
    m_foldedPhrase = fold(phrase);
    m_foldedPhraseIsAscii = isAscii(m_foldedPhrase);
    m_phraseBytes = m_foldedPhrase.toUtf8().toStdString();
}

bool NameMatcher::matches(std::string_view name)
{
    if (!m_ignoreCase)
        return name.find(m_phraseBytes) != std::string_view::npos;
    return matchesFolded(name);
}

bool NameMatcher::matchesFolded(std::string_view name)
{
    m_lowered.resize(name.size());
    unsigned char seen = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        seen |= c;
        m_lowered[i] = char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    if (!(seen & 0x80)) {
        // An ASCII name folds to ASCII, which cannot hold a non-ASCII phrase.
        return m_foldedPhraseIsAscii
            && std::string_view(m_lowered).find(m_phraseBytes) != std::string_view::npos;
    }
    const QString text
        = QFile::decodeName(QByteArray::fromRawData(name.data(), qsizetype(name.size())));
    return fold(text).contains(m_foldedPhrase);
}

} // namespace vantorel
