// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>

namespace vantorel::handoff
{

/// The most folders one start hands over; a longer command line opens its own window.
constexpr int kMaxFolders = 10000;
/// The most bytes one message may take, so that a client cannot make the
/// window hold more than this for it.
constexpr quint32 kMaxMessageBytes = 16u << 20;
/// The longest start-up identity passed on; launchers make ids of well under 200.
constexpr qsizetype kMaxStartupIdBytes = 1024;

/// True when `id` may be passed on as a start-up identity (X11's
/// DESKTOP_STARTUP_ID, Wayland's XDG_ACTIVATION_TOKEN): printable ASCII
/// without blanks, quotes or backslashes, which the X11 start-up messages
/// would have to escape, and not over kMaxStartupIdBytes.
bool isStartupId(const QByteArray& id);

/// The message that carries `folders`, the file system's bytes of each, and
/// the start's `startupId` (empty: none): its size, then the count of folders,
/// then each folder's size and bytes, then the id's size and bytes, in
/// big-endian 32-bit numbers. Empty when the folders are over the limits, one
/// of them is empty, or the id is not empty and not isStartupId().
QByteArray encodeFolders(const QList<QByteArray>& folders, const QByteArray& startupId = {});

enum class Reading {
    Incomplete, ///< more is still on its way
    Complete, ///< `folders` and `startupId` hold what was sent
    Bad, ///< over the limits, empty folders, or not made as encodeFolders makes it
};

/// Reads the message that `received` begins with, however many reads
/// brought it. Bytes after the message are Bad: a client sends one message.
Reading decodeFolders(
    const QByteArray& received, QList<QByteArray>& folders, QByteArray& startupId);

} // namespace vantorel::handoff
