// SPDX-License-Identifier: MIT
#include "support/FifoWatchdog.h"

#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace vantorel::test
{

FifoWatchdog::FifoWatchdog(const QString& fifo, std::chrono::milliseconds patience)
    : m_fifo(QFile::encodeName(fifo))
    , m_thread([this, patience] { watch(patience); })
{
}

FifoWatchdog::~FifoWatchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void FifoWatchdog::watch(std::chrono::milliseconds patience)
{
    std::unique_lock lock(m_mutex);
    if (m_wake.wait_for(lock, patience, [this] { return m_done; }))
        return;
    // Still running after all that time: held by the pipe. Said before letting
    // go, so that the test sees it as soon as it comes back.
    m_fired = true;
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_done; })) {
        lock.unlock();
        releaseOnce();
        lock.lock();
    }
}

void FifoWatchdog::releaseOnce()
{
    // Opens only while a reader holds the pipe; closing it gives that reader its end.
    const int writer = ::open(m_fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0)
        ::close(writer);
    // Lets a writer held in its open go on, and drains what it writes.
    const int reader = ::open(m_fifo.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (reader < 0)
        return;
    char sink[65536];
    pollfd ready { reader, POLLIN, 0 };
    while (::poll(&ready, 1, 100) > 0 && (ready.revents & POLLIN)) {
        if (::read(reader, sink, sizeof sink) <= 0)
            break;
    }
    ::close(reader);
}

} // namespace vantorel::test
