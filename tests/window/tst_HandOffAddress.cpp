// SPDX-License-Identifier: MIT
// Where a window's hand-off listens and whom it trusts: the address of the
// user's own for each display, however the display is spelt, and the folders
// and peers it refuses.
#include "shell/DisplayKey.h"
#include "shell/HandOffPlace.h"
#include "shell/qt/FolderHandOff.h"
#include "support/EnvironmentValue.h"
#include "support/HandOffDoubles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vantorel;
using vantorel::test::EnvironmentValue;
using vantorel::test::HandOverThread;
using vantorel::test::ServingWindow;
using Folders = QList<QByteArray>;

class TestHandOffAddress : public QObject
{
    Q_OBJECT

private slots:
    void defaultAddressIsTheUsersOwn()
    {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        const EnvironmentValue xdg("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QByteArray display = "xcb :0.0";
        const QString name = handoff::socketName(display);
        QCOMPARE(handoff::defaultAddress(display), runtime.filePath(name));
        // A runtime folder others can enter is no place for it.
        QVERIFY(QFile::setPermissions(runtime.path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                | QFile::ExeOther));
        const EnvironmentValue tmp("TMPDIR", QFile::encodeName(runtime.filePath("tmp")));
        QVERIFY(QDir(runtime.path()).mkdir("tmp"));
        const QString own = runtime.filePath(QStringLiteral("tmp/ostlebry-%1").arg(::getuid()));
        QCOMPARE(handoff::defaultAddress(display), own + "/" + name);
        struct stat status {
        };
        QCOMPARE(::lstat(QFile::encodeName(own).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0700));

        // A private runtime folder whose socket path would not fit a socket's address.
        const QString deep = runtime.filePath(QString(sizeof(sockaddr_un::sun_path), 'd'));
        QVERIFY(QDir().mkdir(deep)
            && QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const EnvironmentValue deepXdg("XDG_RUNTIME_DIR", QFile::encodeName(deep));
        QCOMPARE(handoff::defaultAddress(display), own + "/" + name);
    }

    void aDisplayIsNamedOneWayForAllItsSpellings_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("normal");
        QTest::newRow("bare") << QByteArray(":0") << QByteArray(":0.0");
        QTest::newRow("screen") << QByteArray(":0.0") << QByteArray(":0.0");
        QTest::newRow("unix") << QByteArray("unix:0") << QByteArray(":0.0");
        QTest::newRow("unix transport") << QByteArray("unix/:0") << QByteArray(":0.0");
        QTest::newRow("other screen") << QByteArray(":0.1") << QByteArray(":0.1");
        QTest::newRow("other display") << QByteArray(":01") << QByteArray(":1.0");
        QTest::newRow("forwarded") << QByteArray("localhost:10.0") << QByteArray("localhost:10.0");
        QTest::newRow("not a display") << QByteArray(":x") << QByteArray(":x");
    }
    void aDisplayIsNamedOneWayForAllItsSpellings()
    {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, normal);
        QCOMPARE(handoff::normalX11Display(display), normal);
    }

    void theDisplayIsTheOneTheWindowShowsOn()
    {
        const auto key
            = [](const char* platform, const QByteArray& x11, const QByteArray& wayland) {
                  return handoff::displayKey(QLatin1String(platform), x11, wayland, "/run/user/7");
              };
        QCOMPARE(key("xcb", ":0", "wayland-0"), key("xcb", "unix:0.0", "wayland-1"));
        QVERIFY(key("xcb", ":0", {}) != key("xcb", ":1", {}));
        // Under Wayland the compositor counts, however named; DISPLAY is its X server.
        QCOMPARE(key("wayland", ":0", "wayland-1"), key("wayland", ":5", "/run/user/7/wayland-1"));
        QVERIFY(key("wayland", ":0", "wayland-1") != key("wayland", ":0", "wayland-2"));
        QVERIFY(key("wayland", ":0", "wayland-1") != key("xcb", ":0", "wayland-1"));
        // Whatever the names hold, the socket's name is short and plain.
        const QRegularExpression plain(QStringLiteral("^ostlebry-[0-9a-f]{16}\\.socket$"));
        QVERIFY(plain.match(handoff::socketName(key("xcb", "../../x\n:0", {}))).hasMatch());
    }

    void aStartReachesOnlyTheWindowOnItsDisplay()
    {
        ServingWindow onA;
        const EnvironmentValue xdg("XDG_RUNTIME_DIR", QFile::encodeName(onA.dir.path()));
        const auto addressOn = [](const QByteArray& display) {
            return handoff::defaultAddress(handoff::displayKey("xcb", display, {}, {}));
        };
        QVERIFY(addressOn(":0") != addressOn(":1"));
        QVERIFY(onA.serve(addressOn(":0")));
        QVERIFY(!FolderHandOff::handOver(addressOn(":1"), { "/b" }, 10000));
        HandOverThread sameDisplay(addressOn(":0.0"), { "/a" }, 10000);
        QTRY_COMPARE(onA.received, QList<Folders> { { "/a" } });
        QVERIFY(sameDisplay.result());
    }

    void aFallbackFolderThatOthersCouldUseIsRefused()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const EnvironmentValue xdg("XDG_RUNTIME_DIR", QByteArray());
        const EnvironmentValue tmpdir("TMPDIR", QFile::encodeName(tmp.path()));
        const QString own = tmp.filePath(QStringLiteral("ostlebry-%1").arg(::getuid()));
        const QByteArray ownBytes = QFile::encodeName(own);

        // Planted as a link to a folder of the right kind: refused all the same.
        QVERIFY(QDir(tmp.path()).mkdir("elsewhere"));
        QVERIFY(::chmod(QFile::encodeName(tmp.filePath("elsewhere")).constData(), 0700) == 0);
        QVERIFY(QFile::link(tmp.filePath("elsewhere"), own));
        QString problem;
        QCOMPARE(handoff::defaultAddress("xcb :0.0", &problem), QString());
        QVERIFY2(problem.endsWith("is a link"), qPrintable(problem));

        // Open to others, as a folder made by someone else with mode 777 would be.
        QVERIFY(QFile::remove(own));
        QVERIFY(
            ::mkdir(ownBytes.constData(), 0700) == 0 && ::chmod(ownBytes.constData(), 0777) == 0);
        QCOMPARE(handoff::defaultAddress("xcb :0.0", &problem), QString());
        QVERIFY2(problem.endsWith("is open to other users"), qPrintable(problem));
        QVERIFY(!handoff::privateFolderProblem(ownBytes, ::getuid() + 1).isEmpty());

        // With no address there is neither hand-over nor serving.
        QVERIFY(!FolderHandOff::handOver(QString(), { "/a" }, 1000));
        FolderHandOff serving([](const Folders&, const QByteArray&) {});
        QVERIFY(!serving.serve(QString()));
    }

    void onlyAPeerOfTheSameUserIsTrusted()
    {
        int ends[2] = { -1, -1 };
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        QVERIFY(handoff::peerIsUser(ends[0], ::getuid()));
        QVERIFY(!handoff::peerIsUser(ends[0], ::getuid() + 1));
        ::close(ends[0]);
        ::close(ends[1]);
        QVERIFY(!handoff::peerIsUser(-1, ::getuid()));
    }
};

QTEST_MAIN(TestHandOffAddress)
#include "tst_HandOffAddress.moc"
