// SPDX-License-Identifier: MIT
// A file's bytes, read and written whole.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace vantorel::test
{

/// The file's bytes, or "<unreadable>".
inline QByteArray contentOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

inline void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

} // namespace vantorel::test
