// SPDX-License-Identifier: MIT
#pragma once

#include "platform/PointerMoves.h"

#include <QHash>
#include <QObject>

class QWidget;

namespace vantorel
{

/// Hands the pointer moves over the window's controls to their pointer-move
/// handlers. A control without a handler stops the move there, so that the
/// frame around it does not answer in its place.
class QtPointerMoveFilter : public QObject
{
    Q_OBJECT

public:
    explicit QtPointerMoveFilter(PointerMoves& handlers);

    /// Watches `control` and its inner parts with the handler of its name.
    void watch(QWidget& control);
    /// Watches every named control of `window`, the window itself included.
    void watchAll(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchAs(QWidget& widget, PointerArea area);

    PointerMoves& m_handlers;
    QHash<const QObject*, PointerArea> m_areas;
};

} // namespace vantorel
