// SPDX-License-Identifier: MIT
#include "shell/HandOffMessage.h"

#include <QtEndian>

#include <algorithm>

namespace vantorel::handoff
{

namespace
{

    constexpr qsizetype kNumberBytes = 4;

    void appendNumber(QByteArray& bytes, quint32 number)
    {
        char big[kNumberBytes];
        qToBigEndian(number, big);
        bytes.append(big, kNumberBytes);
    }

    /// Takes a number from `bytes` at `at`; false when too few bytes are left.
    bool takeNumber(const QByteArray& bytes, qsizetype& at, quint32& number)
    {
        if (bytes.size() - at < kNumberBytes)
            return false;
        number = qFromBigEndian<quint32>(bytes.constData() + at);
        at += kNumberBytes;
        return true;
    }

} // namespace

bool isStartupId(const QByteArray& id)
{
    return id.size() <= kMaxStartupIdBytes && std::all_of(id.begin(), id.end(), [](char c) {
        return c > ' ' && c < 0x7f && c != '"' && c != '\\';
    });
}

QByteArray encodeFolders(const QList<QByteArray>& folders, const QByteArray& startupId)
{
    if (folders.size() > kMaxFolders || !isStartupId(startupId))
        return QByteArray();
    QByteArray body;
    appendNumber(body, quint32(folders.size()));
    for (const QByteArray& folder : folders) {
        if (folder.isEmpty() || body.size() + kNumberBytes + folder.size() > kMaxMessageBytes)
            return QByteArray();
        appendNumber(body, quint32(folder.size()));
        body.append(folder);
    }
    appendNumber(body, quint32(startupId.size()));
    body.append(startupId);
    if (body.size() > kMaxMessageBytes)
        return QByteArray();
    QByteArray message;
    message.reserve(kNumberBytes + body.size());
    appendNumber(message, quint32(body.size()));
    return message + body;
}

Reading decodeFolders(const QByteArray& received, QList<QByteArray>& folders, QByteArray& startupId)
{
    qsizetype at = 0;
    quint32 size = 0;
    if (!takeNumber(received, at, size))
        return Reading::Incomplete;
    if (size > kMaxMessageBytes)
        return Reading::Bad;
    if (received.size() - at < qsizetype(size))
        return Reading::Incomplete;
    if (received.size() - at > qsizetype(size))
        return Reading::Bad;

    quint32 count = 0;
    if (!takeNumber(received, at, count) || count > quint32(kMaxFolders))
        return Reading::Bad;
    QList<QByteArray> read;
    read.reserve(qsizetype(count));
    for (quint32 i = 0; i < count; ++i) {
        quint32 length = 0;
        if (!takeNumber(received, at, length) || length == 0
            || received.size() - at < qsizetype(length))
            return Reading::Bad;
        read.append(received.mid(at, qsizetype(length)));
        at += qsizetype(length);
    }
    quint32 idLength = 0;
    if (!takeNumber(received, at, idLength) || received.size() - at != qsizetype(idLength))
        return Reading::Bad;
    const QByteArray id = received.mid(at);
    if (!isStartupId(id))
        return Reading::Bad;
    folders = std::move(read);
    startupId = id;
    return Reading::Complete;
}

} // namespace vantorel::handoff
