// SPDX-License-Identifier: MIT
// The path tidying of the folder browser's choice, with either separator.
#include "FuzzInput.h"
#include "search/NormaliseFolderPath.h"

using namespace vantorel;
using namespace vantorel::fuzz;

namespace
{

QString withoutChar(QString text, QChar c)
{
    return text.remove(c);
}

/// Backslash rule, restated run by run: a leading run becomes exactly two,
/// every other run of n backslashes becomes ceil(n / 2).
QString backslashModel(const QString& path)
{
    QString result;
    qsizetype i = 0;
    const auto runAt = [&](qsizetype from) {
        qsizetype end = from;
        while (end < path.size() && path.at(end) == QLatin1Char('\\'))
            ++end;
        return end - from;
    };
    if (path.startsWith(QLatin1Char('\\'))) {
        result = QStringLiteral("\\\\");
        i = runAt(0);
    }
    while (i < path.size()) {
        if (path.at(i) != QLatin1Char('\\')) {
            result += path.at(i++);
            continue;
        }
        const qsizetype run = runAt(i);
        result += QString((run + 1) / 2, QLatin1Char('\\'));
        i += run;
    }
    return result;
}

void checkSlash(const QString& path)
{
    const QString once = NormaliseFolderPath(path, QLatin1Char('/'));
    require(once.startsWith(QLatin1Char('/')), "slash: begins with '/'", once);
    require(!once.contains(QStringLiteral("//")), "slash: no doubled '/'", once);
    require(NormaliseFolderPath(once, QLatin1Char('/')) == once, "slash: idempotent", once);
    require(withoutChar(once, QLatin1Char('/')) == withoutChar(path, QLatin1Char('/')),
        "slash: every other character kept in order", once);
}

void checkBackslash(const QString& path)
{
    const QString once = NormaliseFolderPath(path, QLatin1Char('\\'));
    require(once == backslashModel(path), "backslash: runs halved, leading run two", once);
    require(withoutChar(once, QLatin1Char('\\')) == withoutChar(path, QLatin1Char('\\')),
        "backslash: every other character kept in order", once);
    // Where no run is longer than two, one pass leaves nothing to halve.
    if (!path.contains(QStringLiteral("\\\\\\")) && !once.mid(2).contains(QStringLiteral("\\\\")))
        require(
            NormaliseFolderPath(once, QLatin1Char('\\')) == once, "backslash: idempotent", once);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t mode = input.byte();
    const QString path = input.rest(mode & 1);
    checkSlash(path);
    checkBackslash(path);
    return 0;
}
