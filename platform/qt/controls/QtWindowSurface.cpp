// SPDX-License-Identifier: MIT
#include "platform/qt/controls/QtWindowSurface.h"

#include "platform/qt/desktop/ProgramIcon.h"
#include "platform/qt/pointer/CursorFile.h"
#include "platform/qt/pointer/QtPointerSetting.h"

#include <QWidget>

namespace vantorel
{

QtWindowSurface::QtWindowSurface(QWidget& window, QtPointerSetting& pointer)
    : m_window(window)
    , m_pointer(pointer)
{
}

void QtWindowSurface::setCaption(const QString& caption)
{
    m_window.setWindowTitle(caption);
}

void QtWindowSurface::setProgramIcon()
{
    m_window.setWindowIcon(ProgramIcon::icon());
}

void QtWindowSurface::setCustomPointerImage(const QString& path)
{
    m_pointer.setCustomCursor(CursorFile::load(path));
}

} // namespace vantorel
