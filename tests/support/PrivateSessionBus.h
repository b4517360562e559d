// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace vantorel::test
{

/// A session bus of the test's own, never the user's: a dbus-daemon that
/// listens in a temporary folder and starts no services. It stops with this
/// object.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    /// The bus's address; empty when the daemon did not start.
    QString address() const { return m_address; }
    /// Why the daemon did not start.
    QString error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};

} // namespace vantorel::test
