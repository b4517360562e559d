// SPDX-License-Identifier: MIT
// Walks one folder with the search engine, with no window: rows go to a list
// held in memory and the event pump does nothing.
//
//   bench_walk ROOT [PHRASE] [--match-case] [--print] [--repeat N]
//
// Prints the number of rows and the walk's time to stderr, with what the folder
// index did; with --print, the rows to stdout, one a line. With --repeat, N
// searches one after the other in the one process, as the program makes them:
// the second and later ones with the index the one before left. The index is
// the program's (OSTLEBRY_INDEX, the cache folder under XDG_CACHE_HOME).

#include "platform/Failure.h"
#include "platform/files/SystemFolderService.h"
#include "platform/walk/index/IndexCache.h"
#include "platform/walk/index/IndexStore.h"
#include "platform/walk/readahead/ReadAheadSettings.h"
#include "search/FolderSearchEngine.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"

#include <algorithm>
#include <chrono>
#include <string>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

using namespace vantorel;
using namespace vantorel::test;

int main(int argc, char** argv)
{
    QString root;
    QString phrase = QStringLiteral("alpha");
    qint16 compareMode = 1;
    bool print = false;
    int repeat = 1;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--match-case") == 0)
            compareMode = 0;
        else if (std::strcmp(argv[i], "--print") == 0)
            print = true;
        else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else if (positional++ == 0)
            root = QString::fromLocal8Bit(argv[i]);
        else
            phrase = QString::fromLocal8Bit(argv[i]);
    }
    if (root.isEmpty()) {
        std::fprintf(
            stderr, "usage: %s ROOT [PHRASE] [--match-case] [--print] [--repeat N]\n", argv[0]);
        return 2;
    }

    // As the program does: scripts/bench.sh times the walk with read-ahead on and off.
    const auto index = std::make_shared<dirwalk::index::IndexStore>(
        dirwalk::index::indexSettingsFromEnvironment());
    SystemFolderService folders(dirwalk::readAheadSettings(std::getenv("OSTLEBRY_READAHEAD"),
                                    std::getenv("OSTLEBRY_READAHEAD_THREADS")),
        index);
    SearchState state;
    FakeOption option { true };
    FakeListControl locations;
    FakeListControl results;
    ScriptedEventPump pump;
    for (int search = 1; search <= repeat; ++search) {
        results.clear();
        try {
            const auto start = std::chrono::steady_clock::now();
            const Folder folder = folders.getFolder(root);
            const SearchEngineContext context { state, option, locations, pump, folders };
            const WalkReport report
                = GetSubDirectories2016(folder, phrase, compareMode, results, context);
            const std::chrono::duration<double, std::milli> took
                = std::chrono::steady_clock::now() - start;
            const dirwalk::index::IndexUse use = index->lastUse();
            std::fprintf(stderr,
                "search %d: rows %lld, unlisted %zu, walk %.1f ms; index: %s, %zu from it, %zu "
                "listed again, %zu walked, %zu check threads, %zu folders, %.1f MB\n",
                search, static_cast<long long>(results.count()), report.unlisted.size(),
                took.count(),
                use.loaded         ? "from disk"
                    : use.hadIndex ? "in memory"
                                   : "none",
                use.fromIndex, use.listedAgain, use.walkedLive, use.check.threads, use.folders,
                double(use.memory) / 1e6);
        } catch (const Failure& failure) {
            std::fprintf(stderr, "%s\n", failure.what());
            return 1;
        }
    }
    // What the index costs: the process's peak, and the index kept in memory and on disk.
    index->waitForWrites();
    long peakKb = -1;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "VmHWM: %ld kB", &peakKb) == 1)
                break;
        std::fclose(status);
    }
    struct stat file {
    };
    const std::string cacheFile = dirwalk::index::IndexCache(index->settings().cacheFolder, 1, 1)
                                      .fileOf(folders.getFolder(root).nativePath.toStdString());
    const bool kept = ::stat(cacheFile.c_str(), &file) == 0;
    std::fprintf(stderr, "peak memory %.1f MB; index in memory %.1f MB; cache file %.1f MB\n",
        double(peakKb) / 1024, double(index->memoryBytes()) / 1e6,
        kept ? double(file.st_size) / 1e6 : 0.0);
    if (print)
        for (const QString& row : results.rows())
            std::printf("%s\n", row.toLocal8Bit().constData());
    return 0;
}
