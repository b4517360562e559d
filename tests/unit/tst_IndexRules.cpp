// SPDX-License-Identifier: MIT
// Which stamps prove a folder's listing: the file system's type, how old its
// times are against the clock, and a clock that was seen to be wrong.
#include "platform/walk/index/IndexRules.h"
#include "platform/walk/linux/StampReader.h"

#include <QTest>

using namespace vantorel;

Q_DECLARE_METATYPE(vantorel::dirwalk::FolderStamp)

class TestIndexRules : public QObject
{
    Q_OBJECT

private slots:
    void whichStampsProveAListing_data();
    void whichStampsProveAListing();
    void aTimeInTheFutureMakesItsMountLive();
};

namespace
{

constexpr std::int64_t kSecond = 1000000000;
/// A stamp taken now of a folder changed `age` before, on `fileSystem`.
dirwalk::FolderStamp stampAged(
    std::int64_t age, std::uint32_t fileSystem, bool wholeSeconds = false)
{
    dirwalk::FolderStamp stamp;
    stamp.flags = dirwalk::FolderStamp::Taken | dirwalk::FolderStamp::HasMountId;
    stamp.device = 7;
    stamp.mountId = 9;
    stamp.fileSystem = fileSystem;
    stamp.takenAt = 1700000000 * kSecond + 123456789;
    stamp.modified = stamp.takenAt - age;
    if (wholeSeconds)
        stamp.modified -= stamp.modified % kSecond;
    stamp.changed = stamp.modified;
    return stamp;
}

} // namespace

void TestIndexRules::whichStampsProveAListing_data()
{
    using namespace dirwalk::filesystem;
    QTest::addColumn<dirwalk::FolderStamp>("stamp");
    QTest::addColumn<int>("reach");
    QTest::addColumn<bool>("trusted");
    const int listed = int(dirwalk::index::IndexReach::Listed);
    const int everywhere = int(dirwalk::index::IndexReach::Everywhere);
    QTest::newRow("ext4, 2 s old") << stampAged(2 * kSecond, kExt) << listed << true;
    QTest::newRow("ext4, changed in the last second")
        << stampAged(kSecond / 2, kExt) << listed << false;
    QTest::newRow("whole seconds, 1.1 s old") << stampAged(kSecond, kExt, true) << listed << false;
    QTest::newRow("nanoseconds, 1.1 s old")
        << stampAged(kSecond + kSecond / 10, kExt) << listed << true;
    QTest::newRow("whole seconds, 3 s old") << stampAged(3 * kSecond, kExt, true) << listed << true;
    QTest::newRow("NFS, 30 s old") << stampAged(30 * kSecond, kNfs) << listed << false;
    QTest::newRow("NFS, 2 minutes old") << stampAged(120 * kSecond, kNfs) << listed << true;
    for (const auto& [name, type] : { std::pair { "xfs", kXfs }, { "btrfs", kBtrfs },
             { "f2fs", kF2fs }, { "tmpfs", kTmpfs }, { "ZFS", kZfs } })
        QTest::addRow("%s, an hour old", name) << stampAged(3600 * kSecond, type) << listed << true;
    for (const auto& [name, type] : { std::pair { "overlayfs", 0x794C7630u },
             { "SMB", 0xFE534D42u }, { "CIFS", 0xFF534D42u }, { "FUSE", 0x65735546u },
             { "FAT", 0x4d44u }, { "exFAT", 0x2011BAB0u }, { "an unknown type", 0x12345678u } }) {
        QTest::addRow("%s, an hour old", name)
            << stampAged(3600 * kSecond, type) << listed << false;
        QTest::addRow("%s, an hour old, everywhere", name)
            << stampAged(3600 * kSecond, type) << everywhere << true;
    }
    dirwalk::FolderStamp encrypted = stampAged(3600 * kSecond, kExt);
    encrypted.flags |= dirwalk::FolderStamp::Encrypted;
    QTest::newRow("encrypted names") << encrypted << everywhere << false;
    dirwalk::FolderStamp notTaken = stampAged(3600 * kSecond, kExt);
    notTaken.flags = 0;
    QTest::newRow("no stamp") << notTaken << everywhere << false;
    QTest::newRow("index off") << stampAged(3600 * kSecond, kExt)
                               << int(dirwalk::index::IndexReach::Off) << false;
}

void TestIndexRules::whichStampsProveAListing()
{
    QFETCH(dirwalk::FolderStamp, stamp);
    QFETCH(int, reach);
    QFETCH(bool, trusted);
    dirwalk::index::IndexRules rules { dirwalk::index::IndexReach(reach) };
    QCOMPARE(rules.trusts(stamp), trusted);
}

void TestIndexRules::aTimeInTheFutureMakesItsMountLive()
{
    dirwalk::index::IndexRules rules { dirwalk::index::IndexReach::Listed };
    const dirwalk::FolderStamp old = stampAged(3600 * kSecond, dirwalk::filesystem::kExt);
    QVERIFY(rules.trusts(old));
    QVERIFY(!rules.trusts(stampAged(-10 * kSecond, dirwalk::filesystem::kExt)));
    // From then on nothing on that mount proves anything; another mount is as it was.
    QVERIFY(!rules.trusts(old));
    dirwalk::FolderStamp elsewhere = old;
    elsewhere.mountId = 10;
    QVERIFY(rules.trusts(elsewhere));
}

QTEST_GUILESS_MAIN(TestIndexRules)
#include "tst_IndexRules.moc"
