// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace vantorel
{

/// The system's save-file dialog. Overwriting is asked about by the command,
/// not by the dialog. It opens in the request's start folder or the home
/// folder, proposes the request's name, and a name typed without a suffix
/// gets the chosen filter's ("txt" for the text files, none for all files)
/// unless something already stands under it.
class QtSaveFileDialog : public SaveFileDialog
{
public:
    explicit QtSaveFileDialog(QWidget* parent);
    QString showSave(const SaveDialogRequest& request) override;

    /// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|" as Qt's
    /// "Text Files (*.txt);;All Files (*.*)": the descriptions of the pairs,
    /// each carrying its pattern in brackets when it does not show it already.
    static QString qtFilter(const QString& filter);
    /// The suffix a filter entry such as "Text Files (*.txt)" stands for, or none.
    static QString suffixOf(const QString& qtFilterEntry);

private:
    QWidget* m_parent;
};

} // namespace vantorel
