// SPDX-License-Identifier: MIT
#include "support/FifoUnblocker.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace vantorel::test
{

FifoUnblocker::FifoUnblocker(QString path, std::chrono::milliseconds grace)
    : m_path(std::move(path))
    , m_thread([this, grace] { watch(grace); })
{
}

FifoUnblocker::~FifoUnblocker()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stop.notify_all();
    m_thread.join();
}

void FifoUnblocker::watch(std::chrono::milliseconds grace)
{
    const QByteArray path = QFile::encodeName(m_path);
    std::unique_lock lock(m_mutex);
    if (m_stop.wait_for(lock, grace, [this] { return m_stopping; }))
        return;
    while (!m_stop.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stopping; })) {
        // Succeeds only while a reader holds the FIFO open: that reader is blocked.
        const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            m_fired = true;
            ::close(fd);
        }
    }
}

} // namespace vantorel::test
