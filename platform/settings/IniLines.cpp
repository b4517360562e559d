// SPDX-License-Identifier: MIT
#include "platform/settings/IniLines.h"

namespace vantorel
{

QString iniUnescapedKey(QByteArrayView raw)
{
    if (!raw.contains('%') && !raw.contains('\\'))
        return QString::fromUtf8(raw);
    const QString text = QString::fromUtf8(raw);
    QString key;
    key.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == QLatin1Char('\\')) {
            key += QLatin1Char('/');
            continue;
        }
        if (ch != QLatin1Char('%') || i == text.size() - 1) {
            key += ch;
            continue;
        }
        const bool wide = text[i + 1] == QLatin1Char('U');
        const qsizetype digits = wide ? 4 : 2;
        const qsizetype first = i + (wide ? 2 : 1);
        bool ok = false;
        const ushort unit
            = first + digits <= text.size() ? text.mid(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) { // a "%" that starts no code stays
            key += ch;
            continue;
        }
        key += QChar(unit);
        i = first + digits - 1;
    }
    return key;
}

namespace
{

    bool isBlank(char ch)
    {
        return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
    }

    /// A comment runs to the line's end, then the blanks after it are skipped.
    qsizetype pastComment(QByteArrayView text, qsizetype at)
    {
        while (at < text.size() && text[at] != '\n' && text[at] != '\r')
            ++at;
        while (at < text.size() && isBlank(text[at]))
            ++at;
        return at;
    }

} // namespace

bool nextIniLine(QByteArrayView text, qsizetype& pos, IniLine& line)
{
    line = IniLine();
    qsizetype at = pos;
    while (at < text.size() && isBlank(text[at]))
        ++at;
    line.begin = at;
    bool quoted = false;
    bool escaped = false; // the last character read ended an escape
    for (; at < text.size(); ++at) {
        const char ch = text[at];
        escaped = false;
        if (ch == '=') {
            if (!quoted && line.equals < 0)
                line.equals = at;
        } else if (ch == '\n' || ch == '\r') {
            if (at == line.begin)
                ++line.begin; // an empty line
            else if (!quoted)
                break;
        } else if (ch == '\\') {
            // Escapes the next character; "\n\r" and "\r\n" are one line end,
            // escaped as one. At the text's end it would escape what follows.
            escaped = at + 1 == text.size() || text[at + 1] == '\n' || text[at + 1] == '\r';
            if (at + 1 < text.size()) {
                ++at;
                const char next = at + 1 < text.size() ? text[at + 1] : '\0';
                if ((text[at] == '\n' && next == '\r') || (text[at] == '\r' && next == '\n'))
                    ++at;
            }
        } else if (ch == '"') {
            quoted = !quoted;
        } else if (ch == ';') {
            if (at == line.begin) {
                line.begin = pastComment(text, at);
                at = line.begin - 1;
            } else if (!quoted) {
                break;
            }
        }
    }
    line.end = at;
    line.runsOn = at == text.size() && (quoted || escaped);
    pos = at;
    return line.end > line.begin;
}

} // namespace vantorel
