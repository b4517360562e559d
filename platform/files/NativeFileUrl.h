// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QUrl>

namespace vantorel
{

/// The file address of a path given as the file system names it. A path that
/// is not valid in the file name encoding keeps its bytes, percent-encoded, as
/// file managers read them; any other is the usual address of its text.
QUrl nativeFileUrl(const QByteArray& nativePath);

/// The path, as the file system names it, of a local file's address: the
/// bytes its escapes stand for, whether or not they are valid text.
QByteArray nativePathOfFileUrl(const QUrl& url);

} // namespace vantorel
