// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Form1Keyboard.h"
#include "shell/ResultsListActions.h"

class QWidget;

namespace vantorel
{

class Form1Layout;
struct Form1Platform;

/// What the main window offers around its commands: the results list's own
/// actions, Enter and Esc for the start button, and names for screen readers.
/// None of it changes a caption, a message or a command. It works on the
/// window's controls and services, so the window destroys it before them.
class Form1Usability
{
public:
    Form1Usability(QWidget& window, Form1Layout& layout, Form1Platform& platform);

    ResultsListActions& resultsList() { return m_resultsList; }

private:
    ResultsListActions m_resultsList;
    Form1Keyboard m_keyboard;
};

} // namespace vantorel
