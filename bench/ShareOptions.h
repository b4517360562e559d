// SPDX-License-Identifier: MIT
// The emulated share's command line.
#pragma once

namespace share_fs
{

/// What share_fs was asked to do; the defaults are those its usage names.
struct Options {
    const char* source = nullptr;
    const char* mountPoint = nullptr;
    const char* countsFile = nullptr;
    const char* timelineFile = nullptr;
    const char* hangName = nullptr;
    double delayMs = 0.5;
    long slots = 64;
    double cacheSeconds = 0.1;
};

/// Reads the command line into `options`; false, with the reason on stderr,
/// when it is not one share_fs takes.
bool parseOptions(int argc, char** argv, Options* options);
/// False, with the reason, when the mount would lie inside the folder it
/// shares: a walk of it would call the share from its own serving threads.
bool mountOutsideSource(const Options& options);

} // namespace share_fs
