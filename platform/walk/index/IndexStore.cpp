// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexStore.h"

#include "platform/walk/linux/StampReader.h"

#include <utility>

namespace vantorel::dirwalk::index
{

IndexStore::IndexStore(IndexSettings settings)
    : m_settings(std::move(settings))
    , m_rules(m_settings.reach, m_settings.clockOffset)
{
}

IndexStore::~IndexStore() = default;

std::unique_ptr<FolderIndex> IndexStore::take(
    const std::string& location, const WaitHandler& whileWaiting)
{
    (void)whileWaiting;
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_indexes.find(location);
    if (found == m_indexes.end())
        return nullptr;
    std::unique_ptr<FolderIndex> index = std::move(found->second);
    m_indexes.erase(found);
    return index;
}

void IndexStore::put(std::unique_ptr<FolderIndex> index)
{
    if (!index)
        return;
    index->lastUsed = StampReader::wallClock();
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::string location = index->location();
    m_indexes[location] = std::move(index);
    keepWithinBounds();
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
        if (nodes <= kMostNodes || oldest == m_indexes.end())
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
