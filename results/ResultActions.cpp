// SPDX-License-Identifier: MIT
#include "results/ResultActions.h"

#include "platform/Failure.h"
#include "results/ClipboardRetry.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace vantorel {

ResultActions::ResultActions(ListControl& results, ProgramLauncher& launcher, FileSystem& files,
                             Clipboard& clipboard, MessageBoxes& boxes)
    : m_results(results)
    , m_launcher(launcher)
    , m_files(files)
    , m_clipboard(clipboard)
    , m_boxes(boxes)
{
}

QString ResultActions::containingFolder(const QString& path)
{
    QString portable = QDir::fromNativeSeparators(path);
    while (portable.size() > 1 && portable.endsWith(QLatin1Char('/')))
        portable.chop(1);
    const QFileInfo info(portable);
    if (info.isRoot() || !portable.contains(QLatin1Char('/')))
        return path;
    return QDir::toNativeSeparators(info.path());
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

void ResultActions::open(const QString& folder)
{
    // A folder removed since the search would only make the file manager
    // complain in its own words, or not at all.
    if (!m_files.fileExists(folder)) {
        m_boxes.information(goneMessage(folder));
        return;
    }
    if (!m_launcher.openFolder(folder))
        m_boxes.information(notOpenedMessage(folder));
}

void ResultActions::openFolder(int row)
{
    QString path;
    try {
        path = m_results.fullPath(row);
    } catch (const Failure&) {
        return;
    }
    open(path);
}

void ResultActions::openContainingFolder(int row)
{
    QString path;
    try {
        path = m_results.fullPath(row);
    } catch (const Failure&) {
        return;
    }
    open(containingFolder(path));
}

template <class Read>
void ResultActions::copyLines(const std::vector<int>& rows, Read read)
{
    QStringList lines;
    for (int row : rows) {
        try {
            lines.append(read(row));
        } catch (const Failure&) {
        }
    }
    if (!lines.isEmpty())
        SetClipboardText(m_clipboard, lines.join(QLatin1Char('\n')), 0);
}

void ResultActions::copyPaths(const std::vector<int>& rows)
{
    copyLines(rows, [this](int row) { return m_results.fullPath(row); });
}

void ResultActions::copyTexts(const std::vector<int>& rows)
{
    copyLines(rows, [this](int row) { return m_results.text(row); });
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
