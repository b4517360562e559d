// SPDX-License-Identifier: MIT
#include "platform/files/SystemFolderService.h"
#include "platform/walk/index/IndexStore.h"
#include "platform/walk/readahead/ReadAheadSettings.h"
#include "shell/CommandLine.h"
#include "shell/DisplayKey.h"
#include "shell/HandOffPlace.h"
#include "shell/UserLanguage.h"
#include "shell/qt/FolderHandOff.h"
#include "shell/qt/Form1.h"
#include "shell/qt/StartFolders.h"
#include "shell/qt/WindowActivation.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace
{

// Qt aborts with a plugin message when it finds no display; say it plainly instead.
bool hasDisplay()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// The arguments as the system gave them: a folder's name need not be valid text.
QList<QByteArray> nativeArguments(int argc, char* argv[])
{
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    return arguments;
}

QByteArray workingFolder()
{
    char* path = ::getcwd(nullptr, 0);
    if (path == nullptr)
        return QFile::encodeName(QDir::currentPath());
    QByteArray bytes(path);
    std::free(path);
    return bytes;
}

// A window that takes longer than this to take the folders is taken as hung:
// this start then opens a window of its own, so no folder is lost.
constexpr int kHandOverTimeoutMs = 3000;
// Two starts at the same moment must not both replace the socket; a start that
// cannot get the lock in this time goes on without it rather than wait.
constexpr int kChoosingLockTimeoutMs = 2000;

// The catalogues of the user's language, beside the program, for as long as
// the application lives.
vantorel::UserLanguage userLanguage()
{
    return vantorel::UserLanguage(vantorel::messageLanguages(),
        vantorel::UserLanguage::programCatalogues(), vantorel::UserLanguage::systemQtCatalogues());
}

// --help and --version need no display, so they are answered before one is
// looked for; so is a start without one. Empty when the window is to start.
std::optional<int> answerWithoutWindow(int argc, char* argv[])
{
    QCoreApplication reader(argc, argv);
    const vantorel::UserLanguage language = userLanguage();
    const vantorel::CommandLine early
        = vantorel::readCommandLine(nativeArguments(argc, argv), workingFolder());
    if (early.action == vantorel::CommandLine::Action::Help
        || early.action == vantorel::CommandLine::Action::Version) {
        print(stdout, early.text);
        return 0;
    }
    if (!hasDisplay()) {
        print(stderr,
            vantorel::CommandLine::tr(
                "ostlebry: no display found. This is a desktop program: start it in a "
                "graphical session (DISPLAY or WAYLAND_DISPLAY must be set).\n"));
        return 2;
    }
    return std::nullopt;
}

// Only a window on this start's display takes its folders: one elsewhere
// would show them where the user is not. Empty when there is no private place.
QString handOffAddress(const QString& platform)
{
    QString problem;
    const QString address = vantorel::handoff::defaultAddress(
        vantorel::handoff::currentDisplayKey(platform), &problem);
    if (address.isEmpty())
        //: %1 says why the private folder cannot be used.
        print(stderr,
            vantorel::CommandLine::tr("ostlebry: no private place to meet an open window (%1): "
                                      "this start opens a window of its own.\n")
                .arg(problem));
    return address;
}

// Whether a window already open took the folders; this start then ends.
bool handedToOpenWindow(
    const QString& address, const QList<QByteArray>& folders, const QByteArray& startupId)
{
    bool windowEndsFeedback = false;
    if (folders.isEmpty()
        || !vantorel::FolderHandOff::handOver(
            address, folders, kHandOverTimeoutMs, startupId, &windowEndsFeedback))
        return false;
    // The id served this launch alone: nothing started from here may reuse it.
    qunsetenv("DESKTOP_STARTUP_ID");
    qunsetenv("XDG_ACTIVATION_TOKEN");
    // Else the launcher shows this start as starting until its own timeout.
    if (!windowEndsFeedback)
        vantorel::endStartupFeedback(startupId);
    print(stdout,
        vantorel::CommandLine::tr(
            "ostlebry: the folders were added to the window already open.\n"));
    return true;
}

// The folder index as the environment and the command line choose it.
std::shared_ptr<vantorel::dirwalk::index::IndexStore> folderIndex(
    vantorel::CommandLine::FolderIndex choice)
{
    using vantorel::dirwalk::index::IndexReach;
    auto settings = vantorel::dirwalk::index::indexSettingsFromEnvironment();
    if (choice == vantorel::CommandLine::FolderIndex::Off)
        settings.reach = IndexReach::Off;
    else if (choice == vantorel::CommandLine::FolderIndex::Everywhere)
        settings.reach = IndexReach::Everywhere;
    return std::make_shared<vantorel::dirwalk::index::IndexStore>(std::move(settings));
}

} // namespace

int main(int argc, char* argv[])
{
    if (const std::optional<int> answered = answerWithoutWindow(argc, argv))
        return *answered;
    // Qt's X11 platform takes this out of the environment as it connects.
    const QByteArray x11StartupId = qgetenv("DESKTOP_STARTUP_ID");
    QApplication app(argc, argv);
    const vantorel::UserLanguage language = userLanguage();
    // Read again: QApplication has taken out its own options (-platform, -style, ...).
    const vantorel::CommandLine line
        = vantorel::readCommandLine(nativeArguments(argc, argv), workingFolder());
    if (line.action == vantorel::CommandLine::Action::Error) {
        print(stderr, line.text);
        return 2;
    }
    // Lets the desktop match the window to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ostlebry"));

    const QString platform = QGuiApplication::platformName();
    const QString address = handOffAddress(platform);
    // The lock lives in the same private place, where no other user can plant one.
    QLockFile choosing(address + QStringLiteral(".lock"));
    if (!address.isEmpty())
        choosing.tryLock(kChoosingLockTimeoutMs);
    const QByteArray startupId = vantorel::handoff::isWaylandPlatform(platform)
        ? qgetenv("XDG_ACTIVATION_TOKEN")
        : x11StartupId;
    if (handedToOpenWindow(address, line.folders, startupId))
        return 0;

    // Read here, once: the walk below takes its settings as they are given.
    const auto readAhead = vantorel::dirwalk::readAheadSettings(
        std::getenv("OSTLEBRY_READAHEAD"), std::getenv("OSTLEBRY_READAHEAD_THREADS"));
    vantorel::Form1 window(
        {}, std::make_unique<vantorel::SystemFolderService>(readAhead, folderIndex(line.index)));
    vantorel::DesktopActivation activation;
    vantorel::FolderHandOff handOff(
        [&window, &activation](const QList<QByteArray>& folders, const QByteArray& startupId) {
            vantorel::addStartFolders(window, folders);
            vantorel::bringToFront(window, startupId, activation);
        });
    handOff.setEndsStartupFeedback(activation.endsStartupFeedback());
    handOff.serve(address);
    choosing.unlock();

    window.load();
    vantorel::addStartFolders(window, line.folders);
    window.showCentred();
    return app.exec();
}
