// SPDX-License-Identifier: MIT
#include "platform/settings/IniSectionEdit.h"

#include "platform/settings/IniLines.h"

#include <QAnyStringView>
#include <QUtf8StringView>

#include <algorithm>

namespace vantorel
{

IniSectionEdit::IniSectionEdit(QByteArray text, const QString& section)
    : m_sections(std::move(text), section)
    , m_damaged(m_sections.damaged())
{
    m_entries.reserve(m_sections.keyLines().size());
    for (const IniSections::KeyLine& keyLine : m_sections.keyLines())
        m_entries.append(Entry(keyLine.line, keyLine.keyLength));
}

IniSectionEdit::Entry::Entry(QByteArrayView line, qsizetype keyLength)
    : line(line)
    , keyLength(int(keyLength))
    , escaped(
          writtenKey().contains('%') || writtenKey().contains('\\') || !writtenKey().isValidUtf8())
{
}

bool IniSectionEdit::holds(const Entry& entry, const QString& key, const QByteArray& keyUtf8)
{
    // Most keys are written as they are: no string to make for them.
    if (!entry.escaped)
        return entry.writtenKey() == keyUtf8;
    return iniUnescapedKey(entry.writtenKey()) == key;
}

qsizetype IniSectionEdit::lastIndexOf(const QString& key) const
{
    const QByteArray keyUtf8 = key.toUtf8();
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        if (holds(m_entries[i], key, keyUtf8))
            return i;
    }
    return -1;
}

QStringList IniSectionEdit::keys() const
{
    QStringList keys;
    keys.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        keys.append(iniUnescapedKey(entry.writtenKey()));
    return keys;
}

std::optional<QByteArrayView> IniSectionEdit::lineOf(const QString& key) const
{
    const qsizetype at = lastIndexOf(key);
    if (at < 0)
        return std::nullopt;
    return m_entries[at].line;
}

void IniSectionEdit::setLine(const QString& key, const QByteArray& line)
{
    const QByteArray keyUtf8 = key.toUtf8();
    // One pass that drops the key's lines and finds where the last one stood.
    qsizetype at = -1;
    qsizetype kept = 0;
    Entry* entries = m_entries.data();
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (holds(entries[i], key, keyUtf8)) {
            at = kept;
        } else {
            if (kept != i)
                entries[kept] = entries[i];
            ++kept;
        }
    }
    m_entries.erase(m_entries.begin() + kept, m_entries.end());
    if (at < 0) {
        const auto sortsAfter = [&](const Entry& entry) {
            if (!entry.escaped)
                return QAnyStringView::compare(key, QUtf8StringView(entry.writtenKey())) < 0;
            return key < iniUnescapedKey(entry.writtenKey());
        };
        at = std::find_if(m_entries.cbegin(), m_entries.cend(), sortsAfter) - m_entries.cbegin();
    }
    // No entry views the line that this one replaces any more.
    const QByteArray& stored = m_written[key] = line;
    IniLine cut;
    qsizetype end = 0;
    nextIniLine(stored, end, cut);
    m_entries.insert(at, Entry(stored, cut.holdsValue() ? cut.writtenKey(stored).size() : 0));
}

QByteArray IniSectionEdit::text(const QByteArray& header) const
{
    QByteArray section = header;
    // Lines that follow each other in the text are copied at once.
    const char* runBegin = nullptr;
    const char* runEnd = nullptr;
    for (const Entry& entry : m_entries) {
        if (runEnd && entry.line.data() == runEnd + 1 && *runEnd == '\n') {
            runEnd = entry.line.data() + entry.line.size();
            continue;
        }
        if (runBegin)
            section.append(runBegin, runEnd - runBegin).append('\n');
        runBegin = entry.line.data();
        runEnd = runBegin + entry.line.size();
    }
    if (runBegin)
        section.append(runBegin, runEnd - runBegin).append('\n');
    return m_sections.replaced(section);
}

} // namespace vantorel
