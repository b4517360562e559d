// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SkinnableWindow.h"

#include <QPointer>
#include <QWidget>

namespace vantorel
{

/// One widget of the window as the appearance step sees it.
class QtSkinnableControl : public SkinnableControl
{
public:
    explicit QtSkinnableControl(QWidget* widget);

    Kind kind() const override;
    void setBackColor(quint32 colour) override;

    QWidget* widget() const { return m_widget; }

    static Kind kindOf(const QWidget& widget);

private:
    QPointer<QWidget> m_widget;
};

} // namespace vantorel
