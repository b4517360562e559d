// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WindowSurface.h"

class QWidget;

namespace vantorel
{

class QtPointerSetting;

class QtWindowSurface : public WindowSurface
{
public:
    QtWindowSurface(QWidget& window, QtPointerSetting& pointer);
    void setCaption(const QString& caption) override;
    void setProgramIcon() override;
    void setCustomPointerImage(const QString& path) override;

private:
    QWidget& m_window;
    QtPointerSetting& m_pointer;
};

} // namespace vantorel
