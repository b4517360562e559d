// SPDX-License-Identifier: MIT
#include "platform/walk/readahead/ReadAheadSettings.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace vantorel::dirwalk
{

ReadAheadSettings defaultReadAhead()
{
    return readAheadSettings(nullptr, nullptr);
}

ReadAheadSettings readAheadSettings(const char* readAhead, const char* threads)
{
    const std::string_view choice = readAhead ? readAhead : "";
    const unsigned cores = std::thread::hardware_concurrency();
    if (choice == "0" || (choice != "1" && cores < 2))
        return {};
    ReadAheadSettings settings { std::clamp(cores, 1u, 4u), kMostReadAheadThreads };
    if (threads) {
        const long chosen = std::strtol(threads, nullptr, 10);
        if (chosen >= 1 && chosen <= 64)
            settings = { unsigned(chosen), unsigned(chosen) };
    }
    return settings;
}

} // namespace vantorel::dirwalk
