// SPDX-License-Identifier: MIT
// A search of a location searched before, with its folder index, gives the
// rows, order and "could not be read" reports of a walk of the disk made at
// that moment, whatever changed in the tree since, at any depth.
#include "support/IndexedSearchFixture.h"

#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

/// The tree every change starts from: folders at several depths, a link to a
/// folder, a link to a file and one to nothing.
const QStringList kTree = { "a/b/c/d/e", "a/b/c/x", "a/b/y", "a/z", "f/g", "h", "t/u",
    "a/b/link-to-f>../../f", "a/link-to-missing>missing", "a/b/c/link-to-file>../z/file" };

/// A change of the tree, made in folder `parent` (below the root).
using Change = std::function<bool(const QByteArray& parent)>;

bool run(const QByteArray& command)
{
    return std::system(command.constData()) == 0;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestFolderIndex : public QObject, private IndexedSearchFixture
{
    Q_OBJECT

    /// Searches with the index, applies each step, and checks the search made
    /// with the index after each against a walk of the disk.
    void compareAfterEach(const QList<Change>& steps, const QByteArray& parent);

private slots:
    void init() { begin(); }
    void cleanup() { finish(); }

    void unchangedTreeComesFromTheIndex();
    void changedTreeGivesTheLiveWalk_data();
    void changedTreeGivesTheLiveWalk();
};

void TestFolderIndex::compareAfterEach(const QList<Change>& steps, const QByteArray& parent)
{
    QVERIFY(make(kTree));
    QVERIFY(::close(::open(path("a/z/file").constData(), O_CREAT | O_WRONLY, 0644)) == 0);
    const QStringList first = searchWithIndex();
    QCOMPARE(first, searchLive());
    for (const Change& step : steps) {
        waitForNextTick();
        QVERIFY(step(parent.isEmpty() ? m_root : path(parent)));
        const QStringList indexed = searchWithIndex();
        QCOMPARE(indexed, searchLive());
        QVERIFY(lastUse().hadIndex);
    }
}

void TestFolderIndex::unchangedTreeComesFromTheIndex()
{
    QVERIFY(make(kTree));
    const QStringList first = searchWithIndex();
    QVERIFY(!lastUse().hadIndex);
    QCOMPARE(searchWithIndex(), first);
    QVERIFY(lastUse().hadIndex);
    // Every folder but the root's subfolders' links came from the index.
    QCOMPARE(lastUse().listedAgain + lastUse().walkedLive, std::size_t(0));
    QCOMPARE(lastUse().fromIndex, std::size_t(14));
}

void TestFolderIndex::changedTreeGivesTheLiveWalk_data()
{
    QTest::addColumn<QList<Change>>("steps");
    QTest::addColumn<QByteArray>("parent");
    const Change add
        = [](const QByteArray& p) { return ::mkdir((p + "/new").constData(), 0755) == 0; };
    const Change remove = [](const QByteArray& p) { return run("rm -rf '" + p + "/moved'"); };
    const Change rename = [](const QByteArray& p) {
        return ::rename((p + "/moved").constData(), (p + "/renamed").constData()) == 0;
    };
    const Change toLink = [](const QByteArray& p) {
        return ::rename((p + "/moved").constData(), (p + "/away").constData()) == 0
            && ::symlink("away", (p + "/moved").constData()) == 0;
    };
    const Change toFile = [](const QByteArray& p) {
        return run("rm -rf '" + p + "/moved'")
            && ::close(::creat((p + "/moved").constData(), 0644)) == 0;
    };
    const Change linkToFolder = [](const QByteArray& p) {
        return ::symlink("elsewhere", (p + "/swapped").constData()) == 0;
    };
    const Change swapLinkForFolder = [](const QByteArray& p) {
        return ::unlink((p + "/swapped").constData()) == 0
            && ::mkdir((p + "/swapped").constData(), 0755) == 0;
    };
    const Change replace = [](const QByteArray& p) {
        return run("rm -rf '" + p + "/moved'") && ::mkdir((p + "/moved").constData(), 0755) == 0
            && ::mkdir((p + "/moved/other").constData(), 0755) == 0;
    };
    const Change makeTarget = [](const QByteArray& p) {
        return ::mkdir((p + "/target").constData(), 0755) == 0
            && ::symlink("target", (p + "/pointer").constData()) == 0;
    };
    const Change dropTarget
        = [](const QByteArray& p) { return ::rmdir((p + "/target").constData()) == 0; };
    const Change remakeTarget
        = [](const QByteArray& p) { return ::mkdir((p + "/target").constData(), 0755) == 0; };
    const Change prepare = [](const QByteArray& p) {
        return ::mkdir((p + "/moved").constData(), 0755) == 0
            && ::mkdir((p + "/moved/inner").constData(), 0755) == 0;
    };

    for (const char* parent : { "", "a", "a/b/c" }) {
        const QByteArray at(parent);
        const QByteArray where = at.isEmpty() ? QByteArray("the location") : at;
        QTest::addRow("add a folder in %s", where.constData()) << QList<Change> { add } << at;
        QTest::addRow("remove a folder in %s", where.constData())
            << QList<Change> { prepare, remove } << at;
        QTest::addRow("rename a folder in %s", where.constData())
            << QList<Change> { prepare, rename } << at;
        QTest::addRow("swap a folder for a link in %s", where.constData())
            << QList<Change> { prepare, toLink } << at;
        QTest::addRow("swap a folder for a file in %s", where.constData())
            << QList<Change> { prepare, toFile } << at;
        QTest::addRow("swap a link for a folder in %s", where.constData())
            << QList<Change> { linkToFolder, swapLinkForFolder } << at;
        QTest::addRow("replace a folder with another of its name in %s", where.constData())
            << QList<Change> { prepare, replace } << at;
        QTest::addRow("delete a link's target, then make it again in %s", where.constData())
            << QList<Change> { makeTarget, dropTarget, remakeTarget } << at;
    }
}

void TestFolderIndex::changedTreeGivesTheLiveWalk()
{
    QFETCH(QList<Change>, steps);
    QFETCH(QByteArray, parent);
    compareAfterEach(steps, parent);
}

QTEST_GUILESS_MAIN(TestFolderIndex)
#include "tst_FolderIndex.moc"
