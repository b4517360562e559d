// SPDX-License-Identifier: MIT
#pragma once

#include "shell/qt/FirstNewRowInView.h"
#include "shell/qt/Form1Keyboard.h"
#include "shell/qt/ResultsListActions.h"

class QWidget;

namespace vantorel
{

class BusyState;
class Form1Layout;
struct Form1Platform;

/// What the main window offers around its commands: the results list's own
/// actions, a new search's first result brought into view, the keys, and
/// names for screen readers.
/// None of it changes a caption, a message or a command. It works on the
/// window's controls and services, so the window destroys it before them.
class Form1Usability
{
public:
    /// `busy` is the commands' own: whether a search, an add or a save runs.
    Form1Usability(
        QWidget& window, Form1Layout& layout, Form1Platform& platform, const BusyState& busy);
    ~Form1Usability();
    Form1Usability(const Form1Usability&) = delete;
    Form1Usability& operator=(const Form1Usability&) = delete;

    ResultsListActions& resultsList() { return m_resultsList; }

private:
    Form1Platform& m_platform;
    ResultsListActions m_resultsList;
    FirstNewRowInView m_firstNewResult;
    Form1Keyboard m_keyboard;
};

} // namespace vantorel
