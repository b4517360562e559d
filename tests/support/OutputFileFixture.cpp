// SPDX-License-Identifier: MIT
#include "OutputFileFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace vantorel::test
{

struct stat statusOf(const QString& path)
{
    struct stat status {
    };
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

QString save(const QString& path, const QByteArray& content)
{
    return failureOf([&] {
        auto file = QtOutputFileService().create(path);
        file->write(content);
        file->commit();
    });
}

void OutputFileFixture::begin()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

void OutputFileFixture::writeOld(const QString& path)
{
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old content");
}

QStringList OutputFileFixture::files() const
{
    return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace vantorel::test
