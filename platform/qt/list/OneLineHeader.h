// SPDX-License-Identifier: MIT
#pragma once

#include <QHeaderView>

namespace vantorel
{

/// A list's column header that always keeps to one line: a caption wider than
/// its column is cut in the middle, so both the start and the end of a path
/// show, and the whole caption is its tooltip. A header that wrapped would
/// push the rows below it down and back up as its caption changed.
class OneLineHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit OneLineHeader(QWidget* parent = nullptr);

    /// The caption of a section as it is drawn.
    QString shownText(int logicalIndex) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;
    bool viewportEvent(QEvent* event) override;

private:
    QString caption(int logicalIndex) const;
    QStyleOptionHeader sectionOption(int logicalIndex, const QRect& rect) const;
};

} // namespace vantorel
