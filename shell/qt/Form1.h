// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FolderService.h"

#include <QWidget>
#include <functional>
#include <memory>

namespace vantorel
{

class Form1Usability;
class FormScroller;
class FramedPlacement;
class Form1Layout;
class Form1Logic;
class ListModel;
class QtEventPump;
class QtListControl;
class QtPointerMoveFilter;
class QtSkinnableWindow;
class SkinFramework1;
struct Form1Platform;

/// The main window. It owns its controls, the platform services the commands
/// use and the commands themselves, and hands every event of its controls to
/// them.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    /// `endProgram` runs when the user closes the window; by default the
    /// process ends on the spot, whatever command is running, and the window
    /// leaves the screen even while a listing holds a thread. The searches
    /// list folders through `folders`, by default the system's.
    explicit Form1(
        std::function<void()> endProgram = {}, std::unique_ptr<FolderService> folders = {});
    ~Form1() override;

    /// Runs the start-up procedure; the window is still hidden.
    void load();
    /// Shows the window in the middle of its screen, fitted to it.
    void showCentred();

    Form1Logic& logic() { return *m_logic; }
    QtListControl& locations();
    QtListControl& results();
    ListModel& locationsModel();
    ListModel& resultsModel();
    QtEventPump& pump();
    /// The results list's context menu, copy and drag; the start/stop keys.
    Form1Usability& usability();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void connectEvents();
    void connectAppearance();

    // Each member refers only to those above it, so it dies before them; the
    // controls, children of the window, outlive them all.
    std::function<void()> m_endProgram;
    std::unique_ptr<Form1Layout> m_layout;
    std::unique_ptr<FormScroller> m_scroller;
    std::unique_ptr<FramedPlacement> m_placement;
    std::unique_ptr<Form1Platform> m_platform;
    std::unique_ptr<QtSkinnableWindow> m_skinnable;
    std::unique_ptr<SkinFramework1> m_skin;
    std::unique_ptr<Form1Logic> m_logic;
    std::unique_ptr<Form1Usability> m_usability;
    std::unique_ptr<QtPointerMoveFilter> m_pointerMoves;
};

} // namespace vantorel
