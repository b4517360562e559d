// SPDX-License-Identifier: MIT
#include "search/FolderWalk.h"

#include "shell/common/WindowText.h"

#include <QByteArray>
#include <QFile>

namespace vantorel
{

namespace
{

    QString pathText(std::string_view bytes)
    {
        return QFile::decodeName(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())));
    }

    QString reasonText(const std::string& reason)
    {
        return QString::fromLocal8Bit(reason.data(), qsizetype(reason.size()));
    }

    /// The locations list's header while `path` is searched.
    QString progressText(std::string_view path)
    {
        //: The folders list's header while a search runs; the folder's path follows.
        return WindowText::tr("Searching ") + pathText(path);
    }

} // namespace

void FolderWalk::showProgressAndPump()
{
    m_context.locations.setColumnCaption(progressText(m_path));
    m_pump.pumpNow();
}

// The row keeps the folder's bytes, not only its decoded text: a name that is
// not valid text must still open and save as the folder it is.
void FolderWalk::appendMatch(std::string_view name)
{
    struct CutBack {
        std::string& path;
        std::size_t length;
        ~CutBack() { path.resize(length); }
    } cutBack { m_path, m_path.size() };
    if (m_path.empty() || m_path.back() != dirwalk::kPathSeparator)
        m_path.push_back(dirwalk::kPathSeparator);
    m_path.append(name);
    m_results.appendFolder(m_path, name.size(), m_context.fullPath.isSelected());
}

void FolderWalk::addUnlisted(const std::string& reason)
{
    m_report.unlisted.push_back({ pathText(m_path), reasonText(reason) });
}

bool FolderWalk::keepWaiting()
{
    showProgressAndPump();
    m_waitGivenUp = m_context.state.StopRequested != SearchState::False;
    return !m_waitGivenUp;
}

bool FolderWalk::enter(std::string_view name)
{
    Level& child = m_levels[m_depth + 1];
    const std::size_t parentLength = m_path.size();
    if (m_path.empty() || m_path.back() != dirwalk::kPathSeparator)
        m_path.push_back(dirwalk::kPathSeparator);
    m_path.append(name);

    std::string reason;
    if (!m_cursor->enter(name, child.subfolders, reason)) {
        if (m_waitGivenUp)
            m_report.stopped = true;
        else
            addUnlisted(reason);
        m_path.resize(parentLength);
        return false;
    }
    child.next = 0;
    child.pathLength = parentLength;
    ++m_depth;
    return true;
}

void FolderWalk::leave()
{
    m_cursor->leave();
    m_path.resize(m_levels[m_depth].pathLength);
    --m_depth;
}

WalkReport FolderWalk::run()
{
    m_context.locations.setColumnCaption(progressText(m_path));
    m_cursor = m_context.folders.cursor();
    // The window is served while a listing keeps the walk waiting, and Stop
    // ends the walk there and then, however long the listing still takes.
    m_cursor->setWaitHandler([this] { return keepWaiting(); });
    m_levels.emplace_back();
    std::string reason;
    if (!m_cursor->openRoot(m_path, m_levels[0].subfolders, reason)) {
        if (m_waitGivenUp)
            m_report.stopped = true;
        else
            addUnlisted(reason);
        return m_report;
    }

    for (;;) {
        // Grown before `level` and the name viewed in it are taken: growing
        // moves the levels.
        if (m_levels.size() <= m_depth + 1)
            m_levels.emplace_back();
        Level& level = m_levels[m_depth];
        if (level.next == level.subfolders.size()) {
            if (m_depth == 0)
                break;
            leave();
            continue;
        }
        if (m_pump.due())
            showProgressAndPump();
        if (m_report.stopped || m_context.state.StopRequested != SearchState::False) {
            m_report.stopped = true;
            break;
        }
        // The pump may have run commands, but none of them reach the walk's
        // own levels, so `level` is still the folder being enumerated.
        const std::size_t index = level.next++;
        const std::string_view name = level.subfolders.name(index);
        if (m_matcher.matches(name))
            appendMatch(name);
        if (level.subfolders.kind(index) == dirwalk::FolderKind::Folder)
            enter(name);
    }
    return m_report;
}

} // namespace vantorel
