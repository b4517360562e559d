// SPDX-License-Identifier: MIT
#include "platform/qt/desktop/DesktopFolderOpener.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTimer>

#include <memory>
#include <utility>

namespace vantorel
{

void askDesktopFolderOpener(QObject& context, std::function<void(const QString& entry)> done)
{
    auto* query = new QProcess(&context);
    query->setProcessChannelMode(QProcess::SeparateChannels);
    query->setStandardInputFile(QProcess::nullDevice());
    auto answered = std::make_shared<bool>(false);
    const auto answer = [answered, done = std::move(done)](const QString& entry) {
        if (!std::exchange(*answered, true))
            done(entry);
    };
    QObject::connect(query, &QProcess::finished, query,
        [query, answer](int exitCode, QProcess::ExitStatus status) {
            const bool named = status == QProcess::NormalExit && exitCode == 0;
            answer(named ? QString::fromLocal8Bit(query->readAllStandardOutput()).trimmed()
                         : QString());
            query->deleteLater();
        });
    QObject::connect(
        query, &QProcess::errorOccurred, query, [query, answer](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            answer(QString());
            query->deleteLater();
        });
    // A query still running when the context goes is killed as it goes, and
    // would answer then.
    QObject::connect(&context, &QObject::destroyed, query, [answered] { *answered = true; });
    // Killed, it still ends through finished(), which lets it go.
    QTimer::singleShot(kDesktopOpenerWaitMs, Qt::PreciseTimer, query, [query, answer] {
        answer(QString());
        query->kill();
    });
    query->start(QStringLiteral("xdg-mime"),
        { QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("inode/directory") });
}

bool isThisProgramsEntry(const QString& entry)
{
    const QString ownEntry = QGuiApplication::desktopFileName();
    return !ownEntry.isEmpty() && entry == ownEntry + QStringLiteral(".desktop");
}

} // namespace vantorel
