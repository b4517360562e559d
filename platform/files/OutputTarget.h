// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <sys/types.h>

namespace vantorel
{

/// What stands at the path a save writes to, learned without opening it:
/// opening a named pipe for writing waits for a reader, and the window's
/// thread must never wait on that.
struct OutputTarget {
    enum class Kind {
        Absent, ///< nothing there, or nothing that can be looked at
        File, ///< a regular file
        Sink, ///< /dev/null, /dev/zero or /dev/full, which keep nothing
        Folder,
        /// Never written: a named pipe, a socket, any other device, or
        /// anything in the kernel's own folders.
        Other,
    };

    /// Looks at `path`, following symbolic links to the file they name.
    static OutputTarget inspect(const QString& path);
    /// Why a file of this type is not written, for the failure report.
    static QString describe(mode_t mode);
    /// Whether a character device's number is that of a device that takes
    /// bytes and keeps none (null, zero, full).
    static bool isSink(dev_t device);

    Kind kind = Kind::Absent;
    /// `path` with its symbolic links resolved: the file that is written, so
    /// that a link stays a link.
    QString path;
    /// For Other: what it is, for the failure report.
    QString description;
    /// For File: a renamed new copy can take its place without losing
    /// another name of it (a hard link), its owner or the folder's say.
    bool replaceable = false;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

} // namespace vantorel
