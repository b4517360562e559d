// SPDX-License-Identifier: MIT
#include "results/ListClipboardText.h"

#include "results/ClipboardRetry.h"

#include <vector>

namespace vantorel
{

namespace
{

    std::vector<qsizetype> columnWidths(ListControl& list, TimeSlicedPump& pump)
    {
        const int columns = list.columnCount();
        std::vector<qsizetype> widths(std::max(columns, 0), 0);
        for (int c = 0; c < columns; ++c) {
            const int rows = list.count();
            for (int r = 0; r < rows; ++r) {
                pump.maybePump();
                widths[c] = std::max(widths[c], list.cellText(r, c).size());
            }
        }
        return widths;
    }

    void appendRow(QString& text, ListControl& list, int row, const std::vector<qsizetype>& widths,
        TimeSlicedPump& pump)
    {
        for (std::size_t c = 0; c < widths.size(); ++c) {
            pump.maybePump();
            const QString cell = list.cellText(row, int(c));
            text += cell;
            // A cell wider than its column means the list changed since the widths
            // were taken: it goes in unpadded.
            if (widths[c] >= cell.size())
                text.resize(text.size() + widths[c] - cell.size(), QLatin1Char(' '));
            text += QLatin1Char('\t');
        }
        if (!widths.empty())
            text.chop(1);
        qsizetype end = text.size();
        while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
            --end;
        text.truncate(end);
        text += QLatin1String("\r\n");
    }

} // namespace

QString alignedTextOfTickedRows(
    ListControl& list, EventPump& pump, std::chrono::milliseconds pumpInterval)
{
    TimeSlicedPump slicedPump(pump, pumpInterval);
    const std::vector<qsizetype> widths = columnWidths(list, slicedPump);
    QString text;
    const int rows = list.count();
    for (int r = 0; r < rows; ++r) {
        slicedPump.maybePump();
        if (list.isChecked(r))
            appendRow(text, list, r, widths, slicedPump);
    }
    return text;
}

ClipboardCopy CopyListToClipboard(ListControl& list, EventPump& pump, Clipboard& clipboard,
    std::chrono::milliseconds pumpInterval)
{
    if (list.count() == 0)
        return ClipboardCopy::EmptyList;
    const QString text = alignedTextOfTickedRows(list, pump, pumpInterval);
    // Every ticked row adds at least its line end.
    if (text.isEmpty())
        return ClipboardCopy::NothingTicked;
    ClearClipboard(clipboard);
    return SetClipboardText(clipboard, text, 0) ? ClipboardCopy::Copied
                                                : ClipboardCopy::ClipboardRefused;
}

} // namespace vantorel
