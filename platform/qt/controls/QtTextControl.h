// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WindowControls.h"

class QLineEdit;

namespace vantorel
{

/// A one-line text box without a length limit.
class QtTextControl : public TextControl
{
public:
    explicit QtTextControl(QLineEdit& edit);
    QString text() const override;
    void setText(const QString& text) override;

private:
    QLineEdit& m_edit;
};

} // namespace vantorel
