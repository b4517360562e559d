// SPDX-License-Identifier: MIT
// Times a search in the real main window, offscreen, from the Start press to
// the "Done." box, against the engine alone, find and fd (when installed), with
// the directory layer's read-ahead on and off; checks that all of them find
// the same rows, and the window and the engine in the same order.
//
//   bench_window ROOT [PHRASE] [--runs N]     (Match Case off, full paths)
//   bench_window ROOT [PHRASE] --once [--print] [--stop-after MS] [--repeat N [--drop-caches]]
//   bench_window --fill ROWS                  (memory of ROWS result rows)
//
// With --once, one search in the window with the read-ahead the environment
// chooses, as the program does: its times, and the longest time the window's
// events waited, go to stderr, with --print its rows to stdout; --stop-after
// presses Stop that long after Start and times it to "Done.". scripts/bench.sh
// runs it so, one process a run, to empty the caches between runs. The window
// keeps the program's folder index (OSTLEBRY_INDEX, the cache folder under
// XDG_CACHE_HOME): --repeat makes N searches, one line each, the later ones
// checked against the index the one before left, once it was written to the
// cache folder (as a user searching again later finds it); --drop-caches empties
// the system's caches before each of them (as root).
//
// Settings go to a temporary folder, never to the user's own.
#include "WindowSearch.h"
#include "platform/controls/QtEventPump.h"
#include "platform/files/SystemFolderService.h"
#include "platform/qt/list/QtListControl.h"
#include "platform/walk/index/IndexStore.h"
#include "platform/walk/readahead/ReadAheadSettings.h"
#include "search/FolderSearchEngine.h"
#include "shell/qt/Form1.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"
#include "support/ModalBoxAnswerer.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace vantorel;
using namespace vantorel::test;
using namespace vantorel::bench;

namespace
{

/// A field of /proc/self/status, in kB.
long statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

/// Pressing Stop this long after Start, for --once; never when negative.
int g_stopAfterMs = -1;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

/// Read-ahead on as OSTLEBRY_READAHEAD=1 turns it on in the program, or off.
dirwalk::ReadAheadSettings readAhead(bool on)
{
    return on ? dirwalk::readAheadSettings("1", std::getenv("OSTLEBRY_READAHEAD_THREADS"))
              : dirwalk::ReadAheadSettings {};
}

/// The engine with no window, as bench_walk runs it.
Timing searchWithEngine(
    const QString& root, const QString& phrase, dirwalk::ReadAheadSettings settings)
{
    SystemFolderService folders(settings);
    SearchState state;
    FakeOption option { true };
    FakeListControl locations;
    FakeListControl results;
    ScriptedEventPump pump;
    const double cpuAtStart = processorSeconds(RUSAGE_SELF);
    const auto start = Clock::now();
    const Folder folder = folders.getFolder(root);
    const SearchEngineContext context { state, option, locations, pump, folders };
    GetSubDirectories2016(folder, phrase, 1, results, context);
    Timing timing;
    timing.wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    timing.cpuMs = (processorSeconds(RUSAGE_SELF) - cpuAtStart) * 1000;
    timing.rows = results.rows();
    return timing;
}

/// A command line tool; its lines are its rows, without a trailing separator.
Timing searchWithTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    const double cpuAtStart = processorSeconds(RUSAGE_CHILDREN);
    const auto start = Clock::now();
    tool.start(program, arguments);
    tool.waitForFinished(-1);
    const QByteArray output = tool.readAllStandardOutput();
    Timing timing;
    timing.wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    timing.cpuMs = (processorSeconds(RUSAGE_CHILDREN) - cpuAtStart) * 1000;
    for (QByteArray line : output.split('\n')) {
        if (line.endsWith('/'))
            line.chop(1);
        if (!line.isEmpty())
            timing.rows.append(QFile::decodeName(line));
    }
    return timing;
}

Timing searchWithFind(const QString& root, const QString& phrase)
{
    return searchWithTool(QStringLiteral("find"),
        { root, QStringLiteral("-mindepth"), QStringLiteral("1"), QStringLiteral("-type"),
            QStringLiteral("d"), QStringLiteral("-iname"), '*' + phrase + '*' });
}

/// fd on every core, or on `threads` of them.
Timing searchWithFd(const QString& fd, const QString& root, const QString& phrase, int threads)
{
    QStringList arguments { QStringLiteral("-H"), QStringLiteral("-I"), QStringLiteral("-F"),
        QStringLiteral("-t"), QStringLiteral("d"), QStringLiteral("-i") };
    if (threads > 0)
        arguments << QStringLiteral("-j%1").arg(threads);
    return searchWithTool(fd, arguments << phrase << root);
}

struct Series {
    explicit Series(const char* seriesName)
        : name(seriesName)
    {
    }

    const char* name;
    std::vector<double> wall;
    std::vector<double> cpu;
    QStringList rows;

    void add(Timing timing)
    {
        wall.push_back(timing.wallMs);
        cpu.push_back(timing.cpuMs);
        rows = std::move(timing.rows);
    }
    double wallMs() const { return median(wall); }
    double cpuMs() const { return median(cpu); }
};

QStringList sorted(QStringList rows)
{
    rows.sort();
    return rows;
}

/// Every way of searching compared, each a series of runs.
struct Comparison {
    Series windowAhead { "window, read-ahead" }, windowSingle { "window, one thread" };
    Series engineAhead { "engine, read-ahead" }, engineSingle { "engine, one thread" };
    Series find { "find" }, fd { "fd" }, fdOne { "fd -j1" };

    /// One run of each, interleaved, so that a change in the machine's load
    /// falls on all alike; fd where `fdProgram` names it.
    void run(const QString& root, const QString& phrase, const QString& fdProgram)
    {
        windowAhead.add(searchInWindow(root, phrase, readAhead(true), -1));
        engineAhead.add(searchWithEngine(root, phrase, readAhead(true)));
        windowSingle.add(searchInWindow(root, phrase, readAhead(false), -1));
        engineSingle.add(searchWithEngine(root, phrase, readAhead(false)));
        find.add(searchWithFind(root, phrase));
        if (!fdProgram.isEmpty()) {
            fd.add(searchWithFd(fdProgram, root, phrase, 0));
            fdOne.add(searchWithFd(fdProgram, root, phrase, 1));
        }
    }

    /// Says where a series found other rows than the engine alone; 1 if any did.
    int reportMismatches() const
    {
        int status = 0;
        const QStringList& reference = engineSingle.rows;
        for (const Series* series : { &windowAhead, &windowSingle, &engineAhead }) {
            if (series->rows != reference) {
                std::printf(
                    "MISMATCH: %s gave %lld rows, the engine alone %lld, or another order\n",
                    series->name, static_cast<long long>(series->rows.size()),
                    static_cast<long long>(reference.size()));
                status = 1;
            }
        }
        const QStringList referenceSet = sorted(reference);
        for (const Series* tool : { &find, &fd, &fdOne }) {
            if (!tool->wall.empty() && sorted(tool->rows) != referenceSet) {
                std::printf("MISMATCH: %s found %lld folders, the engine %lld\n", tool->name,
                    static_cast<long long>(tool->rows.size()),
                    static_cast<long long>(reference.size()));
                status = 1;
            }
        }
        return status;
    }

    void printTimes(const QString& root, const QString& phrase, int runs) const
    {
        std::printf(
            "Start -> \"Done.\" in the window (offscreen): %lld rows, phrase \"%s\", Match Case "
            "off, tree %s\nMedian of %d runs (wall clock; processor time, user + system):\n",
            static_cast<long long>(engineSingle.rows.size()), qPrintable(phrase), qPrintable(root),
            runs);
        for (const Series* series :
            { &windowAhead, &windowSingle, &engineAhead, &engineSingle, &find, &fd, &fdOne })
            if (!series->wall.empty())
                std::printf("  %-20s %7.0f ms  %7.0f ms\n", series->name, series->wallMs(),
                    series->cpuMs());
    }

    void printRatios() const
    {
        const auto ratio = [](const Series& a, const Series& b, const char* target) {
            std::printf("  %-18s / %-18s %5.2f wall, %5.2f processor%s\n", a.name, b.name,
                a.wallMs() / b.wallMs(), a.cpuMs() / b.cpuMs(), target);
        };
        ratio(windowAhead, engineAhead, " (target <= 1.3)");
        ratio(windowSingle, engineSingle, " (target <= 1.3)");
        ratio(windowAhead, find, "");
        ratio(windowSingle, find, "");
        if (!fd.wall.empty()) {
            ratio(windowAhead, fd, " (target <= 1.0)");
            ratio(windowAhead, fdOne, "");
            ratio(windowSingle, fd, "");
        }
        ratio(windowAhead, windowSingle, "");
        ratio(engineAhead, engineSingle, "");
    }
};

int compareTimes(const QString& root, const QString& phrase, int runs)
{
    Comparison comparison;
    const QString fdProgram = QStandardPaths::findExecutable(QStringLiteral("fdfind"));
    for (int run = 0; run < runs; ++run)
        comparison.run(root, phrase, fdProgram);
    const int status = comparison.reportMismatches();
    comparison.printTimes(root, phrase, runs);
    comparison.printRatios();
    return status;
}

/// Writes the page cache, dentries and inodes out of memory, as root may.
bool dropCaches()
{
    ::sync();
    std::FILE* drop = std::fopen("/proc/sys/vm/drop_caches", "w");
    const bool dropped = drop && std::fputs("3\n", drop) >= 0;
    return drop && std::fclose(drop) == 0 && dropped;
}

/// Searches in the window, set up as the program sets itself up, `repeat`
/// times with one folder index.
int searchOnce(const QString& root, const QString& phrase, bool print, int repeat, bool drop)
{
    const auto index = std::make_shared<dirwalk::index::IndexStore>(
        dirwalk::index::indexSettingsFromEnvironment());
    Timing timing;
    for (int search = 1; search <= repeat; ++search) {
        index->waitForWrites();
        if (drop && !dropCaches()) {
            std::fprintf(stderr, "the caches could not be dropped\n");
            return 1;
        }
        timing = searchInWindow(root, phrase,
            dirwalk::readAheadSettings(
                std::getenv("OSTLEBRY_READAHEAD"), std::getenv("OSTLEBRY_READAHEAD_THREADS")),
            g_stopAfterMs, index);
        std::fprintf(stderr,
            "start to done %.1f ms, processor %.1f ms, rows %lld, window unanswered at most "
            "%.1f ms",
            timing.wallMs, timing.cpuMs, static_cast<long long>(timing.rows.size()),
            timing.longestStallMs);
        if (timing.stopToDoneMs >= 0)
            std::fprintf(stderr, ", Stop to \"Done.\" %.1f ms", timing.stopToDoneMs);
        const dirwalk::index::IndexUse use = index->lastUse();
        std::fprintf(stderr, "; search %d, index %s, %zu folders from it, %zu listed again\n",
            search,
            use.loaded         ? "from disk"
                : use.hadIndex ? "in memory"
                               : "none",
            use.fromIndex, use.listedAgain);
    }
    if (print)
        for (const QString& row : timing.rows)
            std::printf("%s\n", row.toLocal8Bit().constData());
    return 0;
}

/// Peak memory of `rows` result rows in the window's results list, appended
/// and shown a batch at a time as a search does.
int measureRows(int rows)
{
    Form1 form([] {});
    form.load();
    form.showCentred();
    QApplication::processEvents();
    QtListControl& results = form.results();
    const long before = statusKilobytes("VmRSS");
    std::size_t characters = 0;
    for (int row = 0; row < rows; ++row) {
        const QString text
            = QStringLiteral("/home/user/Documents/Projects/archive-%1/reports/q%2/final")
                  .arg(row, 7, 10, QLatin1Char('0'))
                  .arg(row % 4 + 1);
        characters += std::size_t(text.size());
        results.append(text);
        if (row % 5000 == 4999)
            form.pump().pump();
    }
    form.pump().pump();
    const long peak = statusKilobytes("VmHWM");
    const long after = statusKilobytes("VmRSS");
    std::printf("%d rows in the window's results list, mean text %.1f characters: peak %.1f bytes "
                "a row, resident %.1f bytes a row (target <= 150; <= 100 wanted)\n",
        results.count(), double(characters) / rows, (peak - before) * 1024.0 / rows,
        (after - before) * 1024.0 / rows);
    return results.count() == rows ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    qputenv("HOME", QFile::encodeName(home.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    QString root;
    QString phrase = QStringLiteral("alpha");
    int runs = 3;
    int fill = 0;
    bool once = false;
    bool print = false;
    bool drop = false;
    int repeat = 1;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--fill") == 0 && i + 1 < argc)
            fill = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--once") == 0)
            once = true;
        else if (std::strcmp(argv[i], "--print") == 0)
            print = true;
        else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--drop-caches") == 0)
            drop = true;
        else if (std::strcmp(argv[i], "--stop-after") == 0 && i + 1 < argc)
            g_stopAfterMs = std::max(0, std::atoi(argv[++i]));
        else if (positional++ == 0)
            root = QString::fromLocal8Bit(argv[i]);
        else
            phrase = QString::fromLocal8Bit(argv[i]);
    }
    if (fill > 0)
        return measureRows(fill);
    if (root.isEmpty()) {
        std::fprintf(stderr,
            "usage: %s ROOT [PHRASE] [--runs N | --once [--print]] | --fill ROWS\n", argv[0]);
        return 2;
    }
    if (once)
        return searchOnce(root, phrase, print, repeat, drop);
    return compareTimes(root, phrase, runs);
}
