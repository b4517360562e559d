// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vantorel
{

/// What the save command sets on the file dialog before showing it.
struct SaveDialogRequest {
    QString fileName;
    int flags = 0;
    QString title;
    /// Pairs of description and pattern, every part followed by '|'.
    QString filter;
    /// Where the dialog opens (the home folder when this is no folder) and the
    /// name it proposes there; neither is taken as chosen on cancel.
    QString startFolder;
    QString proposedName;
};

class SaveFileDialog
{
public:
    virtual ~SaveFileDialog() = default;
    /// Shows the modal save dialog; the chosen path, or the request's file name on cancel.
    virtual QString showSave(const SaveDialogRequest& request) = 0;
};

class FolderBrowser
{
public:
    virtual ~FolderBrowser() = default;
    /// The chosen folder's full path, or the empty text when the user cancels.
    virtual QString browseForFolder(const QString& title, const QString& initialFolder) = 0;
    /// The chosen folder's full path as the file system names it, which need
    /// not be valid text; empty when the user cancels.
    virtual QByteArray browseForNativeFolder(const QString& title, const QString& initialFolder)
    {
        return QFile::encodeName(browseForFolder(title, initialFolder));
    }
};

} // namespace vantorel
