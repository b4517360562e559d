// SPDX-License-Identifier: MIT
#include "platform/walk/index/SearcherIdentity.h"

#include <grp.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

namespace vantorel::dirwalk::index
{

namespace
{

    /// The first `most` bytes of a small file of the system; empty when unreadable.
    std::string smallFile(const char* path, std::size_t most = 4096)
    {
        std::ifstream file(path, std::ios::binary);
        std::string text(most, '\0');
        file.read(text.data(), std::streamsize(most));
        text.resize(std::size_t(file.gcount()));
        while (!text.empty() && (text.back() == '\n' || text.back() == '\0'))
            text.pop_back();
        return text;
    }

    /// The lines of /proc/self/status that hold the process's capabilities.
    std::string capabilities()
    {
        std::istringstream status(smallFile("/proc/self/status", 1 << 16));
        std::string kept;
        for (std::string line; std::getline(status, line);)
            if (line.rfind("Cap", 0) == 0)
                kept += line + ';';
        return kept;
    }

    int hexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    }

    std::int64_t nanoseconds(clockid_t clock)
    {
        timespec now {};
        ::clock_gettime(clock, &now);
        return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
    }

} // namespace

std::string searcherKey()
{
    uid_t real = 0, effective = 0, saved = 0;
    gid_t realGroup = 0, effectiveGroup = 0, savedGroup = 0;
    ::getresuid(&real, &effective, &saved);
    ::getresgid(&realGroup, &effectiveGroup, &savedGroup);
    std::vector<gid_t> groups(std::size_t(std::max(0, ::getgroups(0, nullptr))));
    groups.resize(std::size_t(std::max(0, ::getgroups(int(groups.size()), groups.data()))));
    std::sort(groups.begin(), groups.end());
    std::ostringstream key;
    key << "uid " << effective << " gid " << effectiveGroup << " groups";
    for (const gid_t group : groups)
        key << ' ' << group;
    key << "; " << capabilities() << " label " << smallFile("/proc/self/attr/current")
        << "; machine " << smallFile("/etc/machine-id");
    return key.str();
}

std::array<std::uint8_t, 16> bootId()
{
    std::array<std::uint8_t, 16> id {};
    const std::string text = smallFile("/proc/sys/kernel/random/boot_id");
    std::size_t digits = 0;
    for (const char c : text) {
        const int value = hexValue(c);
        if (value < 0)
            continue;
        if (digits / 2 >= id.size())
            break;
        id[digits / 2] = std::uint8_t(id[digits / 2] << 4 | value);
        ++digits;
    }
    return id;
}

std::int64_t wallClockSinceBoot()
{
    return nanoseconds(CLOCK_REALTIME) - nanoseconds(CLOCK_BOOTTIME);
}

} // namespace vantorel::dirwalk::index
