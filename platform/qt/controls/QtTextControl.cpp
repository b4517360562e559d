// SPDX-License-Identifier: MIT
#include "platform/qt/controls/QtTextControl.h"

#include <QLineEdit>
#include <climits>

namespace vantorel
{

QtTextControl::QtTextControl(QLineEdit& edit)
    : m_edit(edit)
{
    m_edit.setMaxLength(INT_MAX);
}

QString QtTextControl::text() const
{
    return m_edit.text();
}

void QtTextControl::setText(const QString& text)
{
    // textChanged, and so the change notification, comes only from a real change.
    if (text != m_edit.text())
        m_edit.setText(text);
}

} // namespace vantorel
