// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace vantorel
{

/// The system's save-file dialog. Overwriting is asked about by the command,
/// not by the dialog, and a name typed without an extension keeps none.
class QtSaveFileDialog : public SaveFileDialog
{
public:
    explicit QtSaveFileDialog(QWidget* parent);
    QString showSave(const SaveDialogRequest& request) override;

    /// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|" as Qt's
    /// "Text Files (*.txt);;All Files (*.*)": the descriptions of the pairs,
    /// each carrying its pattern in brackets when it does not show it already.
    static QString qtFilter(const QString& filter);

private:
    QWidget* m_parent;
};

} // namespace vantorel
