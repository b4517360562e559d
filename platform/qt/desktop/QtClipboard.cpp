// SPDX-License-Identifier: MIT
#include "platform/qt/desktop/QtClipboard.h"

#include "platform/files/NativeFileUrl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace vantorel
{

bool QtClipboard::clear()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->clear();
    return true;
}

bool QtClipboard::setText(const QString& text, int format)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    // 1 and 13 are the system's own names for plain and Unicode text.
    if (format == 0 || format == 1 || format == 13) {
        clipboard->setText(text);
        return clipboard->text() == text;
    }
    auto* data = new QMimeData;
    data->setData(QStringLiteral("application/x-clipboard-format-%1").arg(format), text.toUtf8());
    clipboard->setMimeData(data);
    return true;
}

bool QtClipboard::setTextAndPaths(const QString& text, const QList<QByteArray>& nativePaths)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    QList<QUrl> urls;
    for (const QByteArray& path : nativePaths)
        urls.append(nativeFileUrl(path));
    auto* data = new QMimeData;
    data->setUrls(urls);
    data->setText(text);
    clipboard->setMimeData(data);
    const QMimeData* placed = clipboard->mimeData();
    return placed && placed->text() == text && placed->urls() == urls;
}

} // namespace vantorel
