// SPDX-License-Identifier: MIT
#include "platform/walk/linux/DescriptorBudget.h"
#include "platform/walk/linux/LinuxDirectoryCursor.h"
#include "platform/walk/linux/OpenBeneath.h"
#include "support/DescriptorLimit.h"
#include "support/FolderTreeFixture.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantorel;
using namespace vantorel::dirwalk;
using vantorel::test::referenceWalk;

namespace
{

QByteArrayList names(const SubfolderList& list)
{
    QByteArrayList result;
    for (std::size_t i = 0; i < list.size(); ++i)
        result.append(QByteArray(list.name(i).data(), qsizetype(list.name(i).size())));
    return result;
}

QByteArrayList kinds(const SubfolderList& list)
{
    QByteArrayList result;
    for (std::size_t i = 0; i < list.size(); ++i)
        result.append(list.kind(i) == FolderKind::Link ? "link" : "folder");
    return result;
}

std::string_view view(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

int openDescriptorCount()
{
    int count = 0;
    for (int fd = 0; fd < 1024; ++fd)
        if (::fcntl(fd, F_GETFD) != -1)
            ++count;
    return count;
}

} // namespace

class TestDirectoryCursor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsFoldersLinksToFoldersAndHiddenOnly();
    void entersAndLeaves();
    void enterFailureLeavesTheStackAlone();
    void doesNotEnterLinks();
    void rootWithTrailingSeparators();
    void rootThatCannotBeListed();
    void folderWithoutPermissionCannotBeEntered();
    void releasesEveryDescriptor();
    void deepChainUnderLowDescriptorLimit();
    void longNamesBeyondPathMaxAndAnchorBudget();
    void folderSwappedForALinkAboveTheWalk_data();
    void folderSwappedForALinkAboveTheWalk();
    void openToEnterFollowsALinkOnlyAtTheRoot_data();
    void openToEnterFollowsALinkOnlyAtTheRoot();
    void outOfDescriptorsOpensFromAKeptFolderHigherUp();
    void existingFolder_data();
    void existingFolder();

private:
    QTemporaryDir m_dir;
    QByteArray m_root;
    int m_case = 0;
};

void TestDirectoryCursor::init()
{
    QVERIFY(m_dir.isValid());
    m_root = QFile::encodeName(m_dir.path()) + "/case-" + QByteArray::number(++m_case);
    QVERIFY(::mkdir(m_root.constData(), 0755) == 0);
}

void TestDirectoryCursor::cleanup()
{
    // The deep trees are beyond what QTemporaryDir can remove.
    QVERIFY(test::removeTree(QFile::decodeName(m_root)));
}

void TestDirectoryCursor::listsFoldersLinksToFoldersAndHiddenOnly()
{
    QVERIFY(test::makeFolders(
        QFile::decodeName(m_root), { "alpha", "Beta", ".hidden", "Ärger", "deep/inner" }));
    QFile file(QFile::decodeName(m_root + "/plain-file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(::symlink("alpha", (m_root + "/link-to-folder").constData()) == 0);
    QVERIFY(::symlink("plain-file", (m_root + "/link-to-file").constData()) == 0);
    QVERIFY(::symlink("nowhere", (m_root + "/broken-link").constData()) == 0);
    QVERIFY(::mkfifo((m_root + "/pipe").constData(), 0600) == 0);

    QByteArrayList expectedNames;
    QByteArrayList expectedKinds;
    for (const test::ReferenceEntry& entry : referenceWalk(m_root)) {
        if (entry.relativePath.contains('/'))
            continue;
        expectedNames.append(entry.name);
        expectedKinds.append(entry.isLink ? "link" : "folder");
    }
    QByteArrayList sorted = expectedNames;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted,
        QByteArrayList(
            { ".hidden", "Beta", "alpha", "deep", "link-to-folder", QByteArray("\xc3\x84rger") }));

    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(cursor.openRoot(view(m_root), list, error));
    QCOMPARE(names(list), expectedNames);
    QCOMPARE(kinds(list), expectedKinds);
}

void TestDirectoryCursor::entersAndLeaves()
{
    QVERIFY(test::makeFolders(QFile::decodeName(m_root), { "a/a1", "b/b1/b2" }));
    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(cursor.openRoot(view(m_root), list, error));
    QVERIFY(cursor.enter("b", list, error));
    QCOMPARE(names(list), QByteArrayList { "b1" });
    QVERIFY(cursor.enter("b1", list, error));
    QCOMPARE(names(list), QByteArrayList { "b2" });
    QVERIFY(cursor.enter("b2", list, error));
    QCOMPARE(names(list), QByteArrayList {});
    cursor.leave();
    cursor.leave();
    cursor.leave();
    QVERIFY(cursor.enter("a", list, error));
    QCOMPARE(names(list), QByteArrayList { "a1" });
}

void TestDirectoryCursor::enterFailureLeavesTheStackAlone()
{
    QVERIFY(test::makeFolders(QFile::decodeName(m_root), { "a/inner", "b" }));
    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(cursor.openRoot(view(m_root), list, error));
    QVERIFY(cursor.enter("a", list, error));
    QVERIFY(!cursor.enter("missing", list, error));
    QCOMPARE(QByteArray::fromStdString(error), QByteArray("No such file or directory"));
    QCOMPARE(list.size(), std::size_t(0));
    QVERIFY(cursor.enter("inner", list, error));
    cursor.leave();
    cursor.leave();
    QVERIFY(cursor.enter("b", list, error));
}

void TestDirectoryCursor::doesNotEnterLinks()
{
    QVERIFY(test::makeFolders(QFile::decodeName(m_root), { "real/inside" }));
    QVERIFY(::symlink("real", (m_root + "/link").constData()) == 0);
    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(cursor.openRoot(view(m_root), list, error));
    // Entering by name refuses a link even when asked to, so a folder swapped
    // for a link between listing and entering is never followed.
    QVERIFY(!cursor.enter("link", list, error));
    QVERIFY(!error.empty());
}

void TestDirectoryCursor::rootWithTrailingSeparators()
{
    QVERIFY(test::makeFolders(QFile::decodeName(m_root), { "a/b" }));
    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(cursor.openRoot(view(m_root + "///"), list, error));
    QCOMPARE(names(list), QByteArrayList { "a" });
    QVERIFY(cursor.enter("a", list, error));
    QCOMPARE(names(list), QByteArrayList { "b" });
}

void TestDirectoryCursor::rootThatCannotBeListed()
{
    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(!cursor.openRoot(view(m_root + "/missing"), list, error));
    QCOMPARE(QByteArray::fromStdString(error), QByteArray("No such file or directory"));
    QVERIFY(!cursor.openRoot("", list, error));
    QCOMPARE(QByteArray::fromStdString(error), QByteArray("No such file or directory"));
}

void TestDirectoryCursor::folderWithoutPermissionCannotBeEntered()
{
    if (::geteuid() == 0)
        QSKIP("Folder permissions do not hold for the superuser");
    QVERIFY(test::makeFolders(QFile::decodeName(m_root), { "locked/inner" }));
    QVERIFY(::chmod((m_root + "/locked").constData(), 0) == 0);
    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(cursor.openRoot(view(m_root), list, error));
    const bool entered = cursor.enter("locked", list, error);
    ::chmod((m_root + "/locked").constData(), 0755);
    QVERIFY(!entered);
    QCOMPARE(QByteArray::fromStdString(error), QByteArray("Permission denied"));
}

void TestDirectoryCursor::releasesEveryDescriptor()
{
    QVERIFY(test::makeFolders(QFile::decodeName(m_root), { "a/b/c/d" }));
    const int before = openDescriptorCount();
    {
        LinuxDirectoryCursor cursor;
        SubfolderList list;
        std::string error;
        QVERIFY(cursor.openRoot(view(m_root), list, error));
        QVERIFY(cursor.enter("a", list, error));
        QVERIFY(cursor.enter("b", list, error));
        QVERIFY(cursor.enter("c", list, error));
        QCOMPARE(cursor.openDescriptors(), std::size_t(4));
        QCOMPARE(openDescriptorCount(), before + 4);
        // Opening a new root closes the old walk.
        QVERIFY(cursor.openRoot(view(m_root + "/a"), list, error));
        QCOMPARE(openDescriptorCount(), before + 1);
        QVERIFY(cursor.enter("b", list, error));
    }
    QCOMPARE(openDescriptorCount(), before);
}

void TestDirectoryCursor::deepChainUnderLowDescriptorLimit()
{
    constexpr int kLevels = 3000;
    const QByteArray leaf = test::makeFolderChain(m_root, "d", kLevels, "bottom");
    QVERIFY(!leaf.isEmpty());
    QVERIFY(leaf.size() > 4096);
    {
        test::DescriptorLimit limit(256);
        QVERIFY(limit.active());
        LinuxDirectoryCursor cursor;
        SubfolderList list;
        std::string error;
        QVERIFY(cursor.openRoot(view(m_root), list, error));
        for (int level = 0; level < kLevels; ++level) {
            QCOMPARE(names(list), QByteArrayList { "d" });
            QVERIFY2(cursor.enter("d", list, error), error.c_str());
            QVERIFY(cursor.openDescriptors() <= LinuxDirectoryCursor::kMaxKeptDescriptors);
        }
        QCOMPARE(names(list), QByteArrayList { "bottom" });
        QVERIFY(cursor.enter("bottom", list, error));
        for (int level = 0; level <= kLevels; ++level)
            cursor.leave();
        QCOMPARE(cursor.openDescriptors(), std::size_t(1));
        QVERIFY(cursor.enter("d", list, error));
        QCOMPARE(names(list), QByteArrayList { "d" });
    }
}

void TestDirectoryCursor::longNamesBeyondPathMaxAndAnchorBudget()
{
    // 250-byte names make a path of about 250 KB: more anchors than the cursor
    // may keep, so the deepest folders are reached a piece of path at a time.
    constexpr int kLevels = 1000;
    const QByteArray name(250, 'n');
    const QByteArray leaf = test::makeFolderChain(m_root, name, kLevels, "bottom");
    QVERIFY(!leaf.isEmpty());
    {
        test::DescriptorLimit limit(256);
        QVERIFY(limit.active());
        LinuxDirectoryCursor cursor;
        SubfolderList list;
        std::string error;
        QVERIFY(cursor.openRoot(view(m_root), list, error));
        for (int level = 0; level < kLevels; ++level)
            QVERIFY2(cursor.enter(view(name), list, error), error.c_str());
        // The root, and as many anchors as the budget of a quarter of the limit allows.
        QCOMPARE(DescriptorBudget::size(), std::size_t(256 / 4));
        QCOMPARE(cursor.openDescriptors(), std::size_t(256 / 4 + 1));
        QCOMPARE(names(list), QByteArrayList { "bottom" });
        QVERIFY(cursor.enter("bottom", list, error));
        cursor.leave();
        cursor.leave();
        QVERIFY(cursor.enter(view(name), list, error));
        QCOMPARE(names(list), QByteArrayList { "bottom" });
    }
    std::string error;
    QVERIFY(isExistingFolder(view(leaf), error));
}

void TestDirectoryCursor::folderSwappedForALinkAboveTheWalk_data()
{
    QTest::addColumn<bool>("byName");
    QTest::addColumn<int>("swappedDepth");
    // Above the walk, within the kept levels and below them, where folders are
    // opened by paths of several names from a kept one.
    for (const bool byName : { false, true })
        for (const int depth : { 1, 20, 34, 39 })
            QTest::addRow("%s, depth %d", byName ? "a name at a time" : "one call", depth)
                << byName << depth;
}

void TestDirectoryCursor::folderSwappedForALinkAboveTheWalk()
{
    QFETCH(bool, byName);
    QFETCH(int, swappedDepth);
    forceOpenBeneathByName(byName);
    const auto restore = qScopeGuard([] { forceOpenBeneathByName(false); });
    // The tree, and a copy of it elsewhere whose every folder holds one more.
    constexpr int kLevels = 40;
    QByteArray chain;
    for (int level = 0; level < kLevels; ++level)
        chain += "/c";
    QVERIFY(test::makeFolders(QFile::decodeName(m_root), { "in" + chain + "/leaf" }));
    QByteArray outside = m_root + "/outside";
    QVERIFY(test::makeFolders(QFile::decodeName(outside), { "in" + chain + "/leaf/elsewhere" }));
    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(cursor.openRoot(view(m_root + "/in"), list, error));
    for (int level = 0; level < kLevels; ++level)
        QVERIFY(cursor.enter("c", list, error));
    QCOMPARE(names(list), QByteArrayList { "leaf" });

    const QByteArray swapped = m_root + "/in" + chain.left(2 * swappedDepth);
    QVERIFY(::rename(swapped.constData(), (swapped + "-away").constData()) == 0);
    QVERIFY(
        ::symlink((outside + "/in" + chain.left(2 * swappedDepth)).constData(), swapped.constData())
        == 0);
    // Nothing of the copy is listed. Above the deepest kept folder the walk
    // goes on in the folder moved away; below it the way down is gone.
    const bool entered = cursor.enter("leaf", list, error);
    QCOMPARE(names(list), QByteArrayList {});
    QCOMPARE(entered, swappedDepth < int(LinuxDirectoryCursor::kKeptDepth));
    if (entered)
        cursor.leave();
    QVERIFY(::unlink(swapped.constData()) == 0);
    QVERIFY(::rename((swapped + "-away").constData(), swapped.constData()) == 0);
    QVERIFY(cursor.enter("leaf", list, error));
    QCOMPARE(names(list), QByteArrayList {});
}

void TestDirectoryCursor::openToEnterFollowsALinkOnlyAtTheRoot_data()
{
    QTest::addColumn<bool>("byName");
    QTest::newRow("one call") << false;
    QTest::newRow("a name at a time") << true;
}

void TestDirectoryCursor::openToEnterFollowsALinkOnlyAtTheRoot()
{
    QFETCH(bool, byName);
    forceOpenBeneathByName(byName);
    const auto restore = qScopeGuard([] { forceOpenBeneathByName(false); });
    QVERIFY(
        test::makeFolders(QFile::decodeName(m_root), { "real/a/b/c", "other/a/b/c/elsewhere" }));
    QVERIFY(::symlink("real", (m_root + "/root-link").constData()) == 0);
    QVERIFY(
        ::rename((m_root + "/real/a/b").constData(), (m_root + "/real/a/b-away").constData()) == 0);
    QVERIFY(
        ::symlink((m_root + "/other/a/b").constData(), (m_root + "/real/a/b").constData()) == 0);
    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(cursor.openToEnter(view(m_root + "/root-link"), "a", error));
    QVERIFY(cursor.enter("b-away", list, error));
    QCOMPARE(names(list), QByteArrayList { "c" });
    QVERIFY(!cursor.openToEnter(view(m_root + "/root-link"), "a/b/c", error));
    QVERIFY(!error.empty());
    QVERIFY(!cursor.openToEnter(view(m_root + "/real"), "a/b", error));
    QVERIFY(cursor.openToEnter(view(m_root + "/real"), "a/b-away/c", error));
    QVERIFY(!cursor.enter("elsewhere", list, error));
}

void TestDirectoryCursor::outOfDescriptorsOpensFromAKeptFolderHigherUp()
{
    test::DescriptorLimit limit(128);
    QVERIFY(limit.active());
    QVERIFY(test::makeFolders(QFile::decodeName(m_root), { "a/b/c/d/e/f/g/h" }));
    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(cursor.openRoot(view(m_root), list, error));
    for (const char* name : { "a", "b", "c", "d", "e" })
        QVERIFY(cursor.enter(name, list, error));
    QCOMPARE(cursor.openDescriptors(), std::size_t(6));
    // Every other descriptor the process may have is taken.
    std::vector<int> taken;
    const auto release = qScopeGuard([&taken] {
        for (const int fd : taken)
            ::close(fd);
    });
    for (int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC); fd >= 0;
         fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC))
        taken.push_back(fd);
    QCOMPARE(errno, EMFILE);
    QVERIFY2(cursor.enter("f", list, error), error.c_str());
    QCOMPARE(names(list), QByteArrayList { "g" });
    QVERIFY2(cursor.enter("g", list, error), error.c_str());
    QCOMPARE(names(list), QByteArrayList { "h" });
    cursor.leave();
    cursor.leave();
    cursor.leave();
    QVERIFY2(cursor.enter("e", list, error), error.c_str());
    QCOMPARE(names(list), QByteArrayList { "f" });
}

void TestDirectoryCursor::existingFolder_data()
{
    QTest::addColumn<QByteArray>("relative");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<QByteArray>("reason");

    QTest::newRow("folder") << QByteArray("folder") << true << QByteArray();
    QTest::newRow("trailing separator") << QByteArray("folder/") << true << QByteArray();
    QTest::newRow("link to folder") << QByteArray("link") << true << QByteArray();
    QTest::newRow("file") << QByteArray("file") << false << QByteArray("Not a directory");
    QTest::newRow("missing") << QByteArray("missing") << false
                             << QByteArray("No such file or directory");
}

void TestDirectoryCursor::existingFolder()
{
    QFETCH(QByteArray, relative);
    QFETCH(bool, expected);
    QFETCH(QByteArray, reason);
    QVERIFY(::mkdir((m_root + "/folder").constData(), 0755) == 0);
    QVERIFY(::symlink("folder", (m_root + "/link").constData()) == 0);
    QFile file(QFile::decodeName(m_root + "/file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    std::string error;
    QCOMPARE(isExistingFolder(view(m_root + '/' + relative), error), expected);
    QCOMPARE(QByteArray::fromStdString(error), reason);
}

QTEST_GUILESS_MAIN(TestDirectoryCursor)
#include "tst_DirectoryCursor.moc"
