// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Clipboard.h"
#include "platform/FileSystem.h"
#include "platform/ListControl.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramEnvironment.h"

#include <QCoreApplication>
#include <QString>
#include <memory>
#include <vector>

namespace vantorel
{

/// What the results list offers on its rows besides the window's commands:
/// opening a row's folder or the folder that holds it, copying, ticking. Rows
/// are 0-based positions; a row that is no longer in the list is passed over.
/// None of it changes a row's text, and the "Copy Results To Clipboard"
/// command keeps its own rules.
class ResultActions
{
    Q_DECLARE_TR_FUNCTIONS(ResultActions)

public:
    ResultActions(ListControl& results, ProgramLauncher& launcher, FileSystem& files,
        Clipboard& clipboard, MessageBoxes& boxes);

    /// Shows the row's folder in the desktop's file manager. What went wrong
    /// is said once the desktop has answered.
    void openFolder(int row);
    /// Shows the folder that holds the row's folder, with the row's folder
    /// selected.
    void openContainingFolder(int row);
    /// Puts the full paths of the rows on the clipboard, one a line (the
    /// platform's line end, a line feed, with none after the last), and
    /// beside them the rows' folders as file addresses: the text shows a name
    /// that is not valid text with replacement characters, the addresses keep
    /// its bytes for a paste into a file manager.
    void copyPaths(const std::vector<int>& rows);
    /// Puts the rows' texts, as the list shows them, on the clipboard, one a
    /// line. No rows leave the clipboard alone.
    void copyTexts(const std::vector<int>& rows);
    void tickAll();
    void untickAll();

    /// The folder that holds `path`, as the file system names both; the path
    /// itself when it has no parent.
    static QByteArray containingFolder(const QByteArray& path);
    static QString goneMessage(const QString& path);
    static QString notOpenedMessage(const QString& path);
    static QString noFileManagerMessage(const QString& path);

private:
    /// Whether `folder` is still there; says so when it is not.
    bool stillThere(const QByteArray& folder);
    void report(FolderShowing showing, const QByteArray& folder);
    /// Reports how showing `folder` went, if this object is still there then.
    ProgramLauncher::ShowingDone reporter(const QByteArray& folder);

    ListControl& m_results;
    ProgramLauncher& m_launcher;
    FileSystem& m_files;
    Clipboard& m_clipboard;
    MessageBoxes& m_boxes;
    /// Gone with this object: an answer that comes later finds no one to tell.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace vantorel
