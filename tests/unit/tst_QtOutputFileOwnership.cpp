// SPDX-License-Identifier: MIT
// A saved file keeps its mode, owner and group, also when saved by a user who
// may not make a new file beside it or give it away.
#include "support/FileContent.h"
#include "support/OutputFileFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

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

class TestQtOutputFileOwnership : public QObject, private OutputFileFixture
{
    Q_OBJECT

private slots:
    void init() { begin(); }

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
};

QTEST_GUILESS_MAIN(TestQtOutputFileOwnership)
#include "tst_QtOutputFileOwnership.moc"
