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

bool FifoWatchdog::done()
{
    std::lock_guard lock(m_mutex);
    return m_done;
}

void FifoWatchdog::watch(std::chrono::milliseconds patience)
{
    {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, patience, [this] { return m_done; }))
            return;
    }
    m_fired = true;
    // Read and write at once: releases an open that waits for either end.
    const int fd = ::open(m_fifo.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    char sink[65536];
    while (!done()) {
        pollfd ready { fd, POLLIN, 0 };
        if (::poll(&ready, 1, 100) > 0)
            (void)::read(fd, sink, sizeof sink);
    }
    ::close(fd);
}

} // namespace vantorel::test
