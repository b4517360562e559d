// SPDX-License-Identifier: MIT
#include "platform/qt/QtFolderBrowser.h"

#include "platform/qt/DialogStartFolder.h"

#include <QDir>
#include <QFileDialog>

namespace vantorel
{

QtFolderBrowser::QtFolderBrowser(QWidget* parent)
    : m_parent(parent)
{
}

QString QtFolderBrowser::browseForFolder(const QString& title, const QString& initialFolder)
{
    const QString chosen
        = QFileDialog::getExistingDirectory(m_parent, title, dialogStartFolder(initialFolder));
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen);
}

} // namespace vantorel
