// SPDX-License-Identifier: MIT
#include "platform/qt/QtSaveFileDialog.h"

#include <QFileDialog>
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

QString QtSaveFileDialog::showSave(const SaveDialogRequest& request)
{
    const QString chosen = QFileDialog::getSaveFileName(m_parent, request.title, request.fileName,
        qtFilter(request.filter), nullptr, QFileDialog::DontConfirmOverwrite);
    return chosen.isEmpty() ? request.fileName : QDir::toNativeSeparators(chosen);
}

} // namespace vantorel
