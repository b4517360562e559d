// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/index/FolderIndex.h"
#include "platform/walk/index/IndexCache.h"
#include "platform/walk/index/IndexCheck.h"
#include "platform/walk/index/IndexRules.h"

#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vantorel::dirwalk::index
{

/// How the program keeps its folder indexes.
struct IndexSettings {
    IndexReach reach = IndexReach::Listed;
    /// Where indexes are kept across starts; none when empty.
    std::string cacheFolder;
    /// Added to the wall clock wherever the index reads it (tests).
    std::int64_t clockOffset = 0;
    /// The most folders and links of all locations' indexes together, in
    /// memory and in the cache folder, and the most bytes of the cache files.
    std::size_t mostNodes = 4000000;
    std::size_t mostFileBytes = std::size_t { 256 } << 20;
};

/// The reach an environment value gives: "0" or "off" turns the index off,
/// "everywhere" uses it on every file system; anything else, the usual list.
IndexReach indexReach(const char* choice);
/// $XDG_CACHE_HOME/ostlebry, or ~/.cache/ostlebry; empty without either.
std::string defaultCacheFolder();
/// The reach OSTLEBRY_INDEX chooses, with the default cache folder.
IndexSettings indexSettingsFromEnvironment();

/// What the last search of a location did with its index, for tests and benchmarks.
struct IndexUse {
    bool hadIndex = false; ///< an index of the location was there (in memory or on disk)
    bool loaded = false; ///< it was read from the cache folder
    std::size_t fromIndex = 0; ///< folders whose listing came from it
    std::size_t listedAgain = 0; ///< folders the check listed again
    std::size_t walkedLive = 0; ///< folders the walk listed itself
    CheckStatistics check;
    std::size_t folders = 0; ///< folders and links in the index it left
    std::size_t memory = 0; ///< bytes that index holds
};

/// The folder index of every search location, kept for the program's run and
/// in the cache folder; at most kMostNodes folders and links across locations,
/// the least recently used dropped first. The indexes it holds are read by a
/// search and by the thread that writes them to the cache folder at once, and
/// changed by neither. An index is the searcher's: when the process's
/// credentials change, none made before is used.
class IndexStore
{
public:
    explicit IndexStore(IndexSettings settings);
    ~IndexStore();
    IndexStore(const IndexStore&) = delete;
    IndexStore& operator=(const IndexStore&) = delete;

    bool on() const { return m_settings.reach != IndexReach::Off; }
    IndexRules& rules() { return m_rules; }
    const IndexSettings& settings() const { return m_settings; }

    /// The index of `location`, taken out of the store for one search: from
    /// memory, or else from the cache folder, read on a thread of its own while
    /// `whileWaiting` is served; null when there is none. `loaded` says it came
    /// from the cache folder.
    std::shared_ptr<FolderIndex> take(
        const std::string& location, const WaitHandler& whileWaiting, bool& loaded);
    /// Puts the index a search left back, to be used next time, and has it
    /// written to the cache folder unless it is there as it is.
    void put(std::shared_ptr<FolderIndex> index);
    /// Waits until every index put has been written to the cache folder.
    void waitForWrites();

    /// What the last search did with its index.
    IndexUse lastUse() const;
    void setLastUse(const IndexUse& use);
    /// Bytes the indexes in memory hold.
    std::size_t memoryBytes() const;

private:
    void keepWithinBounds();
    void writeInBackground();

    const IndexSettings m_settings;
    IndexRules m_rules;
    std::unique_ptr<IndexCache> m_cache;
    mutable std::mutex m_mutex;
    std::string m_key;
    std::map<std::string, std::shared_ptr<FolderIndex>> m_indexes;
    IndexUse m_lastUse;
    // The writer's: indexes waiting to be written, the newest of each location.
    std::map<std::string, std::shared_ptr<const FolderIndex>> m_toWrite;
    std::condition_variable m_writeWake;
    std::condition_variable m_written;
    bool m_writing = false;
    bool m_closing = false;
    std::thread m_writer;
};

} // namespace vantorel::dirwalk::index
