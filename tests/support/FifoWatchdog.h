// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantorel::test
{

/// Guards a test that must not wait on a named pipe: when the test still runs
/// after `patience`, opens both ends of the pipe and drains it, so that an
/// open or a write that waits for the other end comes back and the test can
/// fail on fired() instead of hanging.
class FifoWatchdog
{
public:
    explicit FifoWatchdog(
        const QString& fifo, std::chrono::milliseconds patience = std::chrono::seconds(10));
    ~FifoWatchdog();
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    /// True when something was held by the pipe until the watchdog let it go.
    bool fired() const { return m_fired; }

private:
    void watch(std::chrono::milliseconds patience);
    bool done();

    QByteArray m_fifo;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::atomic<bool> m_fired = false;
    std::thread m_thread;
};

} // namespace vantorel::test
