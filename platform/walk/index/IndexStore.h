// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/index/FolderIndex.h"
#include "platform/walk/index/IndexCheck.h"
#include "platform/walk/index/IndexRules.h"

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace vantorel::dirwalk::index
{

/// How the program keeps its folder indexes.
struct IndexSettings {
    IndexReach reach = IndexReach::Listed;
    /// Where indexes are kept across starts; none when empty.
    std::string cacheFolder;
    /// Added to the wall clock wherever the index reads it (tests).
    std::int64_t clockOffset = 0;
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
/// the least recently used dropped first.
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
    /// memory, or else from the cache folder; null when there is none.
    std::unique_ptr<FolderIndex> take(const std::string& location, const WaitHandler& whileWaiting);
    /// Puts the index a search left back, to be used next time.
    void put(std::unique_ptr<FolderIndex> index);

    /// What the last search did with its index.
    IndexUse lastUse() const;
    void setLastUse(const IndexUse& use);
    /// Bytes the indexes in memory hold.
    std::size_t memoryBytes() const;

    static constexpr std::size_t kMostNodes = 4000000;

private:
    void keepWithinBounds();

    const IndexSettings m_settings;
    IndexRules m_rules;
    mutable std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<FolderIndex>> m_indexes;
    IndexUse m_lastUse;
};

} // namespace vantorel::dirwalk::index
