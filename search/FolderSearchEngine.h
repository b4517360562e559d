// SPDX-License-Identifier: MIT
#pragma once

#include "platform/EventPump.h"
#include "platform/FolderService.h"
#include "platform/ListControl.h"
#include "platform/WindowControls.h"
#include "search/SearchState.h"

#include <QString>
#include <vector>

namespace vantorel
{

/// What the walk reads and writes beyond its arguments.
struct SearchEngineContext {
    const SearchState& state; ///< StopRequested, checked before every subfolder
    const OptionControl& fullPath; ///< "Display full path", read at each match
    ListControl& locations; ///< its column caption shows "Searching " + path
    EventPump& pump;
    FolderService& folders;
};

/// A folder met during the walk (the location itself included) whose
/// subfolders could not be listed.
struct UnlistedFolder {
    QString path;
    QString reason;
};

struct WalkReport {
    std::vector<UnlistedFolder> unlisted;
    bool stopped = false;
};

/// Walks every folder below `folder`, depth first and pre-order, and appends a
/// row to `results` for each folder whose name contains `phrase`. CompareMode 0
/// compares exactly; any other value ignores letter case and character width.
/// A list control's failure is thrown to the caller; a folder that cannot be
/// listed is tested and listed like any other, not entered, and reported back.
WalkReport GetSubDirectories2016(const Folder& folder, const QString& phrase, qint16 CompareMode,
    ListControl& results, const SearchEngineContext& context);

} // namespace vantorel
