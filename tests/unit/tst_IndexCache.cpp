// SPDX-License-Identifier: MIT
// The folder index kept in the cache folder: found by the next start, written
// whole for the user alone, and never trusted when anything about the file
// is amiss, in which case the search walks the disk and the file is replaced.
#include "platform/walk/index/IndexCache.h"
#include "platform/walk/index/IndexFile.h"
#include "platform/walk/index/IndexWriter.h"
#include "support/IndexedSearchFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

using namespace vantorel;
using namespace vantorel::dirwalk::index;
using namespace vantorel::test;

namespace
{

const QStringList kTree = { "a/b/c/d/e", "a/b/c/x", "a/b/y", "a/z", "f/g", "h", "t/u",
    "a/b/link-to-f>../../f", "a/link-to-missing>missing" };

/// Replaces a cache file's index with what `change` makes of it, written as
/// the program writes one: the checksum holds, only the content is false.
bool rewrite(const QString& file, const std::function<void(FolderIndex&, IndexFileHeader&)>& change)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    IndexFileHeader header;
    std::string why;
    std::unique_ptr<FolderIndex> index
        = decodeIndex(std::string_view(bytes.constData(), std::size_t(bytes.size())), header, why);
    if (!index)
        return false;
    change(*index, header);
    const std::string changed = encodeIndex(
        *index, header, index->devices(), std::vector<bool>(index->devices().size(), true));
    QFile out(file);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && out.write(changed.data(), qint64(changed.size())) == qint64(changed.size());
}

bool replaceBytes(const QString& file, const std::function<void(QByteArray&)>& change)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = in.readAll();
    in.close();
    change(bytes);
    QFile out(file);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size();
}

using Tamper = std::function<bool(const QString& file)>;

} // namespace

Q_DECLARE_METATYPE(Tamper)

class TestIndexCache : public QObject, private IndexedSearchFixture
{
    Q_OBJECT

    QString m_cache;
    QString cacheFile() const
    {
        return QString::fromStdString(
            IndexCache(m_cache.toStdString(), 1, 1).fileOf(m_root.toStdString()));
    }
    /// The index of a search of this start, written, as the next start finds it.
    void restart()
    {
        m_store->waitForWrites();
        useIndex(m_settings);
    }

private slots:
    void init()
    {
        begin();
        m_cache = m_dir->path() + "/cache/ostlebry";
        m_settings.cacheFolder = m_cache.toStdString();
        useIndex(m_settings);
    }
    void cleanup() { finish(); }

    void aRestartFindsTheIndexOnDisk();
    void aFileThatCannotBeTrustedIsNeverRead_data();
    void aFileThatCannotBeTrustedIsNeverRead();
    void aFileSystemNotFoundAgainIsReadAgain();
    void recentStampsAreReadAgainAfterTheClockWasSet();
    void aTmpfsIsNeverKeptOnDisk();
    void theLeastRecentlyUsedGoFirst();
    void aDiskMountedAgainOrSwappedUnderTheLocation();
};

void TestIndexCache::aRestartFindsTheIndexOnDisk()
{
    QVERIFY(make(kTree));
    const QStringList first = searchWithIndex();
    restart();
    struct stat status {
    };
    QCOMPARE(::stat(QFile::encodeName(cacheFile()).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0600));
    QCOMPARE(::stat(QFile::encodeName(m_cache).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0700));
    QCOMPARE(
        QDir(m_cache).entryList(QDir::Files), QStringList { QFileInfo(cacheFile()).fileName() });

    QCOMPARE(searchWithIndex(), first);
    QVERIFY(lastUse().loaded);
    QCOMPARE(lastUse().fromIndex, std::size_t(14));
    QCOMPARE(lastUse().listedAgain + lastUse().walkedLive, std::size_t(0));
}

void TestIndexCache::aFileThatCannotBeTrustedIsNeverRead_data()
{
    QTest::addColumn<Tamper>("tamper");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("a byte changed") << Tamper([](const QString& file) {
        return replaceBytes(file, [](QByteArray& bytes) { bytes[bytes.size() / 2] ^= 0x20; });
    }) << true;
    QTest::newRow("cut short") << Tamper([](const QString& file) {
        return replaceBytes(file, [](QByteArray& bytes) { bytes.chop(bytes.size() / 3); });
    }) << true;
    QTest::newRow("empty") << Tamper([](const QString& file) {
        return replaceBytes(file, [](QByteArray& bytes) { bytes.clear(); });
    }) << true;
    QTest::newRow("another version") << Tamper([](const QString& file) {
        return replaceBytes(file, [](QByteArray& bytes) { bytes[8] = char(bytes[8] + 1); });
    }) << true;
    QTest::newRow("another searcher's") << Tamper([](const QString& file) {
        return rewrite(file, [](FolderIndex&, IndexFileHeader& header) { header.key += " root"; });
    }) << true;
    QTest::newRow("crafted: a folder's children miscounted") << Tamper([](const QString& file) {
        return rewrite(
            file, [](FolderIndex& index, IndexFileHeader&) { ++index.node(1).children; });
    }) << true;
    QTest::newRow("crafted: a subtree past its parent's end") << Tamper([](const QString& file) {
        return rewrite(file,
            [](FolderIndex& index, IndexFileHeader&) { index.node(2).subtree = index.size(); });
    }) << true;
    QTest::newRow("writable by others") << Tamper([](const QString& file) {
        return ::chmod(QFile::encodeName(file).constData(), 0666) == 0;
    }) << true;
    QTest::newRow("a link in its place") << Tamper([](const QString& file) {
        const QByteArray native = QFile::encodeName(file);
        return ::rename(native.constData(), (native + ".real").constData()) == 0
            && ::symlink((native + ".real").constData(), native.constData()) == 0;
    }) << true;
    QTest::newRow("a named pipe in its place") << Tamper([](const QString& file) {
        const QByteArray native = QFile::encodeName(file);
        return ::unlink(native.constData()) == 0 && ::mkfifo(native.constData(), 0600) == 0;
    }) << true;
    if (::geteuid() == 0)
        QTest::newRow("another user's") << Tamper([](const QString& file) {
            return ::chown(QFile::encodeName(file).constData(), 65534, 65534) == 0;
        }) << true;
}

void TestIndexCache::aFileThatCannotBeTrustedIsNeverRead()
{
    QFETCH(Tamper, tamper);
    QFETCH(bool, replaced);
    QVERIFY(make(kTree));
    const QStringList first = searchWithIndex();
    restart();
    QVERIFY(tamper(cacheFile()));
    QCOMPARE(searchWithIndex(), first);
    QVERIFY(!lastUse().hadIndex);
    QCOMPARE(lastUse().walkedLive, std::size_t(14));
    // The search wrote a good file in its place.
    restart();
    QCOMPARE(searchWithIndex(), first);
    QCOMPARE(lastUse().loaded, replaced);
}

void TestIndexCache::aFileSystemNotFoundAgainIsReadAgain()
{
    QVERIFY(make(kTree));
    const QStringList first = searchWithIndex();
    restart();
    // As another disk with the same device number would be.
    QVERIFY(rewrite(cacheFile(), [](FolderIndex& index, IndexFileHeader&) {
        for (DeviceSlot& slot : index.devices())
            slot.identity[0] ^= 1;
    }));
    QCOMPARE(searchWithIndex(), first);
    QVERIFY(lastUse().loaded);
    QCOMPARE(lastUse().fromIndex, std::size_t(0));
    QCOMPARE(lastUse().listedAgain, std::size_t(14));
}

void TestIndexCache::recentStampsAreReadAgainAfterTheClockWasSet()
{
    QVERIFY(make(kTree));
    const QStringList first = searchWithIndex();
    restart();
    QVERIFY(rewrite(cacheFile(), [](FolderIndex&, IndexFileHeader& header) {
        header.wallClockSinceBoot -= std::int64_t { 3600 } * 1000000000;
    }));
    QCOMPARE(searchWithIndex(), first);
    QVERIFY(lastUse().loaded);
    // Every folder was made a moment ago: none is trusted.
    QCOMPARE(lastUse().fromIndex, std::size_t(0));
    // Written again with the clock as it is: trusted from then on.
    restart();
    QCOMPARE(searchWithIndex(), first);
    QCOMPARE(lastUse().fromIndex, std::size_t(14));
}

void TestIndexCache::aTmpfsIsNeverKeptOnDisk()
{
    QTemporaryDir shared(QStringLiteral("/dev/shm/ostlebry-index-XXXXXX"));
    if (!shared.isValid())
        QSKIP("no tmpfs at /dev/shm");
    const QByteArray location = QFile::encodeName(shared.path());
    QVERIFY(QDir().mkpath(shared.path() + "/a/b"));
    const QStringList first = search(*m_indexed, 0, location);
    QCOMPARE(first, QStringList({ "a", "a/b" }));
    QCOMPARE(search(*m_indexed, 0, location), first);
    QCOMPARE(lastUse().fromIndex, std::size_t(3)); // kept in memory
    restart();
    QCOMPARE(QDir(m_cache).entryList(QDir::Files), QStringList());
    QCOMPARE(search(*m_indexed, 0, location), first);
    QVERIFY(!lastUse().hadIndex);
}

void TestIndexCache::theLeastRecentlyUsedGoFirst()
{
    m_settings.mostNodes = 8;
    useIndex(m_settings);
    QVERIFY(make({ "one/a/b", "two/a/b", "three/a/b" }));
    for (const char* location : { "one", "two", "three" })
        search(*m_indexed, 0, path(location));
    m_store->waitForWrites();
    // Three nodes each: the first does not fit with the others.
    QCOMPARE(QDir(m_cache).entryList(QDir::Files).size(), 2);
    restart();
    search(*m_indexed, 0, path("one"));
    QVERIFY(!lastUse().hadIndex);
    search(*m_indexed, 0, path("three"));
    QVERIFY(lastUse().loaded);
}

void TestIndexCache::aDiskMountedAgainOrSwappedUnderTheLocation()
{
    if (::geteuid() != 0)
        QSKIP("only the superuser may mount");
    const QByteArray base = QFile::encodeName(m_dir->path());
    const auto shell = [](const QByteArray& command) {
        return std::system((command + " >/dev/null 2>&1").constData()) == 0;
    };
    if (!shell("truncate -s 8M " + base + "/first.img && mkfs.ext4 -q -F " + base + "/first.img"))
        QSKIP("no mkfs.ext4 here");
    const auto mountImage = [&](const char* image) {
        return shell("mount -o loop " + base + '/' + image + ' ' + m_root);
    };
    if (!mountImage("first.img"))
        QSKIP("no loop device to be had here");
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount { m_root };
    QVERIFY(make(kTree));
    const QStringList first = searchWithIndex();
    restart();
    // Mounted again: another mount and maybe another device number, the same file system.
    QVERIFY(::umount2(m_root.constData(), 0) == 0 && mountImage("first.img"));
    QCOMPARE(searchWithIndex(), first);
    QVERIFY(lastUse().loaded);
    QCOMPARE(lastUse().fromIndex, std::size_t(15)); // lost+found too
    // A copy of the disk with its own identity, folders, inodes and times all alike.
    restart();
    QVERIFY(::umount2(m_root.constData(), 0) == 0);
    QVERIFY(shell("cp " + base + "/first.img " + base + "/second.img && tune2fs -U random " + base
        + "/second.img"));
    QVERIFY(mountImage("second.img"));
    QCOMPARE(searchWithIndex(), first);
    QVERIFY(lastUse().loaded);
    QCOMPARE(lastUse().fromIndex, std::size_t(0));
}

QTEST_GUILESS_MAIN(TestIndexCache)
#include "tst_IndexCache.moc"
