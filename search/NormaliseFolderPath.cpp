// SPDX-License-Identifier: MIT
#include "search/NormaliseFolderPath.h"

namespace vantorel
{

namespace
{

    QString halveBackslashPairs(QString text)
    {
        return text.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    }

    QString normaliseBackslashPath(const QString& path)
    {
        if (!path.startsWith(QLatin1Char('\\')))
            return halveBackslashPairs(path);
        qsizetype run = 0;
        while (run < path.size() && path.at(run) == QLatin1Char('\\'))
            ++run;
        return QStringLiteral("\\\\") + halveBackslashPairs(path.mid(run));
    }

    QString normaliseSlashPath(const QString& path)
    {
        QString result;
        result.reserve(path.size() + 1);
        result.append(QLatin1Char('/'));
        for (const QChar c : path) {
            if (c == QLatin1Char('/') && result.endsWith(QLatin1Char('/')))
                continue;
            result.append(c);
        }
        return result;
    }

} // namespace

QString NormaliseFolderPath(const QString& path, QChar separator)
{
    return separator == QLatin1Char('\\') ? normaliseBackslashPath(path) : normaliseSlashPath(path);
}

} // namespace vantorel
