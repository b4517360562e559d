// SPDX-License-Identifier: MIT
// Appends a million result rows to a shown list, a batch at a time with an
// event pump after each, as a search does, and reports what a pump costs as
// the list grows and what a row costs in memory.
//   bench_list [rows] [full|name]
//   bench_list deep [levels] [full|name]
// Rows are appended as the search appends them: a folder's path as the file
// system names it, shown in full or ("name") by the folder's name alone. "deep" holds
// one row for each of `levels` nested folders with 255-byte names, each
// inside the one before, and reports what the store holds for them.
//   bench_list clear [rows] [full|name]
// "clear" fills a shown list as above, clears it, and reports the resident
// memory before the rows came, with them, and after the clear.
#include "platform/controls/QtEventPump.h"
#include "platform/list/ListModel.h"
#include "platform/list/RowTextStore.h"
#include "platform/qt/list/ListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace vantorel;

namespace
{

/// A field of /proc/self/status, in kB.
long statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// About 60 characters, each one different, and a folder of its own
// ("archive-...") for every row: as little for rows to share as a tree gives.
QByteArray path(int i)
{
    return QStringLiteral("/home/user/Documents/Projects/archive-%1/reports/q%2/final")
        .arg(i, 7, 10, QLatin1Char('0'))
        .arg(i % 4 + 1)
        .toUtf8();
}

std::size_t nameLength(const QByteArray& path)
{
    return std::size_t(path.size() - path.lastIndexOf('/') - 1);
}

std::string_view bytesOf(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

/// What the compact store holds for the rows, per row: the record and the
/// folders' entries, chunk ends not counted.
double storeBytesPerRow(int rows, bool nameOnly)
{
    RowTextStore store;
    for (int i = 0; i < rows; ++i) {
        const QByteArray full = path(i);
        store.appendFolder(bytesOf(full), nameLength(full), !nameOnly);
    }
    return (double(store.usedBytes()) + 12.0 * rows) / rows;
}

/// Rows for `levels` folders nested one in the other, every one a match.
int deepTree(int levels, bool nameOnly)
{
    const long rssBefore = statusKilobytes("VmRSS");
    RowTextStore store;
    QByteArray full = "/home/user/deep";
    std::size_t shown = 0;
    for (int level = 0; level < levels; ++level) {
        QByteArray name = QByteArray::number(level).rightJustified(5, '0') + '-';
        name += QByteArray(255 - name.size(), 'n');
        full += '/' + name;
        store.appendFolder(bytesOf(full), std::size_t(name.size()), !nameOnly);
        shown += std::size_t(nameOnly ? name.size() : full.size());
    }
    const long rssAfter = statusKilobytes("VmRSS");
    std::printf("deep tree: %d levels of 255-byte names, %s\n", levels,
        nameOnly ? "names shown" : "full paths shown");
    std::printf("shown text %.1f MB; store holds %.1f MB (arena %.1f MB); resident grew %.1f MB\n",
        shown / 1e6, (double(store.usedBytes()) + 12.0 * levels) / 1e6, store.arenaBytes() / 1e6,
        (rssAfter - rssBefore) * 1024.0 / 1e6);
    return 0;
}

/// The results list as the window shows it: the model in a view of the
/// window's size, and the pump that shows the rows appended to it.
struct ShownList {
    ListModel model { true };
    ListView view;
    QtEventPump pump;

    ShownList()
    {
        view.setModel(&model);
        view.resize(520, 121);
        view.show();
        pump.addList(model);
        pump.pump();
    }
};

/// Fills a shown list with `rows` rows and clears it again.
int fillAndClear(int rows, bool nameOnly)
{
    constexpr int kBatch = 5'000;
    ShownList shown;
    ListModel& model = shown.model;
    QtEventPump& pump = shown.pump;

    const long before = statusKilobytes("VmRSS");
    for (int row = 0; row < rows;) {
        for (int end = std::min(row + kBatch, rows); row < end; ++row) {
            const QByteArray full = path(row);
            model.appendFolder(bytesOf(full), nameLength(full), !nameOnly);
        }
        pump.pump();
    }
    const long filled = statusKilobytes("VmRSS");
    QElapsedTimer timer;
    timer.start();
    model.clear();
    pump.pump();
    const double clearMs = timer.nsecsElapsed() / 1e6;
    const long cleared = statusKilobytes("VmRSS");
    std::printf("%d rows, %s: resident %.1f MB before, %.1f MB filled, %.1f MB after the "
                "clear (%.0f ms), %.1f %% above before\n",
        rows, nameOnly ? "names shown" : "full paths shown", before / 1024.0, filled / 1024.0,
        cleared / 1024.0, clearMs, (cleared - before) * 100.0 / before);
    return 0;
}

// Appends the rows in batches, a pump after each, and prints the time of
// appending, of the pumps as the list grows, and the memory a row takes.
void timeFill(ShownList& shown, int kRows, bool nameOnly)
{
    constexpr int kBatch = 5'000;

    ListModel& model = shown.model;
    QtEventPump& pump = shown.pump;

    const long rssBefore = statusKilobytes("VmRSS");
    std::vector<double> pumpMs;
    double appendMs = 0;
    QElapsedTimer timer;
    std::size_t characters = 0;
    for (int row = 0; row < kRows;) {
        timer.start();
        for (int end = row + kBatch; row < end; ++row) {
            const QByteArray full = path(row);
            const std::size_t name = nameLength(full);
            characters += nameOnly ? name : std::size_t(full.size());
            model.appendFolder(bytesOf(full), name, !nameOnly);
        }
        appendMs += timer.nsecsElapsed() / 1e6;
        timer.start();
        pump.pump();
        pumpMs.push_back(timer.nsecsElapsed() / 1e6);
        if (row % 100'000 == 0)
            std::printf("  %d rows, last pump %.2f ms\n", row, pumpMs.back());
    }
    const long peak = statusKilobytes("VmHWM");
    const long rssAfter = statusKilobytes("VmRSS");

    std::printf("rows %d, batch %d, mean text %.1f characters\n", kRows, kBatch,
        double(characters) / kRows);
    std::printf("append: %.0f ns a row\n", appendMs * 1e6 / kRows);
    for (int mark : { 100'000, 500'000, 1'000'000 }) {
        if (mark > kRows)
            break;
        // The ten pumps that end at the mark.
        const int last = mark / kBatch - 1;
        double sum = 0;
        for (int i = last - 9; i <= last; ++i)
            sum += pumpMs[std::size_t(i)];
        std::printf("pump at %7d rows: %.2f ms\n", mark, sum / 10);
    }
    std::printf("memory: peak %.1f bytes a row, resident %.1f bytes a row (VmHWM %ld kB, "
                "VmRSS %ld -> %ld kB)\n",
        (peak - rssBefore) * 1024.0 / kRows, (rssAfter - rssBefore) * 1024.0 / kRows, peak,
        rssBefore, rssAfter);
    std::printf("store: %.1f bytes a row held (record and folder entries)\n",
        storeBytesPerRow(kRows, nameOnly));
}

// Removes rows as the filters and Delete do: many runs, a few, one block, one row.
void timeRemovals(ShownList& shown, int kRows)
{
    ListModel& model = shown.model;
    QtEventPump& pump = shown.pump;
    QElapsedTimer timer;
    std::vector<int> everyOther;
    for (int row = 0; row < kRows; row += 2)
        everyOther.push_back(row);
    timer.start();
    model.removeAll(everyOther);
    pump.pump();
    std::printf("remove every other row (%zu runs): %.0f ms\n", everyOther.size(),
        timer.nsecsElapsed() / 1e6);

    std::vector<int> fewRuns;
    for (int run = 0; run < 32; ++run) {
        for (int row = run * 10'000; row < run * 10'000 + 100; ++row)
            fewRuns.push_back(row);
    }
    timer.start();
    model.removeAll(fewRuns);
    pump.pump();
    std::printf("remove 32 runs of 100 rows of %d: %.0f ms\n", model.total() + 3200,
        timer.nsecsElapsed() / 1e6);

    std::vector<int> block;
    for (int row = 1000; row < model.total() - 1000; ++row)
        block.push_back(row);
    timer.start();
    model.removeAll(block);
    pump.pump();
    std::printf(
        "remove %zu adjacent rows (one run): %.0f ms\n", block.size(), timer.nsecsElapsed() / 1e6);

    timer.start();
    model.removeAt(500);
    pump.pump();
    std::printf("remove one row of %d: %.1f ms\n", model.total() + 1, timer.nsecsElapsed() / 1e6);

    timer.start();
    const int left = model.total();
    model.clear();
    pump.pump();
    std::printf("clear %d rows: %.0f ms\n", left, timer.nsecsElapsed() / 1e6);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    if (argc > 1 && qstrcmp(argv[1], "deep") == 0)
        return deepTree(
            argc > 2 ? std::atoi(argv[2]) : 5'000, !(argc > 3 && qstrcmp(argv[3], "full") == 0));

    if (argc > 1 && qstrcmp(argv[1], "clear") == 0)
        return fillAndClear(
            argc > 2 ? std::atoi(argv[2]) : 5'000'000, argc > 3 && qstrcmp(argv[3], "name") == 0);

    const int kRows = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const bool nameOnly = argc > 2 && qstrcmp(argv[2], "name") == 0;
    std::printf("mode: %s\n", nameOnly ? "name shown" : "full path shown");
    ShownList shown;
    timeFill(shown, kRows, nameOnly);
    timeRemovals(shown, kRows);
    return 0;
}
