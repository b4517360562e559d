// SPDX-License-Identifier: MIT
// The aligned clipboard text of the ticked rows, from a list held in memory.
#include "FuzzInput.h"
#include "results/ListClipboardText.h"
#include "support/FakeListControl.h"

#include <algorithm>
#include <vector>

using namespace vantorel;
using namespace vantorel::fuzz;
using vantorel::test::FakeListControl;

namespace
{

class NoPump : public EventPump
{
public:
    void pump() override { ++calls; }
    int calls = 0;
};

QString expectedText(const QList<QStringList>& cells, const QList<bool>& ticked, int columns)
{
    std::vector<qsizetype> widths(std::size_t(columns), 0);
    for (const QStringList& row : cells)
        for (int c = 0; c < columns; ++c)
            widths[std::size_t(c)] = std::max(widths[std::size_t(c)], row.value(c).size());
    QString text;
    for (qsizetype r = 0; r < cells.size(); ++r) {
        if (!ticked[r])
            continue;
        QStringList padded;
        for (int c = 0; c < columns; ++c)
            padded << cells[r].value(c).leftJustified(widths[std::size_t(c)], QLatin1Char(' '));
        QString line = padded.join(QLatin1Char('\t'));
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        text += line + QStringLiteral("\r\n");
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t mode = input.byte();
    const int columns = 1 + (mode >> 1) % 4;
    // Lines are rows, tabs part cells; a row's first cell starting with '+'
    // is ticked (the '+' stays in its text).
    const QStringList lines = input.rest(mode & 1).split(QLatin1Char('\n'));
    QList<QStringList> cells;
    QList<bool> ticked;
    for (const QString& line : lines) {
        QStringList row = line.split(QLatin1Char('\t')).mid(0, columns);
        cells << row;
        ticked << line.startsWith(QLatin1Char('+'));
    }

    FakeListControl list(QStringLiteral("Results"), columns);
    for (qsizetype r = 0; r < cells.size(); ++r) {
        list.append(cells[r].value(0));
        for (int c = 1; c < cells[r].size(); ++c)
            list.setSubItem(int(r), c, cells[r][c]);
        list.setChecked(int(r), ticked[r]);
    }
    NoPump pump;
    const QString text = alignedTextOfTickedRows(list, pump, std::chrono::milliseconds(0));
    // Reading a cell's text back may drop sub-items beyond the list's columns.
    QList<QStringList> shown;
    for (qsizetype r = 0; r < cells.size(); ++r) {
        QStringList row;
        for (int c = 0; c < columns; ++c)
            row << list.cellText(int(r), c);
        shown << row;
    }
    require(text == expectedText(shown, ticked, columns), "aligned text", text);
    require(pump.calls > 0, "the copy pumps events");
    return 0;
}
