// SPDX-License-Identifier: MIT
#include "platform/qt/controls/QtCaptionControl.h"

#include <QAbstractButton>

namespace vantorel
{

QtCaptionControl::QtCaptionControl(QAbstractButton& button)
    : m_button(button)
{
}

QString QtCaptionControl::caption() const
{
    return m_button.text();
}

void QtCaptionControl::setCaption(const QString& caption)
{
    m_button.setText(caption);
    // Screen readers read the button by this name: it follows the caption.
    m_button.setAccessibleName(caption);
    if (m_changed)
        m_changed(caption);
}

} // namespace vantorel
