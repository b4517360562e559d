// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace vantorel
{

/// The system's folder chooser, opened at the initial folder.
class QtFolderBrowser : public FolderBrowser
{
public:
    explicit QtFolderBrowser(QWidget* parent);
    QString browseForFolder(const QString& title, const QString& initialFolder) override;
    /// The chooser's answer is a file address, which can carry every byte of a
    /// name; its text could not.
    QByteArray browseForNativeFolder(const QString& title, const QString& initialFolder) override;

private:
    QWidget* m_parent;
};

} // namespace vantorel
