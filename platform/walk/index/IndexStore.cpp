// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexStore.h"

#include "platform/walk/OffThreadCall.h"
#include "platform/walk/index/SearcherIdentity.h"
#include "platform/walk/linux/StampReader.h"

#include <system_error>

#include <utility>

namespace vantorel::dirwalk::index
{

IndexStore::IndexStore(IndexSettings settings)
    : m_settings(std::move(settings))
    , m_rules(m_settings.reach, m_settings.clockOffset)
    , m_key(searcherKey())
{
    if (on() && !m_settings.cacheFolder.empty())
        m_cache = std::make_unique<IndexCache>(m_settings.cacheFolder, m_settings.mostNodes,
            m_settings.mostFileBytes, m_settings.reach == IndexReach::Everywhere);
}

IndexStore::~IndexStore()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
        m_writeWake.notify_all();
    }
    if (m_writer.joinable())
        m_writer.join();
}

std::shared_ptr<FolderIndex> IndexStore::take(
    const std::string& location, const WaitHandler& whileWaiting, bool& loaded)
{
    loaded = false;
    const std::string key = searcherKey();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (key != m_key) {
            m_indexes.clear(); // another user's rights: what they could list proves nothing
            m_key = key;
        }
        const auto found = m_indexes.find(location);
        if (found != m_indexes.end()) {
            std::shared_ptr<FolderIndex> index = std::move(found->second);
            m_indexes.erase(found);
            return index;
        }
    }
    if (!m_cache)
        return nullptr;
    // The cache folder may be on a network share that hangs: read where the
    // window need not wait for it.
    struct Load {
        std::unique_ptr<FolderIndex> index;
        bool found = false;
    };
    auto load = std::make_shared<Load>();
    const IndexCache cache = *m_cache;
    const std::string file = cache.fileOf(location);
    if (!runOffThread(
            file,
            [load, cache, location, key] { load->index = cache.load(location, key, load->found); },
            whileWaiting))
        return nullptr;
    loaded = load->index != nullptr;
    return std::move(load->index);
}

void IndexStore::put(std::shared_ptr<FolderIndex> index)
{
    if (!index)
        return;
    index->lastUsed = StampReader::wallClock();
    std::shared_ptr<FolderIndex> kept = std::move(index);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_indexes[kept->location()] = kept;
    keepWithinBounds();
    if (!m_cache)
        return;
    m_toWrite[kept->location()] = kept;
    if (!m_writer.joinable()) {
        try {
            m_writer = std::thread([this] { writeInBackground(); });
        } catch (const std::system_error&) {
            m_toWrite.clear(); // no thread to write with: kept for this run only
            return;
        }
    }
    m_writeWake.notify_all();
}

void IndexStore::writeInBackground()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_writeWake.wait(lock, [this] { return m_closing || !m_toWrite.empty(); });
        if (m_toWrite.empty())
            return;
        const auto next = m_toWrite.begin();
        const std::shared_ptr<const FolderIndex> index = next->second;
        m_toWrite.erase(next);
        m_writing = true;
        const std::string key = m_key;
        lock.unlock();
        if (index->onDisk)
            m_cache->touch(*index);
        else
            m_cache->save(*index, key);
        lock.lock();
        m_writing = false;
        m_written.notify_all();
    }
}

void IndexStore::waitForWrites()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_written.wait(lock, [this] { return m_toWrite.empty() && !m_writing; });
}

void IndexStore::keepWithinBounds()
{
    for (;;) {
        std::size_t nodes = 0;
        auto oldest = m_indexes.end();
        for (auto it = m_indexes.begin(); it != m_indexes.end(); ++it) {
            nodes += it->second->size();
            if (oldest == m_indexes.end() || it->second->lastUsed < oldest->second->lastUsed)
                oldest = it;
        }
        if (nodes <= m_settings.mostNodes || oldest == m_indexes.end())
            return;
        m_indexes.erase(oldest);
    }
}

IndexUse IndexStore::lastUse() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastUse;
}

void IndexStore::setLastUse(const IndexUse& use)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lastUse = use;
}

std::size_t IndexStore::memoryBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::size_t bytes = 0;
    for (const auto& [location, index] : m_indexes)
        bytes += index->memoryBytes();
    return bytes;
}

} // namespace vantorel::dirwalk::index
