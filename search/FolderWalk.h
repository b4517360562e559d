// SPDX-License-Identifier: MIT
#pragma once

#include "platform/TimeSlicedPump.h"
#include "search/FolderSearchEngine.h"
#include "search/NameMatcher.h"

#include <memory>
#include <string>
#include <vector>

namespace vantorel
{

/// The walk of one search location for GetSubDirectories2016. Iterative, so
/// that the depth of a tree is bounded by memory and not by the stack.
class FolderWalk
{
public:
    FolderWalk(const Folder& folder, const QString& phrase, qint16 compareMode,
        ListControl& results, const SearchEngineContext& context)
        : m_matcher(phrase, compareMode)
        , m_results(results)
        , m_context(context)
        , m_path(folder.nativePath.constData(), std::size_t(folder.nativePath.size()))
        , m_pump(context.pump)
    {
    }
    FolderWalk(const FolderWalk&) = delete;
    FolderWalk& operator=(const FolderWalk&) = delete;

    /// Walks the whole tree once.
    WalkReport run();

private:
    /// One folder being enumerated: its subfolders and how far the walk has got.
    struct Level {
        dirwalk::SubfolderList subfolders;
        std::size_t next = 0;
        std::size_t pathLength = 0; ///< of the parent's path, to cut back to on leaving
    };

    /// Serves the window while a listing keeps the walk waiting; false once
    /// a stop was asked for.
    bool keepWaiting();
    bool enter(std::string_view name);
    void leave();
    void showProgressAndPump();
    void appendMatch(std::string_view name);
    void addUnlisted(const std::string& reason);

    NameMatcher m_matcher;
    ListControl& m_results;
    const SearchEngineContext& m_context;
    std::unique_ptr<dirwalk::DirectoryCursor> m_cursor;
    /// Native path of the folder being enumerated; while a subfolder is
    /// entered, "/" and its name are appended and cut off again.
    std::string m_path;
    /// Levels of the walk; entries past m_depth are kept for their buffers.
    std::vector<Level> m_levels;
    std::size_t m_depth = 0;
    /// The window stays unanswered at most one slice between two pumps.
    TimeSlicedPump m_pump;
    WalkReport m_report;
    /// A wait for a listing was given up for a stop: the walk ends.
    bool m_waitGivenUp = false;
};

} // namespace vantorel
