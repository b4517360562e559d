// SPDX-License-Identifier: MIT
#include "platform/qt/controls/WindowHoldingBox.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QShortcut>
#include <QWindow>

namespace vantorel
{

namespace
{

    bool isUserInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
        }
    }

    /// Holds back the user's input to one window, and brings the box back to
    /// the front when the user reaches for the window. The input is held
    /// where the system delivers it, at the window, as Qt's modality holds
    /// it: events a program posts to a widget itself still arrive. The
    /// window's shortcuts are held too.
    class InputHold : public QObject
    {
    public:
        InputHold(QWidget* window, QDialog& box)
            : m_window(window)
            , m_box(box)
        {
            qApp->installEventFilter(this);
        }
        ~InputHold() override { qApp->removeEventFilter(this); }
        InputHold(const InputHold&) = delete;
        InputHold& operator=(const InputHold&) = delete;

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (!m_window || !isUserInput(event->type()) || !isHeld(watched))
                return false;
            if (event->type() == QEvent::MouseButtonPress) {
                m_box.raise();
                m_box.activateWindow();
            }
            return true;
        }

    private:
        bool isHeld(QObject* watched) const
        {
            if (watched == m_window->windowHandle())
                return true;
            const auto* owner = qobject_cast<QShortcut*>(watched)
                ? qobject_cast<QWidget*>(watched->parent())
                : nullptr;
            return owner && owner->window() == m_window;
        }

        QPointer<QWidget> m_window;
        QDialog& m_box;
    };

} // namespace

int runWindowHoldingBox(QDialog& box)
{
    QWidget* parent = box.parentWidget();
    QWidget* window = parent ? parent->window() : nullptr;
    if (!window || !window->isVisible())
        return box.exec(); // nothing to close behind it
    const InputHold hold(window, box);
    box.setWindowModality(Qt::NonModal);
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
    box.show();
    box.raise();
    box.activateWindow();
    loop.exec(QEventLoop::DialogExec);
    return box.result();
}

} // namespace vantorel
