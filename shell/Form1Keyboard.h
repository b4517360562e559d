// SPDX-License-Identifier: MIT
#pragma once

#include "shell/StartStopKeys.h"

#include <QObject>

class QLineEdit;
class QPushButton;
class QWidget;

namespace vantorel
{

/// Enter in the phrase box and Esc in the window, given to the start button
/// as StartStopKeys decides.
class Form1Keyboard : public QObject
{
    Q_OBJECT

public:
    Form1Keyboard(QWidget& window, QLineEdit& phrase, QPushButton& startButton,
        const CaptionControl& startCaption);

private:
    StartStopKeys m_keys;
};

} // namespace vantorel
