// SPDX-License-Identifier: MIT
#include "search/SearchRun.h"

#include "search/FolderSearchEngine.h"
#include "search/LocationReports.h"
#include "shell/common/GuardedProcedure.h"
#include "shell/common/WindowText.h"

namespace vantorel
{

namespace
{

    /// Leading and trailing spaces removed: the space character only.
    QString trimSpaces(const QString& text)
    {
        qsizetype first = 0;
        qsizetype last = text.size();
        while (first < last && text.at(first) == QLatin1Char(' '))
            ++first;
        while (last > first && text.at(last - 1) == QLatin1Char(' '))
            --last;
        return text.mid(first, last - first);
    }

} // namespace

SearchRun::SearchRun(
    const Controls& controls, const Services& services, SearchState& state, BusyState& busy)
    : m_startButton(controls.startButton)
    , m_phrase(controls.phrase)
    , m_matchCase(controls.matchCase)
    , m_fullPath(controls.fullPath)
    , m_locations(controls.locations)
    , m_results(controls.results)
    , m_pointer(controls.pointer)
    , m_boxes(services.boxes)
    , m_pump(services.pump)
    , m_folders(services.folders)
    , m_state(state)
    , m_busy(busy)
{
}

void SearchRun::PushButton1_Click()
{
    if (m_running) {
        press();
        return;
    }
    press();
    while (m_startWaiting) {
        m_startWaiting = false;
        press();
    }
}

void SearchRun::press()
{
    GuardedProcedure guard(m_boxes, QStringLiteral("PushButton1_Click"));
    CaptionControl& button = m_startButton;

    // Line 100 creates the folder service: ours lives as long as the window.
    if (guard.test(102, [&] { return button.caption() == WindowText::stopCaption(); })) {
        guard.run(150, [&] { button.setCaption(m_state.SavedStartCaption); });
        guard.run(152, [&] { m_state.StopRequested = SearchState::True; });
        m_startWaiting = false;
        return;
    }
    if (m_running) {
        m_startWaiting = true;
        guard.run(108, [&] { button.setCaption(WindowText::stopCaption()); });
        return;
    }
    if (guard.test(104, [&] { return trimSpaces(m_phrase.text()).isEmpty(); })) {
        guard.run(148, [&] { m_boxes.information(tr("Input search for what phrase.")); });
        return;
    }
    const BusyState::Scope busy(m_busy);
    m_running = true;
    guard.run(106, [&] { m_state.SavedStartCaption = button.caption(); });
    guard.run(108, [&] { button.setCaption(WindowText::stopCaption()); });
    guard.run(110, [&] { m_state.StopRequested = SearchState::False; });
    guard.run(112, [&] { m_pointer.setValue(PointerSetting::Busy); });
    qint16 compareMode = 0;
    guard.run(114, [&] { compareMode = m_matchCase.value() != 0 ? 0 : 1; });

    if (guard.test(116, [&] { return m_locations.count() == 0; })) {
        guard.run(140, [&] { m_boxes.information(tr("No folders added.")); });
        guard.run(142, [&] { button.setCaption(m_state.SavedStartCaption); });
        guard.run(144, [&] { m_state.StopRequested = SearchState::True; });
    } else {
        searchLocations(guard, compareMode);
        guard.run(132, [&] { m_locations.setColumnCaption(WindowText::tr("Folder(s)")); });
        guard.run(134, [&] { m_boxes.information(tr("Done.")); });
        guard.run(136, [&] { button.setCaption(m_state.SavedStartCaption); });
        guard.run(138, [&] { m_state.StopRequested = SearchState::True; });
    }
    guard.run(146, [&] { m_pointer.setValue(PointerSetting::Default); });
    m_running = false;
}

void SearchRun::searchLocations(GuardedProcedure& guard, qint16 compareMode)
{
    const SearchEngineContext context { m_state, m_fullPath, m_locations, m_pump, m_folders };
    LocationReports failures(guard);
    // Reading the row, opening its folder and walking it form one unit: a
    // failure in any of them moves on to the next location.
    const auto runForLocation = [&failures](int line, auto&& statement) {
        if (const std::optional<QString> failure = GuardedProcedure::attempt(statement)) {
            failures.addUnsearched(*failure, line);
            return false;
        }
        return true;
    };
    // A location on a dead network share keeps the check waiting: the window
    // is served meanwhile, and Stop leaves the check behind.
    const dirwalk::WaitHandler keepWaiting = [this] {
        m_pump.pump();
        return m_state.StopRequested == SearchState::False;
    };
    const int count = guard.loopCount(118, [&] { return m_locations.count(); });
    for (int position = 0; position < count; ++position) {
        guard.run(120, [&] { m_pump.pump(); });
        if (guard.test(122, [&] { return m_state.StopRequested != SearchState::False; }))
            break;
        QByteArray path; // the row's own bytes: a name need not be valid text
        if (!runForLocation(124, [&] { path = m_locations.nativePath(position); }))
            continue;
        Folder folder;
        if (!runForLocation(126, [&] { folder = m_folders.getNativeFolder(path, keepWaiting); }))
            continue;
        if (folder.waitGivenUp)
            continue; // for a stop, which the loop's next test sees
        WalkReport report;
        const bool walked = runForLocation(128, [&] {
            report
                = GetSubDirectories2016(folder, m_phrase.text(), compareMode, m_results, context);
        });
        if (walked)
            failures.addUnread(report, 128);
    }
    failures.finish();
}

} // namespace vantorel
