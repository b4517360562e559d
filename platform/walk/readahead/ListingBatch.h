// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::dirwalk::readahead
{

/// Consecutive listings of one piece. Each listing has a list of its own, which
/// the walk takes by exchanging it for the one it is done with: the listing is
/// not copied again, and the list given back keeps its memory for the next
/// batch made here.
struct ListingBatch {
    struct Record {
        std::uint64_t parent = 0;
        std::uint64_t number = 0;
        std::size_t nameOffset = 0; ///< of the folder's own name, in names
        std::size_t nameLength = 0;
        bool listed = false;
        SubfolderList subfolders;
    };
    /// A list that held more than this is let go when the batch is cleared,
    /// so that a spare batch does not keep the memory of one huge folder.
    static constexpr std::size_t kKeptListBytes = std::size_t { 64 } << 10;

    std::string names;
    std::vector<Record> records; ///< the first `count` are in use; the rest keep their memory
    std::size_t count = 0;
    std::size_t listBytes = 0;

    void add(std::uint64_t parent, std::uint64_t number, std::string_view name, bool listed,
        const SubfolderList& subfolders)
    {
        if (count == records.size())
            records.emplace_back();
        Record& record = records[count++];
        record.parent = parent;
        record.number = number;
        record.nameOffset = names.size();
        record.nameLength = name.size();
        names.append(name);
        record.listed = listed;
        if (listed) {
            record.subfolders.assign(subfolders);
            listBytes += subfolders.bytes();
        } else {
            record.subfolders.clear();
        }
    }
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    std::size_t bytes() const { return names.size() + listBytes + count * sizeof(Record); }
    void clear()
    {
        for (std::size_t i = 0; i < count; ++i)
            if (records[i].subfolders.capacityBytes() > kKeptListBytes)
                records[i].subfolders = SubfolderList();
        names.clear();
        count = 0;
        listBytes = 0;
    }
};

} // namespace vantorel::dirwalk::readahead
