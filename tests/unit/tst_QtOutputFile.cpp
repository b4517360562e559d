// SPDX-License-Identifier: MIT
#include "platform/Failure.h"
#include "platform/qt/files/QtOutputFileService.h"
#include "support/FifoWatchdog.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

/// The description of the Failure that `action` throws, or "<none>".
template <class Action> QString failureOf(Action&& action)
{
    try {
        action();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return QStringLiteral("<none>");
}

struct stat statusOf(const QString& path)
{
    struct stat status {
    };
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

/// Saves `content` to `path` through the real output file; the failure's
/// description, or "<none>".
QString save(const QString& path, const QByteArray& content)
{
    return failureOf([&] {
        auto file = QtOutputFileService().create(path);
        file->write(content);
        file->commit();
    });
}

constexpr uid_t kNobody = 65534;
constexpr int kCannotDropPrivileges = 77;

/// Runs save() as the unprivileged user `nobody` in a child process, since
/// root may create files in any folder. Returns its description; an empty
/// text when the child could not become that user or reach the file.
QString saveAsNobody(const QString& path, const QByteArray& content)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return QString();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::setresgid(kNobody, kNobody, kNobody) != 0 || ::setgroups(0, nullptr) != 0
            || ::setresuid(kNobody, kNobody, kNobody) != 0)
            ::_exit(kCannotDropPrivileges);
        // A temporary folder inside one of root's own is out of nobody's reach.
        if (::access(QFile::encodeName(path).constData(), W_OK) != 0)
            ::_exit(kCannotDropPrivileges);
        const QByteArray result = save(path, content).toUtf8();
        const bool sent = ::write(channel[1], result.constData(), result.size()) == result.size();
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray result;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QString();
    return QString::fromUtf8(result);
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

    void keepsModeAndOwner()
    {
        const QString path = m_dir->filePath("old.txt");
        writeOld(path);
        const QByteArray native = QFile::encodeName(path);
        // Only root can give a file away; anyone can keep its group and set-id bits.
        const bool root = ::geteuid() == 0;
        if (root)
            QCOMPARE(::chown(native.constData(), kNobody, kNobody), 0);
        const mode_t mode = S_ISGID | 0754;
        QCOMPARE(::chmod(native.constData(), mode), 0);
        const struct stat before = statusOf(path);
        QCOMPARE(save(path, "new"), QStringLiteral("<none>"));
        const struct stat after = statusOf(path);
        QCOMPARE(contentOf(path), QByteArray("new"));
        QCOMPARE(after.st_mode & 07777, mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        QCOMPARE(files(), QStringList { "old.txt" });
    }

    void aWritableFileInAFolderNoNewFileMayBeMadeIn()
    {
        QVERIFY(QDir(m_dir->path()).mkdir("locked"));
        const QString folder = m_dir->filePath("locked");
        const QString path = folder + "/list.txt";
        writeOld(path);
        const ino_t inode = statusOf(path).st_ino;
        const bool root = ::geteuid() == 0;
        if (root) {
            // The unprivileged saver must reach the file and own it.
            QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), 0755), 0);
            QCOMPARE(::chown(QFile::encodeName(path).constData(), kNobody, kNobody), 0);
        }
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
        const QString failure = root ? saveAsNobody(path, "new") : save(path, "new");
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        if (failure.isEmpty())
            QSKIP("runs as root and cannot save as the unprivileged user 'nobody' in a child "
                  "(no setuid here, or the temporary folder is out of its reach)");
        QCOMPARE(failure, QStringLiteral("<none>"));
        QCOMPARE(contentOf(path), QByteArray("new"));
        QCOMPARE(statusOf(path).st_ino, inode);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { "list.txt" });
    }

    void anUnprivilegedSaveKeepsOwnerAndGroup_data()
    {
        QTest::addColumn<uint>("owner");
        QTest::addColumn<uint>("group");
        QTest::addColumn<bool>("renamedCopy");
        QTest::newRow("the user's own file") << uint(kNobody) << uint(kNobody) << true;
        QTest::newRow("another user's file") << 0u << 0u << false;
        QTest::newRow("a group the user is not in") << uint(kNobody) << 0u << false;
    }

    void anUnprivilegedSaveKeepsOwnerAndGroup()
    {
        QFETCH(uint, owner);
        QFETCH(uint, group);
        QFETCH(bool, renamedCopy);
        if (::geteuid() != 0)
            QSKIP("needs root to give the file to another user");
        QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), 0777), 0);
        const QString path = m_dir->filePath("list.txt");
        writeOld(path);
        const QByteArray native = QFile::encodeName(path);
        QCOMPARE(::chown(native.constData(), owner, group), 0);
        QCOMPARE(::chmod(native.constData(), 0666), 0);
        const ino_t inode = statusOf(path).st_ino;
        const QString failure = saveAsNobody(path, "new");
        if (failure.isEmpty())
            QSKIP("cannot save as the unprivileged user 'nobody' in a child (no setuid here, or "
                  "the temporary folder is out of its reach)");
        QCOMPARE(failure, QStringLiteral("<none>"));
        QCOMPARE(contentOf(path), QByteArray("new"));
        const struct stat after = statusOf(path);
        QCOMPARE(after.st_uid, uid_t(owner));
        QCOMPARE(after.st_gid, gid_t(group));
        QCOMPARE(after.st_mode & 07777, mode_t(0666));
        // Where nothing is lost the old file is replaced whole, not rewritten.
        QCOMPARE(after.st_ino != inode, renamedCopy);
        QCOMPARE(files(), QStringList { "list.txt" });
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

    void refusesANamedPipeWithoutWaitingForAReader_data()
    {
        QTest::addColumn<bool>("throughALink");
        QTest::newRow("the pipe") << false;
        QTest::newRow("a link to it") << true;
    }

    void refusesANamedPipeWithoutWaitingForAReader()
    {
        QFETCH(bool, throughALink);
        const QString fifo = m_dir->filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        QString path = fifo;
        if (throughALink) {
            path = m_dir->filePath("link");
            QCOMPARE(::symlink("pipe", qPrintable(path)), 0);
        }
        QString failure;
        FifoWatchdog watchdog(fifo);
        failure = save(path, "new");
        QVERIFY2(!watchdog.fired(), "the save waited on the pipe");
        QCOMPARE(failure,
            QDir::toNativeSeparators(path)
                + QStringLiteral(": This is a named pipe (FIFO), not a file"));
        QVERIFY(S_ISFIFO(statusOf(fifo).st_mode));
    }

    void refusesASocket()
    {
        const QString path = m_dir->filePath("socket");
        const QByteArray native = QFile::encodeName(path);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        if (size_t(native.size()) >= sizeof address.sun_path)
            QSKIP("the temporary folder's path is too long for a socket");
        qstrcpy(address.sun_path, native.constData());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        QVERIFY(bound);
        QCOMPARE(save(path, "new"),
            QDir::toNativeSeparators(path) + QStringLiteral(": This is a socket, not a file"));
        QVERIFY(S_ISSOCK(statusOf(path).st_mode));
    }

    void devNullTakesTheWrites()
    {
        QCOMPARE(save(QStringLiteral("/dev/null"), "new"), QStringLiteral("<none>"));
        QVERIFY(S_ISCHR(statusOf(QStringLiteral("/dev/null")).st_mode));
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
