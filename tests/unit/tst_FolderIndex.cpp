// SPDX-License-Identifier: MIT
// A search of a location searched before, with its folder index, gives the
// rows, order and "could not be read" reports of a walk of the disk made at
// that moment, whatever changed in the tree since, at any depth.
#include "support/IndexedSearchFixture.h"

#include "platform/walk/linux/StampReader.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
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

    /// As compareAfterSteps(), by the unprivileged user "nobody" when the test
    /// runs as root, for whom folder permissions do not hold.
    QString compareWithPermissions(const QList<Step>& steps);

private slots:
    void init() { begin(); }
    void cleanup() { finish(); }

    void unchangedTreeComesFromTheIndex();
    void changedTreeGivesTheLiveWalk_data();
    void changedTreeGivesTheLiveWalk();
    void unreadableFolderThenReadableAgain();
    void ancestorLosesSearchPermission_data();
    void ancestorLosesSearchPermission();
    void bindMountOverAFolder();
    void overlayLowerLayerChangedWhileUnmounted();
    void entryAddedWhileAFolderIsListed();
    void stampsYoungerThanTheMarginAreReadAgain_data();
    void stampsYoungerThanTheMarginAreReadAgain();
    void stoppedSearchKeepsTheIndexOfWhatItDidNotReach();
    void aLargeTreeChangedAllOver();
};

QString TestFolderIndex::compareWithPermissions(const QList<Step>& steps)
{
    return ::geteuid() == 0 ? compareAfterStepsAsNobody(steps) : compareAfterSteps(steps);
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
    QTest::addColumn<unsigned>("threads");
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

    const struct {
        const char* parent;
        unsigned threads;
    } places[] = { { "", 2 }, { "a", 2 }, { "a/b/c", 2 }, { "a", 0 } };
    for (const auto& place : places) {
        const QByteArray at(place.parent);
        const QByteArray where = (at.isEmpty() ? QByteArray("the location") : at)
            + (place.threads == 0 ? ", no read-ahead" : "");
        const auto row = [&](const char* change, const QList<Change>& steps) {
            QTest::addRow("%s in %s", change, where.constData()) << steps << at << place.threads;
        };
        row("add a folder", { add });
        row("remove a folder", { prepare, remove });
        row("rename a folder", { prepare, rename });
        row("swap a folder for a link", { prepare, toLink });
        row("swap a folder for a file", { prepare, toFile });
        row("swap a link for a folder", { linkToFolder, swapLinkForFolder });
        row("replace a folder with another of its name", { prepare, replace });
        row("delete a link's target, then make it again", { makeTarget, dropTarget, remakeTarget });
    }
}

void TestFolderIndex::changedTreeGivesTheLiveWalk()
{
    QFETCH(QList<Change>, steps);
    QFETCH(QByteArray, parent);
    QFETCH(unsigned, threads);
    m_readAhead = { threads, threads };
    useIndex(m_settings);
    QVERIFY(make(kTree));
    QVERIFY(::close(::open(path("a/z/file").constData(), O_CREAT | O_WRONLY, 0644)) == 0);
    const QByteArray where = parent.isEmpty() ? m_root : path(parent);
    QList<Step> bound;
    for (const Change& change : steps)
        bound << [change, where] { return change(where); };
    const QString differences = compareAfterSteps(bound);
    QVERIFY2(differences.isEmpty(), qPrintable(differences));
    QVERIFY(lastUse().hadIndex);
}

void TestFolderIndex::unreadableFolderThenReadableAgain()
{
    QVERIFY(make(kTree));
    const QByteArray locked = path("a/b");
    const QString differences = compareWithPermissions({
        [&] { return ::chmod(locked.constData(), 0) == 0; },
        [&] { return ::chmod(locked.constData(), 0755) == 0; },
    });
    if (differences == kCannot)
        QSKIP("runs as root and cannot search as the unprivileged user 'nobody' in a child "
              "(or runs under ThreadSanitizer, which cannot follow a forked child's threads)");
    QVERIFY2(differences.isEmpty(), qPrintable(differences));
}

void TestFolderIndex::ancestorLosesSearchPermission_data()
{
    QTest::addColumn<QByteArray>("ancestor");
    QTest::newRow("a folder in the location") << QByteArray("a");
    QTest::newRow("a folder deeper down") << QByteArray("a/b/c");
    QTest::newRow("the location's own folder") << QByteArray("..");
}

void TestFolderIndex::ancestorLosesSearchPermission()
{
    QFETCH(QByteArray, ancestor);
    QVERIFY(make(kTree));
    // Listed, but nothing in it can be reached any more.
    const QByteArray folder = path(ancestor);
    const QString differences = compareWithPermissions({
        [&] { return ::chmod(folder.constData(), 0644) == 0; },
        [&] { return ::chmod(folder.constData(), 0755) == 0; },
    });
    if (differences == kCannot)
        QSKIP("runs as root and cannot search as the unprivileged user 'nobody' in a child "
              "(or runs under ThreadSanitizer, which cannot follow a forked child's threads)");
    QVERIFY2(differences.isEmpty(), qPrintable(differences));
}

void TestFolderIndex::bindMountOverAFolder()
{
    if (::geteuid() != 0)
        QSKIP("only the superuser may mount");
    QVERIFY(make(kTree));
    const QByteArray other = QFile::encodeName(m_dir->path()) + "/other";
    QVERIFY(QDir().mkpath(QFile::decodeName(other + "/mounted/inner")));
    const QByteArray target = path("a/b");
    const QString differences = compareAfterSteps({
        [&] {
            return ::mount(other.constData(), target.constData(), nullptr, MS_BIND, nullptr) == 0;
        },
        [&] { return ::umount2(target.constData(), 0) == 0; },
    });
    ::umount2(target.constData(), MNT_DETACH);
    QVERIFY2(differences.isEmpty(), qPrintable(differences));
}

void TestFolderIndex::overlayLowerLayerChangedWhileUnmounted()
{
    if (::geteuid() != 0)
        QSKIP("only the superuser may mount");
    const QByteArray base = QFile::encodeName(m_dir->path());
    QVERIFY(QDir().mkpath(QFile::decodeName(base + "/lower/a/b")));
    QVERIFY(QDir().mkpath(QFile::decodeName(base + "/upper")));
    QVERIFY(QDir().mkpath(QFile::decodeName(base + "/work")));
    const QByteArray options
        = "lowerdir=" + base + "/lower,upperdir=" + base + "/upper,workdir=" + base + "/work";
    const auto mountOverlay = [&] {
        return ::mount("overlay", m_root.constData(), "overlay", 0, options.constData()) == 0;
    };
    if (!mountOverlay())
        QSKIP("no overlay file system to be had here");
    const QString differences = compareAfterSteps({
        [&] { return ::umount2(m_root.constData(), 0) == 0; },
        [&] { return ::mkdir((base + "/lower/a/b/new").constData(), 0755) == 0 && mountOverlay(); },
    });
    const bool found = searchLive().contains("a/b/new");
    // An overlay is never indexed: its folders are listed every time.
    const std::size_t fromIndex = lastUse().fromIndex;
    ::umount2(m_root.constData(), MNT_DETACH);
    QVERIFY2(differences.isEmpty(), qPrintable(differences));
    QVERIFY(found);
    QCOMPARE(fromIndex, std::size_t(0));
}

void TestFolderIndex::entryAddedWhileAFolderIsListed()
{
    QVERIFY(make(kTree));
    struct stat folder {
    };
    QCOMPARE(::stat(path("a/b").constData(), &folder), 0);
    const QByteArray sneaked = path("a/b/sneaked");
    // Made once the folder's stamp is taken and its entries are read: the
    // listing does not have it, and the stamp must not hide that.
    dirwalk::setAfterStampedListing([&](const dirwalk::FolderStamp& stamp) {
        if (stamp.inode == folder.st_ino)
            ::mkdir(sneaked.constData(), 0755);
    });
    const QStringList first = searchWithIndex();
    dirwalk::setAfterStampedListing({});
    QVERIFY(!first.contains("a/b/sneaked"));
    const QStringList second = searchWithIndex();
    QVERIFY(second.contains("a/b/sneaked"));
    QCOMPARE(second, searchLive());
}

void TestFolderIndex::stampsYoungerThanTheMarginAreReadAgain_data()
{
    QTest::addColumn<qint64>("clockOffset");
    QTest::newRow("the tree just made") << qint64(0);
    QTest::newRow("the clock an hour behind the file system's") << -qint64(kAnHourAhead);
}

void TestFolderIndex::stampsYoungerThanTheMarginAreReadAgain()
{
    QFETCH(qint64, clockOffset);
    dirwalk::index::IndexSettings settings;
    settings.clockOffset = clockOffset;
    useIndex(settings);
    QVERIFY(make(kTree));
    const QByteArray folder = path("a");
    struct stat before {
    };
    QCOMPARE(::stat(folder.constData(), &before), 0);
    // A change within the tick of the listing leaves the folder's time as it was.
    const QString differences = compareAfterSteps({ [&] {
        const timespec times[2] = { before.st_atim, before.st_mtim };
        return ::mkdir(path("a/new").constData(), 0755) == 0
            && ::utimensat(AT_FDCWD, folder.constData(), times, 0) == 0;
    } });
    QVERIFY2(differences.isEmpty(), qPrintable(differences));
    QCOMPARE(lastUse().fromIndex, std::size_t(0));
    QCOMPARE(lastUse().listedAgain, std::size_t(14));
}

void TestFolderIndex::stoppedSearchKeepsTheIndexOfWhatItDidNotReach()
{
    QVERIFY(make(kTree));
    const QStringList all = searchWithIndex();
    // Stopped before its first subfolder: the index it leaves has all the rest.
    QCOMPARE(search(*m_indexed, 1), QStringList());
    QCOMPARE(searchWithIndex(), all);
    QCOMPARE(lastUse().fromIndex, std::size_t(14));
    // Stopped in a first search, it keeps only the location's listing.
    useIndex(m_settings);
    QCOMPARE(search(*m_indexed, 1), QStringList());
    QCOMPARE(searchWithIndex(), all);
    QCOMPARE(lastUse().fromIndex, std::size_t(1));
}

void TestFolderIndex::aLargeTreeChangedAllOver()
{
    // Enough folders for the check to cut into many runs on several threads.
    QStringList folders;
    for (int i = 0; i < 60; ++i)
        for (int j = 0; j < 8; ++j)
            folders << QStringLiteral("top-%1/mid-%2/low-a/low-b").arg(i).arg(j);
    QVERIFY(make(folders));
    const QString differences = compareAfterSteps({ [&] {
        bool made = true;
        for (int i = 0; i < 60; ++i) {
            const QByteArray top = path("top-" + QByteArray::number(i));
            if (i % 7 == 0)
                made = made && ::mkdir((top + "/mid-3/low-a/new").constData(), 0755) == 0;
            if (i % 11 == 0)
                made = made && run("rm -rf '" + top + "/mid-5'");
            if (i % 13 == 0)
                made = made
                    && ::rename((top + "/mid-2").constData(), (top + "/moved").constData()) == 0;
            if (i % 17 == 0)
                made = made && ::symlink("../top-0", (top + "/mid-1/up").constData()) == 0;
        }
        return made;
    } });
    QVERIFY2(differences.isEmpty(), qPrintable(differences));
    const auto use = lastUse();
    QVERIFY2(use.fromIndex > 1300, qPrintable(QString::number(use.fromIndex)));
    QVERIFY2(use.listedAgain > 10, qPrintable(QString::number(use.listedAgain)));
    QVERIFY(use.check.threads >= 2);
}

QTEST_GUILESS_MAIN(TestFolderIndex)
#include "tst_FolderIndex.moc"
