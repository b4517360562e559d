// SPDX-License-Identifier: MIT
#include "platform/qt/list/OneLineHeader.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace vantorel
{

OneLineHeader::OneLineHeader(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setTextElideMode(Qt::ElideMiddle);
}

QString OneLineHeader::caption(int logicalIndex) const
{
    return model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
}

QStyleOptionHeader OneLineHeader::sectionOption(int logicalIndex, const QRect& rect) const
{
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.textAlignment = defaultAlignment();
    option.position = count() == 1                 ? QStyleOptionHeader::OnlyOneSection
        : visualIndex(logicalIndex) == 0           ? QStyleOptionHeader::Beginning
        : visualIndex(logicalIndex) == count() - 1 ? QStyleOptionHeader::End
                                                   : QStyleOptionHeader::Middle;
    if (isEnabled())
        option.state |= QStyle::State_Enabled;
    return option;
}

QString OneLineHeader::shownText(int logicalIndex) const
{
    QStyleOptionHeader option
        = sectionOption(logicalIndex, QRect(0, 0, sectionSize(logicalIndex), height()));
    const int room = style()->subElementRect(QStyle::SE_HeaderLabel, &option, this).width();
    QString text = caption(logicalIndex);
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return fontMetrics().elidedText(text, Qt::ElideMiddle, room);
}

void OneLineHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option = sectionOption(logicalIndex, rect);
    option.text = shownText(logicalIndex);
    const QPointF origin = painter->brushOrigin();
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
    painter->setBrushOrigin(origin);
}

QSize OneLineHeader::sectionSizeFromContents(int logicalIndex) const
{
    // The height of one line, whatever the caption; the width as usual.
    QStyleOptionHeader option = sectionOption(logicalIndex, QRect());
    option.text = QStringLiteral("Ag");
    const QSize oneLine
        = style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
    return { QHeaderView::sectionSizeFromContents(logicalIndex).width(), oneLine.height() };
}

bool OneLineHeader::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int section = logicalIndexAt(help->pos());
        if (section >= 0 && shownText(section) != caption(section)) {
            QToolTip::showText(help->globalPos(), caption(section), this);
            return true;
        }
    }
    // Otherwise the list's own hint shows, as over the rest of the list.
    return QHeaderView::viewportEvent(event);
}

} // namespace vantorel
