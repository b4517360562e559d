// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WindowControls.h"

#include <functional>

class QAbstractButton;

namespace vantorel
{

class QtCaptionControl : public CaptionControl
{
public:
    explicit QtCaptionControl(QAbstractButton& button);
    QString caption() const override;
    void setCaption(const QString& caption) override;
    /// Runs `changed` with every caption set from now on; empty for none.
    void whenChanged(std::function<void(const QString&)> changed)
    {
        m_changed = std::move(changed);
    }

private:
    QAbstractButton& m_button;
    std::function<void(const QString&)> m_changed;
};

} // namespace vantorel
