// SPDX-License-Identifier: MIT
#include "platform/files/NativeFileUrl.h"

#include <QDir>
#include <QFile>

namespace vantorel
{

QUrl nativeFileUrl(const QByteArray& nativePath)
{
    const QString path = QFile::decodeName(nativePath);
    if (QFile::encodeName(path) == nativePath)
        return QUrl::fromLocalFile(QDir::fromNativeSeparators(path));
    // The decoded text names another folder, or none: its replacement
    // characters would be encoded as themselves.
    const QByteArray encoded = nativePath.toPercentEncoding("/");
    return QUrl::fromEncoded(
        (nativePath.startsWith('/') ? QByteArray("file://") : QByteArray("file:///")) + encoded,
        QUrl::StrictMode);
}

QByteArray nativePathOfFileUrl(const QUrl& url)
{
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

} // namespace vantorel
