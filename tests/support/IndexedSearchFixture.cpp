// SPDX-License-Identifier: MIT
#include "IndexedSearchFixture.h"

#include "FakeControls.h"
#include "FakeListControl.h"
#include "FolderTreeFixture.h"
#include "search/FolderSearchEngine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "platform/Failure.h"

#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace vantorel::test
{

void IndexedSearchFixture::begin()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Reachable by another user, for the tests that search as one.
    QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), 0755), 0);
    m_root = QFile::encodeName(m_dir->path()) + "/tree";
    QCOMPARE(::mkdir(m_root.constData(), 0755), 0);
    m_readAhead = { 2, 4 };
    dirwalk::index::IndexSettings settings;
    settings.clockOffset = kAnHourAhead;
    useIndex(settings);
}

void IndexedSearchFixture::finish()
{
    m_indexed.reset();
    m_live.reset();
    m_store.reset();
    // Folders a test left locked: opened again so that the folder can go.
    QProcess::execute(QStringLiteral("chmod"), { "-R", "u+rwx", m_dir->path() });
    removeTree(m_dir->path());
    m_dir.reset();
}

void IndexedSearchFixture::useIndex(dirwalk::index::IndexSettings settings)
{
    m_settings = settings;
    m_store = std::make_shared<dirwalk::index::IndexStore>(std::move(settings));
    m_indexed = std::make_unique<SystemFolderService>(m_readAhead, m_store);
    m_live = std::make_unique<SystemFolderService>(m_readAhead);
}

QStringList IndexedSearchFixture::search(
    FolderService& folders, int stopAtPump, QByteArray location)
{
    if (location.isEmpty())
        location = m_root;
    SearchState state;
    FakeOption fullPath { true };
    FakeListControl locations;
    FakeListControl results;
    ScriptedEventPump pump;
    pump.onPump = [&](int number) {
        if (number == stopAtPump)
            state.StopRequested = SearchState::True;
    };
    const SearchEngineContext context { state, fullPath, locations, pump, folders };
    WalkReport report;
    try {
        const Folder folder = folders.getNativeFolder(location);
        // Match Case with an empty phrase: every folder is a row.
        report = GetSubDirectories2016(folder, QString(), 0, results, context);
    } catch (const Failure& failure) {
        return { QStringLiteral("failed: ") + failure.description() };
    }
    QStringList rows;
    const QString root = QFile::decodeName(location);
    for (const QString& row : results.rows())
        rows << row.mid(root.size() + 1);
    for (const UnlistedFolder& unlisted : report.unlisted)
        rows << QStringLiteral("could not be read: %1: %2")
                    .arg(unlisted.path.mid(root.size()), unlisted.reason);
    return rows;
}

void IndexedSearchFixture::waitForNextTick()
{
    // File systems stamp with the coarse clock: a change is in a later tick
    // once that clock has passed the moment the search ended.
    timespec ended {};
    ::clock_gettime(CLOCK_REALTIME, &ended);
    for (;;) {
        timespec coarse {};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &coarse);
        if (coarse.tv_sec > ended.tv_sec
            || (coarse.tv_sec == ended.tv_sec && coarse.tv_nsec > ended.tv_nsec))
            return;
        ::sched_yield();
    }
}

QString IndexedSearchFixture::difference(const QStringList& indexed, const QStringList& live)
{
    if (indexed == live)
        return {};
    return QStringLiteral("with the index:\n  %1\nwalked on the disk:\n  %2\n")
        .arg(indexed.join(QStringLiteral("\n  ")), live.join(QStringLiteral("\n  ")));
}

QString IndexedSearchFixture::compareAfterSteps(const QList<Step>& steps)
{
    QString differences = difference(searchWithIndex(), searchLive());
    for (qsizetype i = 0; i < steps.size(); ++i) {
        waitForNextTick();
        if (!steps[i]())
            return QStringLiteral("step %1 could not be made").arg(i + 1);
        differences += difference(searchWithIndex(), searchLive());
    }
    return differences;
}

namespace
{

    bool readByte(int fd, char& byte)
    {
        return ::read(fd, &byte, 1) == 1;
    }

    bool becomeNobody()
    {
        const passwd* nobody = ::getpwnam("nobody");
        return nobody && ::setresgid(nobody->pw_gid, nobody->pw_gid, nobody->pw_gid) == 0
            && ::setgroups(0, nullptr) == 0
            && ::setresuid(nobody->pw_uid, nobody->pw_uid, nobody->pw_uid) == 0;
    }

} // namespace

QString IndexedSearchFixture::compareAsNobodyInChild(int input, int output, int steps)
{
    // A child of its own: the searches and their threads start afresh here.
    if (!becomeNobody() || ::access(m_root.constData(), R_OK | X_OK) != 0)
        return QString::fromLatin1(kCannot);
    useIndex(m_settings);
    QString differences = difference(searchWithIndex(), searchLive());
    for (int i = 0; i < steps; ++i) {
        waitForNextTick();
        char go = 0;
        if (::write(output, "r", 1) != 1 || !readByte(input, go))
            return QStringLiteral("lost the test's process");
        if (go != 'g')
            return QStringLiteral("step %1 could not be made").arg(i + 1);
        differences += difference(searchWithIndex(), searchLive());
    }
    return differences;
}

QString IndexedSearchFixture::compareAfterStepsAsNobody(const QList<Step>& steps)
{
#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer cannot follow the threads a forked child starts (it
    // takes their ids for ones still in use); the other sanitizers can.
    (void)steps;
    return QString::fromLatin1(kCannot);
#endif
    int toChild[2];
    int fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        const QByteArray report
            = compareAsNobodyInChild(toChild[0], fromChild[1], int(steps.size())).toUtf8();
        const bool sent = ::write(fromChild[1], "d", 1) == 1
            && ::write(fromChild[1], report.constData(), std::size_t(report.size()))
                == report.size();
        ::_exit(sent ? 0 : 1);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    QString failure;
    char said = 0;
    for (const Step& step : steps) {
        if (!readByte(fromChild[0], said) || said != 'r')
            break;
        const bool made = step();
        if (::write(toChild[1], made ? "g" : "x", 1) != 1)
            break;
    }
    QByteArray report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fromChild[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, got);
    ::close(toChild[1]);
    ::close(fromChild[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !report.startsWith('d'))
        return QStringLiteral("the child ended without its report");
    return QString::fromUtf8(report.mid(1));
}

bool IndexedSearchFixture::make(const QStringList& entries)
{
    for (const QString& entry : entries) {
        const qsizetype arrow = entry.indexOf(QLatin1Char('>'));
        if (arrow < 0) {
            if (!QDir().mkpath(QFile::decodeName(m_root) + '/' + entry))
                return false;
            continue;
        }
        const QByteArray link = path(QFile::encodeName(entry.left(arrow)));
        const QByteArray target = QFile::encodeName(entry.mid(arrow + 1));
        if (::symlink(target.constData(), link.constData()) != 0)
            return false;
    }
    return true;
}

} // namespace vantorel::test
