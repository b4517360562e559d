// SPDX-License-Identifier: MIT
#include "platform/qt/skin/QtSkinnableControl.h"

#include "platform/Failure.h"
#include "platform/qt/skin/QtBackColor.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace vantorel
{

QtSkinnableControl::QtSkinnableControl(QWidget* widget)
    : m_widget(widget)
{
}

SkinnableControl::Kind QtSkinnableControl::kindOf(const QWidget& widget)
{
    // Most specific first: a radio button and a check box are buttons too.
    if (qobject_cast<const QRadioButton*>(&widget))
        return Kind::OptionButton;
    if (qobject_cast<const QCheckBox*>(&widget))
        return Kind::CheckBox;
    if (qobject_cast<const QAbstractButton*>(&widget))
        return Kind::CommandButton;
    if (qobject_cast<const QGroupBox*>(&widget))
        return Kind::Frame;
    if (qobject_cast<const QLabel*>(&widget))
        return Kind::Label;
    if (qobject_cast<const QAbstractItemView*>(&widget))
        return Kind::List;
    if (qobject_cast<const QLineEdit*>(&widget))
        return Kind::TextBox;
    return Kind::Other;
}

SkinnableControl::Kind QtSkinnableControl::kind() const
{
    if (!m_widget)
        throw Failure(Failure::tr("Object required"));
    return kindOf(*m_widget);
}

void QtSkinnableControl::setBackColor(quint32 colour)
{
    if (!m_widget)
        throw Failure(Failure::tr("Object required"));
    vantorel::setBackColor(*m_widget, colour);
}

} // namespace vantorel
