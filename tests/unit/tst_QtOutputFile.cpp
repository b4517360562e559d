// SPDX-License-Identifier: MIT
// The output file: written whole on commit, the old file kept until then, and
// a file with other names or behind a link written where it stands.
#include "support/FileContent.h"
#include "support/FileSizeLimit.h"
#include "support/OutputFileFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace vantorel;
using namespace vantorel::test;

class TestQtOutputFile : public QObject, private OutputFileFixture
{
    Q_OBJECT

private slots:
    void init() { begin(); }

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
        QCOMPARE(files(), QStringList { "old.txt" });
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
        QCOMPARE(files(), QStringList { "old.txt" });
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
        QTest::newRow("missing folder") << "missing/out.txt"
                                        << "No such file or directory";
        QTest::newRow("a folder") << "folder"
                                  << "Filename refers to a directory";
    }

    void cannotCreate()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(QDir(m_dir->path()).mkdir("folder"));
        const QString path = m_dir->filePath(name);
        QCOMPARE(failureOf([&] { m_files.create(path); }),
            QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason);
        QCOMPARE(files(), QStringList {});
    }

    void keepsTheOtherNamesOfAHardLinkedFile()
    {
        const QString path = m_dir->filePath("old.txt");
        const QString other = m_dir->filePath("other name.txt");
        writeOld(path);
        QCOMPARE(::link(qPrintable(path), qPrintable(other)), 0);
        const ino_t inode = statusOf(path).st_ino;
        QCOMPARE(save(path, "new"), QStringLiteral("<none>"));
        QCOMPARE(contentOf(path), QByteArray("new"));
        QCOMPARE(contentOf(other), QByteArray("new"));
        QCOMPARE(statusOf(path).st_ino, inode);
        QCOMPARE(statusOf(other).st_nlink, nlink_t(2));
    }

    void writesTheFileALinkNamesAndKeepsTheLink_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::newRow("a file") << true;
        QTest::newRow("no file yet") << false;
    }

    void writesTheFileALinkNamesAndKeepsTheLink()
    {
        QFETCH(bool, fileExists);
        QVERIFY(QDir(m_dir->path()).mkdir("real"));
        const QString real = m_dir->filePath("real/list.txt");
        const QString link = m_dir->filePath("link.txt");
        if (fileExists)
            writeOld(real);
        QCOMPARE(::symlink("real/list.txt", qPrintable(link)), 0);
        QCOMPARE(save(link, "new"), QStringLiteral("<none>"));
        QVERIFY(S_ISLNK(statusOf(link).st_mode));
        QCOMPARE(QFile::symLinkTarget(link), real);
        QCOMPARE(contentOf(real), QByteArray("new"));
        QCOMPARE(files(), QStringList { "link.txt" });
        QCOMPARE(QDir(m_dir->filePath("real")).entryList(QDir::Files | QDir::Hidden),
            QStringList { "list.txt" });
    }

    void writingInPlaceLosesNothingBeforeTheFirstWrite()
    {
        const QString path = m_dir->filePath("old.txt");
        writeOld(path);
        QCOMPARE(::link(qPrintable(path), qPrintable(m_dir->filePath("other.txt"))), 0);
        m_files.create(path);
        QCOMPARE(contentOf(path), QByteArray("old content"));
    }

    void aFailureWritingInPlaceSaysTheFileIsIncomplete()
    {
        const QString path = m_dir->filePath("old.txt");
        writeOld(path);
        QCOMPARE(::link(qPrintable(path), qPrintable(m_dir->filePath("other.txt"))), 0);
        auto file = m_files.create(path);
        FileSizeLimit limit(16 * 1024);
        QVERIFY(limit.active());
        QCOMPARE(failureOf([&] { file->write(QByteArray(64 * 1024, 'x')); }),
            QDir::toNativeSeparators(path)
                + QStringLiteral(": File too large. The file was being written in place "
                                 "and now holds only part of the results."));
    }
};

QTEST_GUILESS_MAIN(TestQtOutputFile)
#include "tst_QtOutputFile.moc"
