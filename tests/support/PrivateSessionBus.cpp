// SPDX-License-Identifier: MIT
#include "support/PrivateSessionBus.h"

#include <QDeadlineTimer>
#include <QFile>

namespace vantorel::test
{

namespace
{

    // No service folders: a call to a name nobody holds starts nothing.
    const char kConfig[]
        = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateSessionBus::PrivateSessionBus()
{
    const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QString::fromLatin1(kConfig).arg(m_dir.path()).toUtf8()) < 0) {
        m_error = QStringLiteral("cannot write ") + config;
        return;
    }
    file.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--nofork"), QStringLiteral("--print-address"),
            QStringLiteral("--config-file=") + config });
    // The address is the daemon's first line, once it listens.
    const QDeadlineTimer deadline(30000);
    while (!m_daemon.canReadLine() && m_daemon.state() != QProcess::NotRunning
        && m_daemon.waitForReadyRead(int(deadline.remainingTime()))) { }
    if (!m_daemon.canReadLine()) {
        m_error = QStringLiteral("dbus-daemon gave no address (install Debian's dbus-daemon): ")
            + m_daemon.errorString() + QString::fromLocal8Bit(m_daemon.readAllStandardError());
        return;
    }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(10000)) {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

} // namespace vantorel::test
