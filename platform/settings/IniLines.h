// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

namespace vantorel
{

/// One line of an INI text as QSettings reads it: a quoted part and a
/// backslash run it on over line ends, a ";" outside quotes ends it.
struct IniLine {
    qsizetype begin = 0; // after the blanks and empty lines before it
    qsizetype end = 0;
    qsizetype equals = -1; // of the first "=" outside quotes, in the text; -1: none
    /// It runs on into whatever the text is followed by: it ends inside quotes
    /// or in a backslash's escape.
    bool runsOn = false;

    QByteArrayView in(QByteArrayView text) const { return text.sliced(begin, end - begin); }
    bool holdsValue() const { return equals >= 0; }
    /// The key as written, without the blanks around it.
    QByteArrayView writtenKey(QByteArrayView text) const
    {
        return text.sliced(begin, equals - begin).trimmed();
    }
};

/// Reads the line that starts at `pos` (or after the comment lines there) and
/// moves `pos` past it; false at the end of the text. Cuts exactly where
/// QSettings cuts, so that the store and QSettings see the same lines.
bool nextIniLine(QByteArrayView text, qsizetype& pos, IniLine& line);

/// A key or section name as QSettings decodes it from the way it is written:
/// "\" stands for "/", %XX for a character up to 0xFF, %UXXXX for a UTF-16 unit.
QString iniUnescapedKey(QByteArrayView written);

} // namespace vantorel
