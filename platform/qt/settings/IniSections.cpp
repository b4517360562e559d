// SPDX-License-Identifier: MIT
#include "platform/qt/settings/IniSections.h"

namespace vantorel
{

namespace
{

    /// A section name as QSettings writes it: %XX for a byte, %UXXXX for a UTF-16 unit.
    QString decodeName(const QByteArray& raw)
    {
        QString name;
        QByteArray bytes;
        const auto flush = [&] {
            name += QString::fromUtf8(bytes);
            bytes.clear();
        };
        for (qsizetype i = 0; i < raw.size(); ++i) {
            bool ok = false;
            if (raw[i] == '%' && i + 5 < raw.size() && raw[i + 1] == 'U') {
                const ushort unit = raw.mid(i + 2, 4).toUShort(&ok, 16);
                if (ok) {
                    flush();
                    name += QChar(unit);
                    i += 5;
                    continue;
                }
            }
            if (raw[i] == '%' && i + 2 < raw.size()) {
                const ushort byte = raw.mid(i + 1, 2).toUShort(&ok, 16);
                if (ok) {
                    bytes += char(byte);
                    i += 2;
                    continue;
                }
            }
            bytes += raw[i];
        }
        flush();
        return name;
    }

    enum class LineKind { Neutral, Key, Header, Garbage };

    struct Line {
        LineKind kind = LineKind::Neutral;
        QByteArray name; // of a header, as written
        bool damagedHeader = false;
    };

    /// A header is "[name]"; no writer puts a bracket inside a name. A line that
    /// holds no value but "[name" after some damage still says where its section
    /// begins, so the values below it are not taken for another section's.
    Line classify(QByteArrayView rawLine)
    {
        const QByteArrayView line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';'))
            return {};
        const bool hasEquals = line.contains('=');
        qsizetype open = -1;
        if (line.startsWith('['))
            open = 0;
        else if (!hasEquals)
            open = line.lastIndexOf('[');
        if (open < 0)
            return { hasEquals ? LineKind::Key : LineKind::Garbage, {}, false };
        const qsizetype close = line.indexOf(']', open + 1);
        const QByteArray name
            = line.sliced(open + 1, (close < 0 ? line.size() : close) - open - 1).toByteArray();
        if (name.trimmed().isEmpty() || name.contains('['))
            return { LineKind::Garbage, {}, false };
        // "[name" alone reads as QSettings reads it; anything around it is damage.
        const bool clean = open == 0 && (close < 0 || close == line.size() - 1);
        return { LineKind::Header, name, !clean };
    }

} // namespace

IniSections::IniSections(QByteArray text, const QString& section)
    : m_text(std::move(text))
{
    startPart(0, false);
    bool inWanted = false;
    qsizetype begin = 0;
    while (begin < m_text.size()) {
        qsizetype end = m_text.indexOf('\n', begin);
        end = end < 0 ? m_text.size() : end + 1;
        const QByteArrayView rawLine = QByteArrayView(m_text).sliced(begin, end - begin);
        const Line line = classify(rawLine);
        if (line.kind == LineKind::Header) {
            inWanted = decodeName(line.name) == section;
            startPart(begin, inWanted);
            m_damaged |= inWanted && line.damagedHeader;
        } else if (inWanted && line.kind == LineKind::Key) {
            m_keyLines.append(rawLine.trimmed());
        } else if (inWanted && line.kind == LineKind::Garbage) {
            m_damaged = true;
        }
        begin = end;
    }
    m_parts.last().end = m_text.size();
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
    out.reserve(m_text.size() + sectionText.size() + 1);
    bool placed = false;
    for (const Part& part : m_parts) {
        if (!part.wanted) {
            out += QByteArrayView(m_text).sliced(part.begin, part.end - part.begin);
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
