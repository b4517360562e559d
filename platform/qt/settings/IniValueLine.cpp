// SPDX-License-Identifier: MIT
#include "platform/qt/settings/IniValueLine.h"

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

std::optional<qsizetype> iniValueLineKeyLength(QByteArrayView line)
{
    qsizetype equals = -1;
    qsizetype end = line.size();
    bool quoted = false;
    for (qsizetype i = 0; i < end; ++i) {
        switch (line[i]) {
        case '=':
            if (!quoted && equals < 0)
                equals = i;
            break;
        case '"':
            quoted = !quoted;
            break;
        case '\\':
            if (++i == end) // escapes the line's end: the value runs on
                return std::nullopt;
            break;
        case '\r': // ends the line for QSettings, so that what follows is one more
            if (!quoted)
                return std::nullopt;
            break;
        case ';': // the rest is a comment, unless a line end in it starts another line
            if (!quoted) {
                if (line.sliced(i).contains('\r'))
                    return std::nullopt;
                end = i;
            }
            break;
        default:
            break;
        }
    }
    if (quoted || equals < 0)
        return std::nullopt;
    const qsizetype length = line.first(equals).trimmed().size();
    if (length == 0)
        return std::nullopt;
    return length;
}

} // namespace vantorel
