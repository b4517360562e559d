// SPDX-License-Identifier: MIT
#include "shell/qt/AccessibleNames.h"

#include "platform/qt/list/ListView.h"
#include "shell/common/WindowText.h"
#include "shell/qt/Form1Layout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vantorel
{

void AccessibleNames::apply(Form1Layout& ui)
{
    // The lists' headers change during a search ("Searching ..."): the names
    // keep the designed captions.
    ui.ListView1->setAccessibleName(WindowText::tr("Folder(s): the folders to search within"));
    ui.ListView2->setAccessibleName(WindowText::tr("Results: the folders found"));

    for (QGroupBox* frame : { ui.Frame1, ui.Frame2, ui.Frame3 })
        frame->setAccessibleName(frame->title());
    ui.Text1->setAccessibleName(ui.Frame3->title());

    QAbstractButton* const buttons[] = { ui.PushButton1, ui.PushButton2, ui.PushButton3,
        ui.PushButton4, ui.PushButton5, ui.PushButton6, ui.PushButton7, ui.PushButton8,
        ui.PushButton11, ui.PushButton17, ui.Check4, ui.Option1, ui.Option2 };
    for (QAbstractButton* button : buttons)
        button->setAccessibleName(button->text().trimmed());
}

} // namespace vantorel
