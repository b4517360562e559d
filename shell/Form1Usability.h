// SPDX-License-Identifier: MIT
#pragma once

#include "shell/ResultsListActions.h"

#include <QObject>

class QWidget;

namespace vantorel
{

class Form1Layout;
struct Form1Platform;

/// What the main window offers around its commands: the results list's own
/// actions, Enter and Esc for the start button, and names for screen readers.
/// None of it changes a caption, a message or a command.
class Form1Usability : public QObject
{
    Q_OBJECT

public:
    Form1Usability(QWidget& window, Form1Layout& layout, Form1Platform& platform);

    ResultsListActions& resultsList() { return *m_resultsList; }

private:
    ResultsListActions* m_resultsList;
};

} // namespace vantorel
