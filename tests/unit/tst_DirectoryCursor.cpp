// SPDX-License-Identifier: MIT
#include "contract/CursorContract.h"
#include "contract/linux/LinuxTreeMaker.h"
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
namespace contract = vantorel::dirwalk::test;

namespace
{

QByteArrayList names(const SubfolderList& list)
{
    QByteArrayList result;
    for (std::size_t i = 0; i < list.size(); ++i)
        result.append(QByteArray(list.name(i).data(), qsizetype(list.name(i).size())));
    return result;
}

/// Gathers a contract case's checks for one Qt Test row.
class RowReport final : public contract::Report
{
public:
    bool check(std::string_view name, bool passed, std::string_view detail) override
    {
        ++checks;
        if (!passed)
            failures << QString::fromUtf8(name) + QStringLiteral(": ") + QString::fromUtf8(detail);
        return passed;
    }
    void skip(std::string_view name, std::string_view reason) override
    {
        skips << QString::fromUtf8(name) + QStringLiteral(": ") + QString::fromUtf8(reason);
    }

    int checks = 0;
    QStringList failures;
    QStringList skips;
};

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
    void contract_data();
    void contract();
    void init();
    void cleanup();
    void doesNotEnterLinks();
    void releasesEveryDescriptor();
    void deepChainUnderLowDescriptorLimit();
    void longNamesBeyondPathMaxAndAnchorBudget();
    void folderSwappedForALinkAboveTheWalk_data();
    void folderSwappedForALinkAboveTheWalk();
    void openToEnterFollowsALinkOnlyAtTheRoot_data();
    void openToEnterFollowsALinkOnlyAtTheRoot();
    void outOfDescriptorsOpensFromAKeptFolderHigherUp();
    void theWalksReserveListsWhenNoDescriptorIsLeft();

private:
    QTemporaryDir m_dir;
    QByteArray m_root;
    int m_case = 0;
};

void TestDirectoryCursor::contract_data()
{
    QTest::addColumn<int>("index");
    const auto cases = contract::cursorContract();
    for (std::size_t i = 0; i < cases.size(); ++i)
        QTest::newRow(cases[i].name) << int(i);
}

/// The cursor's contract, shared with the Windows test program: one row per case.
void TestDirectoryCursor::contract()
{
    QFETCH(int, index);
    RowReport report;
    contract::runContractCase(
        contract::cursorContract()[std::size_t(index)],
        [] { return std::make_unique<contract::LinuxTreeMaker>(); }, report);
    for (const QString& skip : std::as_const(report.skips))
        qInfo("SKIP %s", qPrintable(skip));
    QVERIFY2(report.failures.isEmpty(), qPrintable(report.failures.join('\n')));
    // Only the check that the tree was removed: nothing of the case could run here.
    if (report.checks <= 1)
        QSKIP(qPrintable(report.skips.join('\n')));
}

void TestDirectoryCursor::init()
{
    QVERIFY(m_dir.isValid());
    m_root = QFile::encodeName(m_dir.path()) + "/case-" + QByteArray::number(++m_case);
    QVERIFY(::mkdir(m_root.constData(), 0755) == 0);
}

void TestDirectoryCursor::cleanup()
{
    // The deep trees are beyond what QTemporaryDir can remove.
    QVERIFY(vantorel::test::removeTree(QFile::decodeName(m_root)));
}

void TestDirectoryCursor::doesNotEnterLinks()
{
    QVERIFY(vantorel::test::makeFolders(QFile::decodeName(m_root), { "real/inside" }));
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

void TestDirectoryCursor::releasesEveryDescriptor()
{
    QVERIFY(vantorel::test::makeFolders(QFile::decodeName(m_root), { "a/b/c/d" }));
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
        // And one in reserve, for a listing that finds no descriptor left.
        QVERIFY(cursor.holdsReserve());
        QCOMPARE(openDescriptorCount(), before + 4 + 1);
        // Opening a new root closes the old walk.
        QVERIFY(cursor.openRoot(view(m_root + "/a"), list, error));
        QCOMPARE(openDescriptorCount(), before + 1 + 1);
        QVERIFY(cursor.enter("b", list, error));
    }
    QCOMPARE(openDescriptorCount(), before);
}

void TestDirectoryCursor::deepChainUnderLowDescriptorLimit()
{
    constexpr int kLevels = 3000;
    const QByteArray leaf = vantorel::test::makeFolderChain(m_root, "d", kLevels, "bottom");
    QVERIFY(!leaf.isEmpty());
    QVERIFY(leaf.size() > 4096);
    {
        vantorel::test::DescriptorLimit limit(256);
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
    const QByteArray leaf = vantorel::test::makeFolderChain(m_root, name, kLevels, "bottom");
    QVERIFY(!leaf.isEmpty());
    {
        constexpr int kLimit = 100;
        vantorel::test::DescriptorLimit limit(kLimit);
        QVERIFY(limit.active());
        LinuxDirectoryCursor cursor;
        SubfolderList list;
        std::string error;
        QVERIFY(cursor.openRoot(view(m_root), list, error));
        // The budget is what the limit leaves once the descriptors open now (the root and the
        // reserve among them), a listing's and an eighth of the limit are set aside.
        const int open = openDescriptorCount();
        QCOMPARE(DescriptorBudget::size(),
            std::size_t(kLimit - open - int(DescriptorBudget::kWalkListing) - kLimit / 8));
        for (int level = 0; level < kLevels; ++level)
            QVERIFY2(cursor.enter(view(name), list, error), error.c_str());
        // The root, and as many anchors as the budget allows, less what it keeps for the
        // read-ahead's threads to list with.
        QCOMPARE(cursor.openDescriptors(),
            DescriptorBudget::size() - DescriptorBudget::kKeptForNeeds + 1);
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
    QVERIFY(vantorel::test::makeFolders(QFile::decodeName(m_root), { "in" + chain + "/leaf" }));
    QByteArray outside = m_root + "/outside";
    QVERIFY(vantorel::test::makeFolders(
        QFile::decodeName(outside), { "in" + chain + "/leaf/elsewhere" }));
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
    QVERIFY(vantorel::test::makeFolders(
        QFile::decodeName(m_root), { "real/a/b/c", "other/a/b/c/elsewhere" }));
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
    vantorel::test::DescriptorLimit limit(128);
    QVERIFY(limit.active());
    QVERIFY(vantorel::test::makeFolders(QFile::decodeName(m_root), { "a/b/c/d/e/f/g/h" }));
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

void TestDirectoryCursor::theWalksReserveListsWhenNoDescriptorIsLeft()
{
    vantorel::test::DescriptorLimit limit(128);
    QVERIFY(limit.active());
    QVERIFY(vantorel::test::makeFolders(QFile::decodeName(m_root), { "a/b", "c/d" }));
    LinuxDirectoryCursor cursor;
    SubfolderList list;
    std::string error;
    QVERIFY(cursor.openRoot(view(m_root), list, error));
    // Every other descriptor the process may have is taken, and the walk keeps none open
    // but its root's.
    std::vector<int> taken;
    const auto release = qScopeGuard([&taken] {
        for (const int fd : taken)
            ::close(fd);
    });
    for (int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC); fd >= 0;
         fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC))
        taken.push_back(fd);
    QVERIFY2(cursor.enter("a", list, error), error.c_str());
    QCOMPARE(names(list), QByteArrayList { "b" });
    // Spent on "a", kept open; taken again as soon as "a" is left.
    QVERIFY(!cursor.holdsReserve());
    cursor.leave();
    QVERIFY(cursor.holdsReserve());
    QVERIFY2(cursor.enter("c", list, error), error.c_str());
    QCOMPARE(names(list), QByteArrayList { "d" });
    // A cursor that lists ahead keeps none: it gives up, and says why.
    LinuxDirectoryCursor ahead;
    ahead.listAhead();
    QVERIFY(!ahead.openToEnter(view(m_root), "a", error));
    QVERIFY(ahead.outOfDescriptors());
    QVERIFY(!cursor.outOfDescriptors());
}

QTEST_GUILESS_MAIN(TestDirectoryCursor)
#include "tst_DirectoryCursor.moc"
