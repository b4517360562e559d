// SPDX-License-Identifier: MIT
// Walks one folder with the search engine, with no window: rows go to a list
// held in memory and the event pump does nothing.
//
//   bench_walk ROOT [PHRASE] [--match-case] [--print]
//
// Prints the number of rows, the folders that could not be read, the walk's
// time and the process's peak memory to stderr; with --print, the rows to
// stdout, one a line.

#include "platform/Failure.h"
#include "platform/qt/files/SystemFolderService.h"
#include "platform/walk/readahead/ReadAheadSettings.h"
#include "search/FolderSearchEngine.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace vantorel;
using namespace vantorel::test;

int main(int argc, char** argv)
{
    QString root;
    QString phrase = QStringLiteral("alpha");
    qint16 compareMode = 1;
    bool print = false;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--match-case") == 0)
            compareMode = 0;
        else if (std::strcmp(argv[i], "--print") == 0)
            print = true;
        else if (positional++ == 0)
            root = QString::fromLocal8Bit(argv[i]);
        else
            phrase = QString::fromLocal8Bit(argv[i]);
    }
    if (root.isEmpty()) {
        std::fprintf(stderr, "usage: %s ROOT [PHRASE] [--match-case] [--print]\n", argv[0]);
        return 2;
    }

    // As the program does: scripts/bench.sh times the walk with read-ahead on and off.
    SystemFolderService folders(dirwalk::readAheadSettings(
        std::getenv("OSTLEBRY_READAHEAD"), std::getenv("OSTLEBRY_READAHEAD_THREADS")));
    SearchState state;
    FakeOption option { true };
    FakeListControl locations;
    FakeListControl results;
    ScriptedEventPump pump;
    try {
        const auto start = std::chrono::steady_clock::now();
        const Folder folder = folders.getFolder(root);
        const SearchEngineContext context { state, option, locations, pump, folders };
        const WalkReport report
            = GetSubDirectories2016(folder, phrase, compareMode, results, context);
        const std::chrono::duration<double, std::milli> took
            = std::chrono::steady_clock::now() - start;
        rusage usage {};
        ::getrusage(RUSAGE_SELF, &usage);
        std::fprintf(stderr, "rows %lld, unlisted %zu, walk %.1f ms, peak memory %.1f MB\n",
            static_cast<long long>(results.count()), report.unlisted.size(), took.count(),
            double(usage.ru_maxrss) / 1024);
        if (!report.unlisted.empty())
            std::fprintf(stderr, "first unlisted: %s: %s\n",
                report.unlisted[0].path.toLocal8Bit().constData(),
                report.unlisted[0].reason.toLocal8Bit().constData());
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    if (print)
        for (const QString& row : results.rows())
            std::printf("%s\n", row.toLocal8Bit().constData());
    return 0;
}
