// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexStore.h"

#include <cstdlib>
#include <string_view>

namespace vantorel::dirwalk::index
{

IndexReach indexReach(const char* choice)
{
    const std::string_view value = choice ? choice : "";
    if (value == "0" || value == "off")
        return IndexReach::Off;
    if (value == "everywhere")
        return IndexReach::Everywhere;
    return IndexReach::Listed;
}

std::string defaultCacheFolder()
{
    // The XDG base directory rules: a relative XDG_CACHE_HOME is to be ignored.
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/')
        return std::string(cache) + "/ostlebry";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.cache/ostlebry";
    return {};
}

IndexSettings indexSettingsFromEnvironment()
{
    IndexSettings settings;
    settings.reach = indexReach(std::getenv("OSTLEBRY_INDEX"));
    settings.cacheFolder = defaultCacheFolder();
    return settings;
}

} // namespace vantorel::dirwalk::index
