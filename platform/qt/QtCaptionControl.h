// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WindowControls.h"

class QAbstractButton;

namespace vantorel
{

class QtCaptionControl : public CaptionControl
{
public:
    explicit QtCaptionControl(QAbstractButton& button);
    QString caption() const override;
    void setCaption(const QString& caption) override;

private:
    QAbstractButton& m_button;
};

} // namespace vantorel
