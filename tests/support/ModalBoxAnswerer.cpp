// SPDX-License-Identifier: MIT
#include "ModalBoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace vantorel::test
{

QWidget* openBox()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && qobject_cast<QDialog*>(widget))
            return widget;
    return nullptr;
}

ModalBoxAnswerer::ModalBoxAnswerer()
{
    connect(&m_timer, &QTimer::timeout, this, &ModalBoxAnswerer::answerOpenBox);
    m_timer.start(5);
}

QStringList ModalBoxAnswerer::texts() const
{
    QStringList result;
    for (const Box& box : boxes)
        result.append(box.text);
    return result;
}

void ModalBoxAnswerer::answerOpenBox()
{
    QWidget* modal = openBox();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        if (box->property("answered").toBool())
            return;
        box->setProperty("answered", true);
        boxes.append(Box { box->windowTitle(), box->text() });
        if (whileOpen)
            whileOpen(boxes.last());
        QAbstractButton* button = box->button(QMessageBox::Ok);
        if (!button) {
            const bool yes = yesNo.isEmpty() ? true : yesNo.takeFirst();
            button = box->button(yes ? QMessageBox::Yes : QMessageBox::No);
        }
        if (button)
            button->click();
    } else if (auto* input = qobject_cast<QInputDialog*>(modal)) {
        if (input->property("answered").toBool())
            return;
        input->setProperty("answered", true);
        boxes.append(Box { input->windowTitle(), input->labelText() });
        if (inputs.isEmpty()) {
            input->reject();
        } else {
            input->setTextValue(inputs.takeFirst());
            input->accept();
        }
    } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        if (files->property("answered").toBool())
            return;
        files->setProperty("answered", true);
        fileDialogs.append(files->windowTitle());
        if (files->acceptMode() == QFileDialog::AcceptSave) {
            saveDialogTexts += files->nameFilters();
            saveDialogTexts += QFileInfo(files->selectedFiles().value(0)).fileName();
        }
        if (fileChoices.isEmpty()) {
            files->reject();
        } else {
            const QString choice = fileChoices.takeFirst();
            // A name without a suffix is taken as typed, as with "All Files"
            // chosen: the text filter would add ".txt" to it.
            if (QFileInfo(choice).suffix().isEmpty() && !files->nameFilters().isEmpty())
                files->selectNameFilter(files->nameFilters().constLast());
            files->selectFile(choice);
            static_cast<QDialog*>(files)->done(QDialog::Accepted);
        }
    }
}

} // namespace vantorel::test
