// SPDX-License-Identifier: MIT
// Starting programs and showing folders: the file manager on the session bus,
// else the desktop's opener, neither of them waited for.
#include "platform/Failure.h"
#include "platform/qt/desktop/DesktopFolderOpener.h"
#include "platform/qt/desktop/QtProgramLauncher.h"
#include "platform/qt/desktop/UserActionClock.h"
#include "support/EnvironmentValue.h"
#include "support/ModalBoxAnswerer.h"
#include "support/PrivateSessionBus.h"
#include "support/RecordingUrlOpener.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMutex>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <optional>

using namespace vantorel;

/// Stands in for the desktop's file manager on the test's own bus: records
/// what it is asked to show and the start-up ids that come with it, or
/// answers with an error, or takes a request and then hangs until released.
class FakeFileManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList requests() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_requests;
    }
    QStringList startupIds() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_startupIds;
    }
    std::atomic<bool> fails { false };
    std::atomic<bool> hangs { false };
    /// Released by the test to end a hang.
    QSemaphore hang;

public slots:
    void ShowFolders(const QStringList& uris, const QString& id) { take("ShowFolders", uris, id); }
    void ShowItems(const QStringList& uris, const QString& id) { take("ShowItems", uris, id); }

private:
    void take(const char* method, const QStringList& uris, const QString& id)
    {
        if (fails) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("cannot show"));
            return;
        }
        {
            const QMutexLocker lock(&m_mutex);
            m_requests.append(QLatin1String(method) + ' ' + uris.join(' '));
            m_startupIds.append(id);
        }
        if (hangs)
            hang.acquire();
    }

    mutable QMutex m_mutex;
    QStringList m_requests;
    QStringList m_startupIds;
};

namespace
{

/// A FakeFileManager holding the file manager's name on a bus, for its
/// lifetime. It answers from a thread of its own, as a file manager would
/// from its own process, while the caller waits.
struct FileManagerOnBus {
    explicit FileManagerOnBus(const QString& address)
        : connection(QDBusConnection::connectToBus(address, QStringLiteral("file-manager")))
    {
        fake->moveToThread(&thread);
        thread.start();
        registered = connection.registerObject(QStringLiteral("/org/freedesktop/FileManager1"),
                         fake.get(), QDBusConnection::ExportAllSlots)
            && connection.registerService(QStringLiteral("org.freedesktop.FileManager1"));
    }
    ~FileManagerOnBus()
    {
        connection.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        connection.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
        QDBusConnection::disconnectFromBus(QStringLiteral("file-manager"));
        thread.quit();
        thread.wait();
    }

    /// Holds the file manager's thread, as a program that has stopped
    /// answering, until the test releases `fake->hang`.
    void stopAnswering()
    {
        QMetaObject::invokeMethod(fake.get(), [this] { fake->hang.acquire(); });
    }
    /// Waits until the file manager has handled every call that reached it.
    void settle()
    {
        QMetaObject::invokeMethod(
            fake.get(), [] {}, Qt::BlockingQueuedConnection);
    }

    QThread thread;
    std::unique_ptr<FakeFileManager> fake = std::make_unique<FakeFileManager>();
    QDBusConnection connection;
    bool registered = false;
};

/// How the launcher answered a request made by `ask`, once it did: "shown",
/// or "not shown", or "no answer" after 20 s. The test's event loop runs
/// meanwhile, as the window's would.
QString answerTo(const std::function<void(ProgramLauncher::ShowingDone)>& ask)
{
    std::optional<FolderShowing> answer;
    ask([&](FolderShowing showing) { answer = showing; });
    if (!QTest::qWaitFor([&] { return answer.has_value(); }, 20000))
        return QStringLiteral("no answer");
    return *answer == FolderShowing::Shown ? QStringLiteral("shown") : QStringLiteral("not shown");
}

QString showFolder(QtProgramLauncher& launcher, const QByteArray& folder)
{
    return answerTo([&](auto done) { launcher.showFolder(folder, done); });
}

QString showItem(QtProgramLauncher& launcher, const QByteArray& item, const QByteArray& folder)
{
    return answerTo([&](auto done) { launcher.showItem(item, folder, done); });
}

/// The longest the event loop went without running a 10 ms timer, while it lives.
struct LoopWatch {
    LoopWatch()
    {
        since.start();
        ticks.callOnTimeout([this] { longest = std::max(longest, since.restart()); });
        ticks.start(10);
    }
    QTimer ticks;
    QElapsedTimer since;
    qint64 longest = 0;
};

} // namespace

class TestQtProgramLauncher : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::PrivateSessionBus> m_bus;
    test::RecordingUrlOpener m_desktop;

private slots:
    void initTestCase()
    {
        // The session bus of every launcher here is the test's own.
        m_bus = std::make_unique<test::PrivateSessionBus>();
        QVERIFY2(!m_bus->address().isEmpty(), qPrintable(m_bus->error()));
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address().toLocal8Bit());
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_desktop, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() { m_desktop.opened.clear(); }
    // No box is left open behind a test.
    void cleanup() { QVERIFY(!test::openBox()); }

    void explorerCommandLines_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("target");
        QTest::newRow("home page") << "explorer \"https://www.vantorel.example/\""
                                   << "https://www.vantorel.example/";
        QTest::newRow("other case") << "Explorer \"https://a.example/x\""
                                    << "https://a.example/x";
        QTest::newRow("unquoted") << "explorer https://a.example/"
                                  << "";
        QTest::newRow("another program") << "notepad \"a.txt\""
                                         << "";
        QTest::newRow("quote inside") << "explorer \"a\" \"b\""
                                      << "";
        QTest::newRow("empty address") << "explorer \"\""
                                       << "";
    }
    void explorerCommandLines()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, target);
        QCOMPARE(QtProgramLauncher::explorerTarget(commandLine).value_or(QString()), target);
    }

    void aProgramThatCannotStartFails()
    {
        QtProgramLauncher launcher;
        try {
            launcher.launch(QStringLiteral("/nonexistent/ostlebry-no-such-program --flag"), 2);
            QFAIL("no failure");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), QStringLiteral("File not found"));
        }
    }

    void foldersGoToTheFileManagerOnTheSessionBus()
    {
        FileManagerOnBus fileManager(m_bus->address());
        QVERIFY(fileManager.registered);
        int ids = 0;
        QtProgramLauncher launcher(
            QString(), [&] { return "ostlebry-7-" + QByteArray::number(++ids) + "_TIME1234"; });
        QCOMPARE(showFolder(launcher, "/data/50% #1 a"), "shown");
        QCOMPARE(showFolder(launcher, "/data/bad\xff\xfe"), "shown");
        QCOMPARE(showItem(launcher, "/data/50% #1 a/b\xff c", "/data/50% #1 a"), "shown");
        QCOMPARE(fileManager.fake->requests(),
            QStringList(
                { "ShowFolders file:///data/50%25%20%231%20a", "ShowFolders file:///data/bad%FF%FE",
                    "ShowItems file:///data/50%25%20%231%20a/b%FF%20c" }));
        // Each window asked for may come to the front.
        QCOMPARE(fileManager.fake->startupIds(),
            QStringList(
                { "ostlebry-7-1_TIME1234", "ostlebry-7-2_TIME1234", "ostlebry-7-3_TIME1234" }));
        QVERIFY(m_desktop.opened.isEmpty());
    }

    void withoutAFileManagerOnTheBusTheDesktopOpensTheFolder()
    {
        QtProgramLauncher launcher;
        QtProgramLauncher withoutBus(QStringLiteral("no such connection"));
        QCOMPARE(showFolder(launcher, "/data/a"), "shown");
        QCOMPARE(showItem(withoutBus, "/data/b/c", "/data/b"), "shown");
        {
            FileManagerOnBus failing(m_bus->address());
            QVERIFY(failing.registered);
            failing.fake->fails = true;
            QCOMPARE(showItem(launcher, "/data/d/e", "/data/d"), "shown");
        }
        QCOMPARE(m_desktop.opened,
            QList<QUrl>({ QUrl::fromLocalFile("/data/a"), QUrl::fromLocalFile("/data/b"),
                QUrl::fromLocalFile("/data/d") }));
    }

    /// A file manager that does not answer, and a desktop that does not say
    /// which program opens folders, are not waited for: the window goes on,
    /// and after a short wait the desktop's opener shows the folder. A file
    /// manager that stopped answering before it was asked gets nothing it
    /// could show a second time when it wakes.
    void aDesktopThatDoesNotAnswerIsNotWaitedFor_data()
    {
        QTest::addColumn<bool>("stuckBefore"); // else stuck on the request itself
        QTest::addColumn<bool>("xdgMimeHangs");
        QTest::addColumn<int>("wait");
        QTest::addColumn<QStringList>("requests");
        const QStringList request { "ShowFolders file:///data/a" };
        QTest::newRow("stuck") << true << false << FileManagerBus::kAliveWaitMs << QStringList();
        QTest::newRow("stuck, and xdg-mime too")
            << true << true << FileManagerBus::kAliveWaitMs + kDesktopOpenerWaitMs << QStringList();
        QTest::newRow("stuck on the request")
            << false << false << FileManagerBus::kShowWaitMs << request;
    }
    void aDesktopThatDoesNotAnswerIsNotWaitedFor()
    {
        QFETCH(bool, stuckBefore);
        QFETCH(bool, xdgMimeHangs);
        QFETCH(int, wait);
        QFETCH(QStringList, requests);
        QTemporaryDir bin;
        QFile xdgMime(bin.filePath("xdg-mime"));
        QVERIFY(xdgMime.open(QIODevice::WriteOnly));
        xdgMime.write("#!/bin/sh\nexec sleep 60\n");
        xdgMime.close();
        QVERIFY(xdgMime.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        const test::EnvironmentValue path("PATH",
            xdgMimeHangs ? QFile::encodeName(bin.path()) + ':' + qgetenv("PATH") : qgetenv("PATH"));
        // Only a program with a desktop entry asks which program opens folders.
        QGuiApplication::setDesktopFileName(xdgMimeHangs ? QStringLiteral("ostlebry") : QString());

        FileManagerOnBus fileManager(m_bus->address());
        QVERIFY(fileManager.registered);
        fileManager.fake->hangs = !stuckBefore;
        if (stuckBefore)
            fileManager.stopAnswering();
        QtProgramLauncher launcher;
        QElapsedTimer elapsed;
        elapsed.start();
        QString answer;
        {
            const LoopWatch loop;
            answer = showFolder(launcher, "/data/a");
            qInfo("answered after %lld ms; the event loop stood still for %lld ms at most",
                elapsed.elapsed(), loop.longest);
            QVERIFY2(loop.longest < 500, qPrintable(QString::number(loop.longest)));
        }
        QGuiApplication::setDesktopFileName(QString());
        fileManager.fake->hang.release();
        fileManager.settle();
        QCOMPARE(answer, "shown");
        // Qt's timers may fire up to 5 % early.
        QVERIFY2(elapsed.elapsed() >= wait * 0.9, qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(m_desktop.opened, QList<QUrl>({ QUrl::fromLocalFile("/data/a") }));
        QCOMPARE(fileManager.fake->requests(), requests);
    }

    void theUsersLastActionDatesTheStartupIds()
    {
        QCOMPARE(UserActionClock::startupId(4000000000u, 3),
            "ostlebry-" + QByteArray::number(QCoreApplication::applicationPid())
                + "-3_TIME4000000000");
        UserActionClock clock;
        QWidget widget;
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        key.setTimestamp(1234);
        QApplication::sendEvent(&widget, &key);
        QCOMPARE(clock.lastAction(), quint64(1234));
        // Offscreen there is no window manager to take one.
        QVERIFY(clock.startupId().isEmpty());
    }
};

QTEST_MAIN(TestQtProgramLauncher)
#include "tst_QtProgramLauncher.moc"
