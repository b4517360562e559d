// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace vantorel
{

/// How long the key that starts one value line of an INI section is as
/// written ("Text1 = hello" gives 5), as QSettings reads the line standing
/// alone, without decoding its value; nothing when the line is damaged: it
/// holds no key, more than one, or it runs on into the lines below it (an open
/// quote, a backslash at its end). `line` is trimmed.
std::optional<qsizetype> iniValueLineKeyLength(QByteArrayView line);

/// A key as QSettings decodes it from the way it is written: "\" stands for
/// "/", %XX for a character up to 0xFF, %UXXXX for a UTF-16 unit.
QString iniUnescapedKey(QByteArrayView written);

} // namespace vantorel
