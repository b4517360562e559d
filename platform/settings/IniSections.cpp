// SPDX-License-Identifier: MIT
#include "platform/settings/IniSections.h"

#include <algorithm>

namespace vantorel
{

namespace
{

    /// What a header names as QSettings reads it: the text up to the first
    /// "]", or all of it; "General" is the text before every header, whatever
    /// its case, and "%General" a section of that name.
    QString sectionName(QByteArrayView header, bool& clean)
    {
        const qsizetype close = header.indexOf(']');
        const QByteArrayView name
            = header.sliced(1, (close < 0 ? header.size() : close) - 1).trimmed();
        // "[name" alone reads as "[name]"; anything after the "]" is dropped.
        clean = close < 0 || header.sliced(close + 1).trimmed().isEmpty();
        if (name.compare("general", Qt::CaseInsensitive) == 0)
            return QString();
        if (name.compare("%general", Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(name.sliced(1));
        return iniUnescapedKey(name);
    }

} // namespace

IniSections::IniSections(QByteArray text, const QString& section)
    : m_text(std::move(text))
{
    if (m_text.startsWith("\xef\xbb\xbf"))
        m_byteOrderMark = 3;
    startPart(0, false);
    bool inWanted = false;
    qsizetype pos = m_byteOrderMark;
    IniLine line;
    while (nextIniLine(m_text, pos, line)) {
        const QByteArrayView content = line.in(m_text);
        if (content.startsWith('[')) {
            bool clean = true;
            inWanted = !section.isEmpty() && sectionName(content, clean) == section;
            startPart(line.begin, inWanted);
            m_damaged |= inWanted && !clean;
        } else if (inWanted) {
            takeLine(line);
        }
        m_lastLineRunsOn = line.runsOn;
    }
    m_parts.last().end = m_text.size();
}

void IniSections::takeLine(const IniLine& line)
{
    // QSettings skips a line without "=", and takes one with an empty key for
    // the section itself; one that runs on takes in the next text written.
    if (!line.holdsValue() || line.writtenKey(m_text).isEmpty() || line.runsOn) {
        m_damaged = true;
        return;
    }
    m_keyLines.append({ line.in(m_text), line.writtenKey(m_text).size() });
}

void IniSections::startPart(qsizetype at, bool wanted)
{
    if (!m_parts.isEmpty())
        m_parts.last().end = at;
    m_parts.append({ at, at, wanted });
}

QByteArray IniSections::replaced(const QByteArray& sectionText) const
{
    QByteArray out;
    out.reserve(m_text.size() + sectionText.size() + 16);
    bool placed = false;
    // Where the last line runs on, a new section goes before the section that
    // holds it, or first of all, before the values of no section.
    qsizetype before = -1;
    if (m_lastLineRunsOn && std::none_of(m_parts.cbegin(), m_parts.cend(), [](const Part& part) {
            return part.wanted;
        }))
        before = m_parts.size() - 1;
    for (qsizetype i = 0; i < m_parts.size(); ++i) {
        const Part& part = m_parts[i];
        qsizetype begin = part.begin;
        if (i == before) {
            if (i == 0) {
                out += QByteArrayView(m_text).first(m_byteOrderMark);
                begin = m_byteOrderMark;
            }
            out += sectionText;
            if (i == 0)
                out += "[General]\n";
            placed = true;
        }
        if (!part.wanted) {
            out += QByteArrayView(m_text).sliced(begin, part.end - begin);
        } else if (!placed) {
            out += sectionText;
            placed = true;
        }
    }
    if (!placed) {
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += '\n';
        out += sectionText;
    }
    return out;
}

} // namespace vantorel
