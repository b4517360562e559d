// SPDX-License-Identifier: MIT
#include "platform/qt/controls/ClickCheckBox.h"

namespace vantorel
{

ClickCheckBox::ClickCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent)
{
    setTristate(true);
}

void ClickCheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

} // namespace vantorel
