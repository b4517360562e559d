// SPDX-License-Identifier: MIT
#include "platform/Failure.h"
#include "platform/qt/QtOutputFileService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace vantorel;

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

/// The description of the Failure that `action` throws, or "<none>".
template <class Action>
QString failureOf(Action&& action)
{
    try {
        action();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return QStringLiteral("<none>");
}

} // namespace

class TestQtOutputFile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
    }

    void writesANewFileOnCommit()
    {
        const QString path = m_dir->filePath("new.txt");
        auto file = m_files.create(path);
        file->write("abc\r\n");
        file->write("def\r\n");
        QVERIFY(!QFile::exists(path));
        file->commit();
        QCOMPARE(contentOf(path), QByteArray("abc\r\ndef\r\n"));
    }

    void commitReplacesTheOldFile()
    {
        const QString path = m_dir->filePath("old.txt");
        writeOld(path);
        auto file = m_files.create(path);
        file->write("new");
        QCOMPARE(contentOf(path), QByteArray("old content"));
        file->commit();
        QCOMPARE(contentOf(path), QByteArray("new"));
        QCOMPARE(files(), QStringList{"old.txt"});
    }

    void interruptedWriteLeavesTheOldFile()
    {
        const QString path = m_dir->filePath("old.txt");
        writeOld(path);
        {
            auto file = m_files.create(path);
            file->write(QByteArray(1 << 20, 'x'));
        }
        QCOMPARE(contentOf(path), QByteArray("old content"));
        QCOMPARE(files(), QStringList{"old.txt"});
    }

    void writersAreIndependent()
    {
        const QString path = m_dir->filePath("same.txt");
        auto first = m_files.create(path);
        auto second = m_files.create(path);
        first->write("first");
        second->write("second");
        second->commit();
        QCOMPARE(contentOf(path), QByteArray("second"));
        first->commit();
        QCOMPARE(contentOf(path), QByteArray("first"));
    }

    void cannotCreate_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "missing/out.txt" << "No such file or directory";
        QTest::newRow("a folder") << "folder" << "Filename refers to a directory";
    }

    void cannotCreate()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(QDir(m_dir->path()).mkdir("folder"));
        const QString path = m_dir->filePath(name);
        QCOMPARE(failureOf([&] { m_files.create(path); }),
                 QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason);
        QCOMPARE(files(), QStringList{});
    }

    void fullDeviceFailsAndStaysADevice()
    {
        struct stat before;
        if (::stat("/dev/full", &before) != 0 || !S_ISCHR(before.st_mode))
            QSKIP("this system has no /dev/full");
        auto file = m_files.create(QStringLiteral("/dev/full"));
        QCOMPARE(failureOf([&] { file->write("abc"); }),
                 QStringLiteral("/dev/full: No space left on device"));
        struct stat after;
        QCOMPARE(::stat("/dev/full", &after), 0);
        QVERIFY(S_ISCHR(after.st_mode));
        QCOMPARE(after.st_rdev, before.st_rdev);
    }

private:
    void writeOld(const QString& path)
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content");
    }
    QStringList files() const
    {
        return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QtOutputFileService m_files;
};

QTEST_GUILESS_MAIN(TestQtOutputFile)
#include "tst_QtOutputFile.moc"
