// SPDX-License-Identifier: MIT
#pragma once

#include "shell/qt/FolderHandOff.h"
#include "shell/qt/WindowActivation.h"

#include <QByteArrayList>
#include <QList>
#include <QTemporaryDir>

#include <thread>

namespace vantorel::test
{

/// Hands folders over from a thread of its own, since the serving side needs
/// this thread's event loop to answer.
class HandOverThread
{
public:
    HandOverThread(const QString& address, const QList<QByteArray>& folders, int timeoutMs,
        const QByteArray& startupId = {}, bool* windowEndsFeedback = nullptr)
        : m_thread([=, this] {
            m_result = FolderHandOff::handOver(
                address, folders, timeoutMs, startupId, windowEndsFeedback);
        })
    {
    }
    ~HandOverThread()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    bool result()
    {
        m_thread.join();
        return m_result;
    }

private:
    bool m_result = false;
    std::thread m_thread;
};

/// A window's hand-off serving in a folder of its own, and what it was handed.
struct ServingWindow {
    QTemporaryDir dir;
    QString address = dir.filePath("s");
    QList<QList<QByteArray>> received;
    QByteArrayList startupIds;
    FolderHandOff handOff { [this](const QList<QByteArray>& folders, const QByteArray& startupId) {
        received << folders;
        startupIds << startupId;
    } };

    bool serve(const QString& at = {})
    {
        return dir.isValid() && handOff.serve(at.isEmpty() ? address : at);
    }
};

/// Records the start-up ids the window was asked to come to the front with.
struct RecordingActivation final : WindowActivation {
    QByteArrayList startupIds;
    void activate(QWidget&, const QByteArray& startupId) override { startupIds << startupId; }
    bool endsStartupFeedback() const override { return true; }
};

} // namespace vantorel::test
