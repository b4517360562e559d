// SPDX-License-Identifier: MIT
#include "results/ResultActions.h"

#include "platform/Failure.h"
#include "results/ClipboardRetry.h"

#include "platform/walk/DirectoryCursor.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace vantorel
{

ResultActions::ResultActions(ListControl& results, ProgramLauncher& launcher, FileSystem& files,
    Clipboard& clipboard, MessageBoxes& boxes)
    : m_results(results)
    , m_launcher(launcher)
    , m_files(files)
    , m_clipboard(clipboard)
    , m_boxes(boxes)
{
}

// On bytes, not text: the decoded text of a name that is not valid text
// names another folder, or none.
QByteArray ResultActions::containingFolder(const QByteArray& path)
{
    const auto isSeparator = [](char c) { return c == '/' || c == dirwalk::kPathSeparator; };
    qsizetype end = path.size();
    while (end > 1 && isSeparator(path[end - 1]))
        --end;
    qsizetype cut = end - 1;
    while (cut >= 0 && !isSeparator(path[cut]))
        --cut;
    if (cut < 0)
        return path;
    // The root itself, or a drive's root, keeps its separator.
    if (cut == 0 || path[cut - 1] == ':')
        return path.left(cut + 1);
    return path.left(cut);
}

QString ResultActions::goneMessage(const QString& path)
{
    //: The folder's path follows on the next line.
    return tr("This folder is no longer there:\n") + QDir::toNativeSeparators(path);
}

QString ResultActions::notOpenedMessage(const QString& path)
{
    //: The folder's path follows on the next line.
    return tr("The desktop could not open this folder:\n") + QDir::toNativeSeparators(path);
}

QString ResultActions::noFileManagerMessage(const QString& path)
{
    //: The folder's path follows on the next line.
    return tr("No file manager is set to open folders, so this folder cannot be shown:\n")
        + QDir::toNativeSeparators(path);
}

// A folder removed since the search would only make the file manager
// complain in its own words, or not at all.
bool ResultActions::stillThere(const QByteArray& folder)
{
    if (m_files.folderExists(folder))
        return true;
    m_boxes.information(goneMessage(QFile::decodeName(folder)));
    return false;
}

void ResultActions::report(FolderShowing showing, const QByteArray& folder)
{
    switch (showing) {
    case FolderShowing::Shown:
        return;
    case FolderShowing::NotAsked:
        m_boxes.information(notOpenedMessage(QFile::decodeName(folder)));
        return;
    case FolderShowing::OwnOpener:
        m_boxes.information(noFileManagerMessage(QFile::decodeName(folder)));
        return;
    }
}

ProgramLauncher::ShowingDone ResultActions::reporter(const QByteArray& folder)
{
    return [this, alive = std::weak_ptr<bool>(m_alive), folder](FolderShowing showing) {
        if (!alive.expired())
            report(showing, folder);
    };
}

void ResultActions::openFolder(int row)
{
    QByteArray path;
    try {
        path = m_results.nativePath(row);
    } catch (const Failure&) {
        return; // a row gone since the menu opened: nothing was asked of it
    }
    if (stillThere(path))
        m_launcher.showFolder(path, reporter(path));
}

void ResultActions::openContainingFolder(int row)
{
    QByteArray path;
    try {
        path = m_results.nativePath(row);
    } catch (const Failure&) {
        return; // a row gone since the menu opened: nothing was asked of it
    }
    const QByteArray folder = containingFolder(path);
    if (!stillThere(folder))
        return;
    // Gone itself, or the root: there is nothing to select.
    if (folder == path || !m_files.folderExists(path))
        m_launcher.showFolder(folder, reporter(folder));
    else
        m_launcher.showItem(path, folder, reporter(folder));
}

void ResultActions::copyPaths(const std::vector<int>& rows)
{
    QStringList lines;
    QList<QByteArray> paths;
    for (int row : rows) {
        try {
            const QString line = m_results.fullPath(row);
            paths.append(m_results.nativePath(row));
            lines.append(line);
        } catch (const Failure&) {
            // A row gone since it was selected is left out, as the class
            // promises; the rows still there are copied.
        }
    }
    if (!lines.isEmpty())
        SetClipboardPaths(m_clipboard, lines.join(QLatin1Char('\n')), paths);
}

void ResultActions::copyTexts(const std::vector<int>& rows)
{
    QStringList lines;
    for (int row : rows) {
        try {
            lines.append(m_results.text(row));
        } catch (const Failure&) {
            // A row gone since it was selected is left out, as above.
        }
    }
    if (!lines.isEmpty())
        SetClipboardText(m_clipboard, lines.join(QLatin1Char('\n')), 0);
}

void ResultActions::tickAll()
{
    m_results.setAllChecked(true);
}

void ResultActions::untickAll()
{
    m_results.setAllChecked(false);
}

} // namespace vantorel
