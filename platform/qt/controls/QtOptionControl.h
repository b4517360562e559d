// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WindowControls.h"

class QRadioButton;

namespace vantorel
{

class QtOptionControl : public OptionControl
{
public:
    explicit QtOptionControl(QRadioButton& button);
    bool isSelected() const override;
    void select() override;

private:
    QRadioButton& m_button;
};

} // namespace vantorel
