// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QSize>

class QScrollBar;
class QWheelEvent;
class QWidget;

namespace vantorel
{

/// Keeps every control of a form of fixed design within reach on a screen
/// too small for it. Given less room than the design needs, the window
/// shrinks to the room, scroll bars appear at its edges, and the controls
/// slide under them as the bars, the mouse wheel or the keyboard focus ask.
/// Given room enough, the window is exactly its design: no bar, nothing moved.
/// The controls keep their sizes, fonts and order; only their view moves.
class FormScroller : public QObject
{
public:
    /// Takes the form's direct children where they stand as the design.
    FormScroller(QWidget& form, QSize design);

    /// Fits the window's client area into `room`.
    void fitTo(QSize room);
    /// How far the controls are slid up and to the left.
    QPoint offset() const { return m_offset; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scrollTo(QPoint offset);
    void bringIntoView(QWidget* focused);
    QScrollBar* makeBar(Qt::Orientation orientation, const char* name);
    static bool handOn(const QWheelEvent& wheel, QWidget& receiver, QPointF position);

    QWidget& m_form;
    QSize m_design;
    QSize m_view;
    QPoint m_offset;
    QHash<QWidget*, QPoint> m_designPlaces;
    QScrollBar* m_vertical;
    QScrollBar* m_horizontal;
};

} // namespace vantorel
