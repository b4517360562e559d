// SPDX-License-Identifier: MIT
#include "ShareOptions.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <stdlib.h>

namespace share_fs
{

namespace
{

    /// A number from the command line, or false when `text` is not one in [low, high].
    bool parseNumber(const char* text, double low, double high, double* value)
    {
        char* end = nullptr;
        errno = 0;
        *value = std::strtod(text, &end);
        return errno == 0 && end != text && *end == '\0' && *value >= low && *value <= high;
    }

} // namespace

bool parseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        bool valued = argument == "--delay" || argument == "--slots" || argument == "--cache"
            || argument == "--counts" || argument == "--timeline" || argument == "--hang";
        if (valued && i + 1 >= argc) {
            std::fprintf(stderr, "share_fs: %s needs a value\n", argument.c_str());
            return false;
        }
        double number = 0;
        if (argument == "--delay") {
            if (!parseNumber(argv[++i], 0, 60000, &options->delayMs)) {
                std::fprintf(stderr, "share_fs: --delay takes milliseconds from 0 to 60000\n");
                return false;
            }
        } else if (argument == "--slots") {
            if (!parseNumber(argv[++i], 1, 4096, &number) || number != long(number)) {
                std::fprintf(stderr, "share_fs: --slots takes a whole number from 1 to 4096\n");
                return false;
            }
            options->slots = long(number);
        } else if (argument == "--cache") {
            if (!parseNumber(argv[++i], 0, 3600, &options->cacheSeconds)) {
                std::fprintf(stderr, "share_fs: --cache takes seconds from 0 to 3600\n");
                return false;
            }
        } else if (argument == "--counts") {
            options->countsFile = argv[++i];
        } else if (argument == "--timeline") {
            options->timelineFile = argv[++i];
        } else if (argument == "--hang") {
            options->hangName = argv[++i];
        } else if (argument.starts_with("-")) {
            std::fprintf(stderr, "share_fs: unknown option %s\n", argument.c_str());
            return false;
        } else if (!options->source) {
            options->source = argv[i];
        } else if (!options->mountPoint) {
            options->mountPoint = argv[i];
        } else {
            std::fprintf(stderr, "share_fs: one source and one mount point, not more\n");
            return false;
        }
    }
    if (!options->mountPoint) {
        std::fprintf(stderr,
            "usage: share_fs SOURCE MOUNTPOINT [--delay MS] [--slots N] [--cache SECONDS] "
            "[--counts FILE] [--timeline FILE] [--hang NAME]\n");
        return false;
    }
    return true;
}

bool mountOutsideSource(const Options& options)
{
    char source[PATH_MAX], mountPoint[PATH_MAX];
    if (!realpath(options.source, source) || !realpath(options.mountPoint, mountPoint)) {
        std::fprintf(stderr, "share_fs: %s: %s\n",
            realpath(options.source, source) ? options.mountPoint : options.source,
            std::strerror(errno));
        return false;
    }
    std::string inside = std::string(source) + (std::strcmp(source, "/") == 0 ? "" : "/");
    if (std::strcmp(source, mountPoint) == 0 || std::string(mountPoint).starts_with(inside)) {
        std::fprintf(stderr, "share_fs: the mount point %s lies inside %s\n", mountPoint, source);
        return false;
    }
    return true;
}

} // namespace share_fs
