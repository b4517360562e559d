// SPDX-License-Identifier: MIT
#include "platform/Failure.h"
#include "platform/files/SystemFolderService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vantorel;

class TestSystemFolderService : public QObject
{
    Q_OBJECT

private slots:
    void trailingSeparators_data();
    void trailingSeparators();
    void opensAnExistingFolder();
    void refusesWhatIsNoFolder_data();
    void refusesWhatIsNoFolder();
};

void TestSystemFolderService::trailingSeparators_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << "/srv/work"
                          << "/srv/work";
    QTest::newRow("one") << "/srv/work/"
                         << "/srv/work";
    QTest::newRow("several") << "/srv/work///"
                             << "/srv/work";
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("root repeated") << "///"
                                   << "/";
    QTest::newRow("relative") << "work/"
                              << "work";
    QTest::newRow("empty") << ""
                           << "";
}

void TestSystemFolderService::trailingSeparators()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(SystemFolderService::withoutTrailingSeparators(path), expected);
}

void TestSystemFolderService::opensAnExistingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.path() + QStringLiteral("/Ärger");
    QVERIFY(QDir().mkpath(path));
    SystemFolderService service;
    const Folder folder = service.getFolder(path + QStringLiteral("//"));
    QCOMPARE(folder.path, path);
    QCOMPARE(folder.nativePath, QFile::encodeName(path));
    QCOMPARE(service.getFolder(QStringLiteral("/")).path, QStringLiteral("/"));
    QVERIFY(service.cursor() != nullptr);
}

void TestSystemFolderService::refusesWhatIsNoFolder_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing"
                             << "No such file or directory";
    QTest::newRow("file") << "file.txt"
                          << "Not a directory";
    QTest::newRow("below a file") << "file.txt/inner"
                                  << "Not a directory";
}

void TestSystemFolderService::refusesWhatIsNoFolder()
{
    QFETCH(QString, relative);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("file.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    SystemFolderService service;
    const QString path = dir.filePath(relative);
    try {
        service.getFolder(path);
        QFAIL("getFolder accepted what is no folder");
    } catch (const Failure& failure) {
        QCOMPARE(
            failure.description(), QStringLiteral("Path not found: %1 (%2)").arg(path, reason));
    }
}

QTEST_GUILESS_MAIN(TestSystemFolderService)
#include "tst_SystemFolderService.moc"
