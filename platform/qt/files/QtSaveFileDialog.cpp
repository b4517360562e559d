// SPDX-License-Identifier: MIT
#include "platform/qt/files/QtSaveFileDialog.h"

#include "platform/files/DialogStartFolder.h"

#include <QRegularExpression>

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace vantorel
{

QtSaveFileDialog::QtSaveFileDialog(QWidget* parent)
    : m_parent(parent)
{
}

QString QtSaveFileDialog::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        if (description.isEmpty() && pattern.isEmpty())
            continue;
        const QString patterns = QString(pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.isEmpty())
            entries.append(QStringLiteral("(%1)").arg(patterns));
        else if (description.contains(QLatin1Char('(')) || patterns.isEmpty())
            entries.append(description);
        else
            entries.append(QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return entries.join(QLatin1String(";;"));
}

QString QtSaveFileDialog::suffixOf(const QString& qtFilterEntry)
{
    // "Text Files (*.txt)" gives "txt"; "All Files (*.*)" and several patterns give none.
    static const QRegularExpression onePattern(QStringLiteral("\\(\\*\\.([^*?. ]+)\\)$"));
    const QRegularExpressionMatch match = onePattern.match(qtFilterEntry.trimmed());
    return match.hasMatch() ? match.captured(1) : QString();
}

QString QtSaveFileDialog::showSave(const SaveDialogRequest& request)
{
    QFileDialog dialog(
        m_parent, request.title, dialogStartFolder(request.startFolder), qtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString proposed = request.fileName.isEmpty() ? request.proposedName : request.fileName;
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return request.fileName;
    QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty())
        return request.fileName;
    // A name typed without a suffix gets the chosen filter's, as the filter
    // promises; read at the end, so that every way of choosing a filter counts.
    // A name that is already there (a device, a file, a link to nothing) is
    // the one the user means: adding the suffix would write somewhere else.
    const QString suffix = suffixOf(dialog.selectedNameFilter());
    const QFileInfo typed(chosen);
    const bool taken = typed.exists() || typed.isSymLink();
    if (!suffix.isEmpty() && !taken && typed.suffix().isEmpty()
        && !typed.fileName().endsWith(QLatin1Char('.')))
        chosen += QLatin1Char('.') + suffix;
    return QDir::toNativeSeparators(chosen);
}

} // namespace vantorel
