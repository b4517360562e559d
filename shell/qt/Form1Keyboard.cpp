// SPDX-License-Identifier: MIT
#include "shell/qt/Form1Keyboard.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QShortcut>

namespace vantorel
{

Form1Keyboard::Form1Keyboard(QWidget& window, QLineEdit& phrase, QPushButton& startButton,
    const CaptionControl& startCaption, CommandButtons buttons)
    : m_keys(startCaption, [button = &startButton] { button->click(); })
{
    // The press waits for the key's own handling to end, so that the search
    // does not run inside the phrase box's key handler; it looks at the
    // button only then, so a second Enter queued behind it finds "Stop".
    connect(&phrase, &QLineEdit::returnPressed, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { m_keys.enterInPhrase(); }, Qt::QueuedConnection);
    });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] { m_keys.escape(); });

    const auto shortcut = [&](QKeySequence keys, auto action) {
        auto* made = new QShortcut(keys, &window);
        made->setContext(Qt::WindowShortcut);
        connect(made, &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::Key_F1), [help = buttons.help] { help->click(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [save = buttons.save] { save->click(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), [&window] { window.close(); });

    for (QPushButton* button : window.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        button->installEventFilter(this);
}

// Enter on a command button, as Space: the press waits for the key's handling
// to end, as in the phrase box. A held Enter presses once: its repeats would
// stop the search it has just started.
bool Form1Keyboard::eventFilter(QObject* watched, QEvent* event)
{
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (!key->isAutoRepeat())
                QMetaObject::invokeMethod(
                    button, [button] { button->click(); }, Qt::QueuedConnection);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantorel
