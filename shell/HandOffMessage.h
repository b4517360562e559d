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

/// The message that carries `folders`, the file system's bytes of each:
/// its size, then the count of folders, then each folder's size and bytes, in
/// big-endian 32-bit numbers. Empty when the folders are over the limits or
/// one of them is empty.
QByteArray encodeFolders(const QList<QByteArray>& folders);

enum class Reading {
    Incomplete, ///< more is still on its way
    Complete, ///< `folders` holds what was sent
    Bad, ///< over the limits, empty folders, or not made as encodeFolders makes it
};

/// Reads the message that `received` begins with, however many reads
/// brought it. Bytes after the message are Bad: a client sends one message.
Reading decodeFolders(const QByteArray& received, QList<QByteArray>& folders);

} // namespace vantorel::handoff
