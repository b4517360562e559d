// SPDX-License-Identifier: MIT
// A Qt plugin the Wayland tests load into the program itself
// (QT_QPA_GENERIC_PLUGINS=ostlebryprobe:<socket>). Weston's headless
// compositor has no seat to press keys with and no way for another client to
// close a window, so the probe does, from inside, what the compositor's close
// request does through Qt's Wayland platform: it hands Qt a close event for
// the window. Over the test's local socket it says which platform the program
// runs on and which windows the compositor has shown, and takes "close".
#include <QGenericPlugin>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QSet>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace
{

class WindowProbe : public QObject
{
public:
    explicit WindowProbe(const QString& socketPath)
    {
        QCoreApplication::instance()->installEventFilter(this);
        connect(&m_socket, &QLocalSocket::readyRead, this, &WindowProbe::readCommands);
        m_socket.connectToServer(socketPath);
        if (m_socket.waitForConnected(5000))
            send("platform " + QGuiApplication::platformName().toUtf8());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && window != nullptr && window->isExposed()
            && window->isTopLevel() && !m_shown.contains(window)) {
            m_shown.insert(window);
            send("shown " + window->title().toUtf8());
        }
        return false;
    }

private:
    void send(const QByteArray& line)
    {
        m_socket.write(line + '\n');
        m_socket.flush();
    }

    void readCommands()
    {
        while (m_socket.canReadLine()) {
            if (m_socket.readLine().trimmed() != "close")
                continue;
            for (QWindow* window : QGuiApplication::topLevelWindows()) {
                if (window->isVisible())
                    QWindowSystemInterface::handleCloseEvent(window);
            }
        }
    }

    QLocalSocket m_socket;
    QSet<QWindow*> m_shown;
};

} // namespace

class WindowProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "WindowProbe.json")

public:
    QObject* create(const QString& key, const QString& parameters) override
    {
        if (key.compare(QLatin1String("ostlebryprobe"), Qt::CaseInsensitive) != 0)
            return nullptr;
        return new WindowProbe(parameters);
    }
};

#include "WindowProbe.moc"
