// SPDX-License-Identifier: MIT
#pragma once

namespace vantorel::dirwalk
{

/// How many threads list folders ahead of the walk.
struct ReadAheadSettings {
    /// 0: the walk lists every folder on its own thread.
    unsigned threads = 0;
    /// More threads are started, up to this many, while the disk keeps them
    /// waiting; 0: never more than `threads`.
    unsigned mostThreads = 0;
};

/// When the machine has more than one core, min(cores, 4) threads, and up to
/// kMostReadAheadThreads on a slow disk; none otherwise.
ReadAheadSettings defaultReadAhead();

/// Listings that wait on a cold disk or a network share together: enough that
/// a share that answers 64 calls at once has as many to answer; a thread
/// blocked on the network costs little.
inline constexpr unsigned kMostReadAheadThreads = 64;

/// The settings the program's environment chooses; either value may be null.
/// `readAhead` "0" turns the read-ahead off and "1" turns it on even on one
/// core; `threads` (1 to 64) sets a fixed number of threads when it is on.
ReadAheadSettings readAheadSettings(const char* readAhead, const char* threads);

} // namespace vantorel::dirwalk
