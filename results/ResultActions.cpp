// SPDX-License-Identifier: MIT
#include "results/ResultActions.h"

#include "platform/Failure.h"
#include "results/ClipboardRetry.h"

#include "platform/DirectoryCursor.h"

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
    return QStringLiteral("This folder is no longer there:\n") + QDir::toNativeSeparators(path);
}

QString ResultActions::notOpenedMessage(const QString& path)
{
    return QStringLiteral("The desktop could not open this folder:\n")
        + QDir::toNativeSeparators(path);
}

void ResultActions::open(const QByteArray& folder)
{
    // A folder removed since the search would only make the file manager
    // complain in its own words, or not at all.
    if (!m_files.folderExists(folder)) {
        m_boxes.information(goneMessage(QFile::decodeName(folder)));
        return;
    }
    if (!m_launcher.openNativeFolder(folder))
        m_boxes.information(notOpenedMessage(QFile::decodeName(folder)));
}

void ResultActions::openFolder(int row)
{
    QByteArray path;
    try {
        path = m_results.nativePath(row);
    } catch (const Failure&) {
        return;
    }
    open(path);
}

void ResultActions::openContainingFolder(int row)
{
    QByteArray path;
    try {
        path = m_results.nativePath(row);
    } catch (const Failure&) {
        return;
    }
    open(containingFolder(path));
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
