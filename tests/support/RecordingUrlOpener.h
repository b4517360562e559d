// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace vantorel::test
{

/// Stands in for the desktop's opener (QDesktopServices::setUrlHandler with
/// the slot "open"): records the addresses it is asked to open.
class RecordingUrlOpener : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

} // namespace vantorel::test
