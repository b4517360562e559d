// SPDX-License-Identifier: MIT
#pragma once

#include "platform/EventPump.h"
#include "platform/FolderService.h"
#include "platform/ListControl.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowControls.h"
#include "search/BusyState.h"
#include "search/SearchState.h"

#include <QCoreApplication>

namespace vantorel
{

class GuardedProcedure;

/// The start button's command: starts a search over every location, or asks
/// the search under way to stop.
///
/// Searches never nest. A stopped search still unwinds through the event pump
/// that delivered the stop, so a start pressed then would otherwise run inside
/// it, and quick presses would pile up searches until the stack overflowed.
/// Such a start waits instead: the button reads "Stop" at once, and the new
/// search begins as soon as the stopped one has returned, unless it is stopped
/// first.
class SearchRun
{
    Q_DECLARE_TR_FUNCTIONS(SearchRun)

public:
    /// The controls a search reads and fills. `fullPath` is the "Display
    /// full path" option, read at each match.
    struct Controls {
        CaptionControl& startButton;
        const TextControl& phrase;
        const CheckControl& matchCase;
        const OptionControl& fullPath;
        ListControl& locations;
        ListControl& results;
        PointerSetting& pointer;
    };
    struct Services {
        MessageBoxes& boxes;
        EventPump& pump;
        FolderService& folders;
    };

    SearchRun(
        const Controls& controls, const Services& services, SearchState& state, BusyState& busy);

    void PushButton1_Click();

    /// Whether a search is under way (stopped ones included, until they return).
    bool isRunning() const { return m_running; }

private:
    void press();
    void searchLocations(GuardedProcedure& guard, qint16 compareMode);

    CaptionControl& m_startButton;
    const TextControl& m_phrase;
    const CheckControl& m_matchCase;
    const OptionControl& m_fullPath;
    ListControl& m_locations;
    ListControl& m_results;
    PointerSetting& m_pointer;
    MessageBoxes& m_boxes;
    EventPump& m_pump;
    FolderService& m_folders;
    SearchState& m_state;
    BusyState& m_busy;
    bool m_running = false;
    bool m_startWaiting = false;
};

} // namespace vantorel
