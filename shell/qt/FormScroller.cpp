// SPDX-License-Identifier: MIT
#include "shell/qt/FormScroller.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace vantorel
{

namespace
{

    // The least of the form that stays in view, however small the room.
    constexpr int kLeastView = 120;
    // Space kept around a control scrolled into view.
    constexpr int kViewMargin = 6;
    // A line of scrolling: about a control's height.
    constexpr int kLineStep = 20;

    // The new start of a view of `length` that shows [from, to), moved as
    // little as it can from `start`.
    int startShowing(int start, int length, int from, int to)
    {
        if (to - from > length || from < start)
            return from;
        if (to > start + length)
            return to - length;
        return start;
    }

} // namespace

FormScroller::FormScroller(QWidget& form, QSize design)
    : m_form(form)
    , m_design(design)
    , m_view(design)
{
    for (QObject* child : form.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isWindow())
            m_designPlaces.insert(widget, widget->pos());
    }
    m_vertical = makeBar(Qt::Vertical, "qt_form_vertical_scroll");
    m_horizontal = makeBar(Qt::Horizontal, "qt_form_horizontal_scroll");
    // The wheel is caught where it lands, on whichever control of the form.
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
        [this](QWidget*, QWidget* now) { bringIntoView(now); });
}

QScrollBar* FormScroller::makeBar(Qt::Orientation orientation, const char* name)
{
    auto* bar = new QScrollBar(orientation, &m_form);
    bar->setObjectName(QLatin1String(name));
    // Clicking a bar must not take the focus from the control being worked.
    bar->setFocusPolicy(Qt::NoFocus);
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, [this, orientation](int value) {
        scrollTo(orientation == Qt::Vertical ? QPoint(m_offset.x(), value)
                                             : QPoint(value, m_offset.y()));
    });
    return bar;
}

void FormScroller::fitTo(QSize room)
{
    const int extent = m_form.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &m_form);
    bool vertical = room.height() < m_design.height();
    bool horizontal = room.width() < m_design.width() + (vertical ? extent : 0);
    vertical = vertical || room.height() < m_design.height() + (horizontal ? extent : 0);
    m_view = QSize(std::clamp(room.width() - (vertical ? extent : 0), kLeastView, m_design.width()),
        std::clamp(room.height() - (horizontal ? extent : 0), kLeastView, m_design.height()));
    m_form.setFixedSize(
        m_view.width() + (vertical ? extent : 0), m_view.height() + (horizontal ? extent : 0));

    m_vertical->setGeometry(m_view.width(), 0, extent, m_view.height());
    m_vertical->setRange(0, m_design.height() - m_view.height());
    m_vertical->setPageStep(m_view.height());
    m_vertical->setSingleStep(kLineStep);
    m_vertical->setVisible(vertical);
    m_horizontal->setGeometry(0, m_view.height(), m_view.width(), extent);
    m_horizontal->setRange(0, m_design.width() - m_view.width());
    m_horizontal->setPageStep(m_view.width());
    m_horizontal->setVisible(horizontal);
    scrollTo({ m_horizontal->value(), m_vertical->value() });
}

void FormScroller::scrollTo(QPoint offset)
{
    if (offset == m_offset)
        return;
    m_offset = offset;
    for (auto it = m_designPlaces.cbegin(); it != m_designPlaces.cend(); ++it)
        it.key()->move(it.value() - offset);
}

// The control with the focus, or better the whole frame that holds it, is
// slid into view, so Tab reaches every control however small the view.
void FormScroller::bringIntoView(QWidget* focused)
{
    if (focused == nullptr || !m_form.isAncestorOf(focused) || m_view == m_design)
        return;
    QWidget* shown = focused;
    while (shown->parentWidget() != &m_form)
        shown = shown->parentWidget();
    if (shown->height() > m_view.height() || shown->width() > m_view.width())
        shown = focused;
    const QRect inForm(shown->mapTo(&m_form, QPoint(0, 0)) + m_offset, shown->size());
    const QRect wanted = inForm.adjusted(-kViewMargin, -kViewMargin, kViewMargin, kViewMargin);
    m_horizontal->setValue(
        startShowing(m_offset.x(), m_view.width(), wanted.left(), wanted.right() + 1));
    m_vertical->setValue(
        startShowing(m_offset.y(), m_view.height(), wanted.top(), wanted.bottom() + 1));
}

// A wheel turned over the form scrolls what is under the pointer if that can
// scroll that way (a list), else the form. The controls keep the wheel from
// their parents, so it is caught on its way to the control under the pointer.
bool FormScroller::eventFilter(QObject* watched, QEvent* event)
{
    auto* target = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::Wheel || !event->spontaneous() || m_view == m_design
        || target == nullptr || target == m_vertical || target == m_horizontal
        || (target != &m_form && !m_form.isAncestorOf(target)))
        return QObject::eventFilter(watched, event);
    const auto& wheel = *static_cast<QWheelEvent*>(event);
    if (target != &m_form && handOn(wheel, *target, wheel.position()))
        return true;
    const bool across = std::abs(wheel.angleDelta().x()) > std::abs(wheel.angleDelta().y());
    QScrollBar* bar = (across || m_vertical->isHidden()) ? m_horizontal : m_vertical;
    if (bar->isVisible())
        handOn(wheel, *bar, bar->mapFromGlobal(wheel.globalPosition()));
    return true;
}

// As Qt hands a scroll area's wheel on to its bar: a copy, not spontaneous,
// so that it goes to `receiver` alone. True when the receiver scrolled.
bool FormScroller::handOn(const QWheelEvent& wheel, QWidget& receiver, QPointF position)
{
    QWheelEvent copy(position, wheel.globalPosition(), wheel.pixelDelta(), wheel.angleDelta(),
        wheel.buttons(), wheel.modifiers(), wheel.phase(), wheel.inverted(), wheel.source(),
        wheel.pointingDevice());
    copy.setTimestamp(wheel.timestamp());
    copy.setAccepted(false);
    return QCoreApplication::sendEvent(&receiver, &copy) && copy.isAccepted();
}

} // namespace vantorel
