// SPDX-License-Identifier: MIT
// Starting programs and showing folders: the file manager on the session bus,
// else the desktop's opener.
#include "platform/Failure.h"
#include "platform/qt/desktop/QtProgramLauncher.h"
#include "support/ModalBoxAnswerer.h"
#include "support/PrivateSessionBus.h"
#include "support/RecordingUrlOpener.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDesktopServices>
#include <QMutex>
#include <QTest>
#include <QThread>
#include <atomic>

using namespace vantorel;

/// Stands in for the desktop's file manager on the test's own bus: records
/// what it is asked to show, or answers with an error.
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
    std::atomic<bool> fails { false };

public slots:
    void ShowFolders(const QStringList& uris, const QString&) { take("ShowFolders", uris); }
    void ShowItems(const QStringList& uris, const QString&) { take("ShowItems", uris); }

private:
    void take(const char* method, const QStringList& uris)
    {
        if (fails) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("cannot show"));
            return;
        }
        const QMutexLocker lock(&m_mutex);
        m_requests.append(QLatin1String(method) + ' ' + uris.join(' '));
    }

    mutable QMutex m_mutex;
    QStringList m_requests;
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

    QThread thread;
    std::unique_ptr<FakeFileManager> fake = std::make_unique<FakeFileManager>();
    QDBusConnection connection;
    bool registered = false;
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
        QtProgramLauncher launcher;
        QCOMPARE(launcher.showFolder("/data/50% #1 a"), FolderShowing::Shown);
        QCOMPARE(launcher.showFolder("/data/bad\xff\xfe"), FolderShowing::Shown);
        QCOMPARE(
            launcher.showItem("/data/50% #1 a/b\xff c", "/data/50% #1 a"), FolderShowing::Shown);
        QCOMPARE(fileManager.fake->requests(),
            QStringList(
                { "ShowFolders file:///data/50%25%20%231%20a", "ShowFolders file:///data/bad%FF%FE",
                    "ShowItems file:///data/50%25%20%231%20a/b%FF%20c" }));
        QVERIFY(m_desktop.opened.isEmpty());
    }

    void withoutAFileManagerOnTheBusTheDesktopOpensTheFolder()
    {
        QtProgramLauncher launcher;
        QtProgramLauncher withoutBus(QStringLiteral("no such connection"));
        QCOMPARE(launcher.showFolder("/data/a"), FolderShowing::Shown);
        QCOMPARE(withoutBus.showItem("/data/b/c", "/data/b"), FolderShowing::Shown);
        {
            FileManagerOnBus failing(m_bus->address());
            QVERIFY(failing.registered);
            failing.fake->fails = true;
            QCOMPARE(launcher.showItem("/data/d/e", "/data/d"), FolderShowing::Shown);
        }
        QCOMPARE(m_desktop.opened,
            QList<QUrl>({ QUrl::fromLocalFile("/data/a"), QUrl::fromLocalFile("/data/b"),
                QUrl::fromLocalFile("/data/d") }));
    }
};

QTEST_MAIN(TestQtProgramLauncher)
#include "tst_QtProgramLauncher.moc"
