// SPDX-License-Identifier: MIT
#pragma once

#include "shell/StartStopKeys.h"

#include <QObject>

class QLineEdit;
class QPushButton;
class QWidget;

namespace vantorel
{

/// The window's keys: Enter in the phrase box and Esc, given to the start
/// button as StartStopKeys decides; Enter on a focused command button presses
/// it, as Space does; F1 presses "Help" and Ctrl+S "Save Results As Text
/// File", each as a click does; Ctrl+Q closes the window.
class Form1Keyboard : public QObject
{
    Q_OBJECT

public:
    struct CommandButtons {
        QPushButton* help;
        QPushButton* save;
    };

    Form1Keyboard(QWidget& window, QLineEdit& phrase, QPushButton& startButton,
        const CaptionControl& startCaption, CommandButtons buttons);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    StartStopKeys m_keys;
};

} // namespace vantorel
