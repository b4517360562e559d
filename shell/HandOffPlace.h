// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <sys/types.h>

namespace vantorel::handoff
{

/// Why `folder` is no place for the hand-off's address of user `uid`: it must
/// be a folder, not a link, owned by that user and closed to everyone else.
/// Empty when it is such a place.
QString privateFolderProblem(const QByteArray& folder, uid_t uid);

/// Creates `folder` for user `uid` when it is missing, open to that user
/// alone, then checks it as privateFolderProblem() does.
QString makePrivateFolder(const QByteArray& folder, uid_t uid);

/// The socket's name for the display `displayKey` (see displayKey()): a hash,
/// so that whatever the display's name holds, the name is short and plain.
QString socketName(const QByteArray& displayKey);

/// Where the current user's window on the display `displayKey` serves: in
/// XDG_RUNTIME_DIR when that is a private folder, or else in a private folder
/// of its own in the temporary folder; either only when the path fits a local
/// socket's address. Empty, with `problem` saying why, when neither will do.
QString defaultAddress(const QByteArray& displayKey, QString* problem = nullptr);

/// True when the process at the other end of the connected local socket
/// `descriptor` runs as user `uid`: a window only takes folders from, and a
/// start only gives them to, the same user.
bool peerIsUser(int descriptor, uid_t uid);

} // namespace vantorel::handoff
