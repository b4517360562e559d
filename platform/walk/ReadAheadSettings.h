// SPDX-License-Identifier: MIT
#pragma once

namespace vantorel::dirwalk
{

/// How many threads list folders ahead of the walk.
struct ReadAheadSettings {
    /// 0: the walk lists every folder on its own thread.
    unsigned threads = 0;
};

/// min(cores, 4) threads when the machine has more than one core, none otherwise.
ReadAheadSettings defaultReadAhead();

/// The settings the program's environment chooses; either value may be null.
/// `readAhead` "0" turns the read-ahead off and "1" turns it on even on one
/// core; `threads` (1 to 64) sets the number of threads when it is on.
ReadAheadSettings readAheadSettings(const char* readAhead, const char* threads);

} // namespace vantorel::dirwalk
