// SPDX-License-Identifier: MIT
#include "platform/qt/files/QtFolderBrowser.h"

#include "platform/files/DialogStartFolder.h"
#include "platform/files/NativeFileUrl.h"

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

QByteArray QtFolderBrowser::browseForNativeFolder(
    const QString& title, const QString& initialFolder)
{
    const QUrl chosen = QFileDialog::getExistingDirectoryUrl(m_parent, title,
        QUrl::fromLocalFile(dialogStartFolder(initialFolder)), QFileDialog::ShowDirsOnly,
        { QStringLiteral("file") });
    return chosen.isLocalFile() ? nativePathOfFileUrl(chosen) : QByteArray();
}

} // namespace vantorel
