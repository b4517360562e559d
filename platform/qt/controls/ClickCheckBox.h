// SPDX-License-Identifier: MIT
#pragma once

#include <QCheckBox>

namespace vantorel
{

/// A check box that the program may grey but the user only ticks and clears:
/// a click on a greyed box ticks it, as the system's own check boxes do.
class ClickCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit ClickCheckBox(const QString& text, QWidget* parent = nullptr);

protected:
    void nextCheckState() override;
};

} // namespace vantorel
