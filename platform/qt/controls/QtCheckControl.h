// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WindowControls.h"

class QCheckBox;

namespace vantorel
{

/// A check box: 0 clear, 1 ticked, 2 greyed.
class QtCheckControl : public CheckControl
{
public:
    explicit QtCheckControl(QCheckBox& box);
    qint16 value() const override;
    void setValue(qint16 value) override;

private:
    QCheckBox& m_box;
};

} // namespace vantorel
