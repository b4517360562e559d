// SPDX-License-Identifier: MIT
#include "platform/files/SystemFolderService.h"

#include "platform/Failure.h"
#include "platform/walk/OffThreadCall.h"
#include "platform/walk/readahead/ReadAheadCursor.h"
#ifdef __linux__
#include "platform/walk/index/IndexedWalkCursor.h"
#endif

#include <QFile>

#include <memory>
#include <string>

namespace vantorel
{

QString SystemFolderService::withoutTrailingSeparators(const QString& path)
{
    const QChar separator = QLatin1Char(dirwalk::kPathSeparator);
    qsizetype length = path.size();
    while (length > 1 && path.at(length - 1) == separator)
        --length;
    return path.left(length);
}

Folder SystemFolderService::getFolder(const QString& path)
{
    return getNativeFolder(QFile::encodeName(path));
}

Folder SystemFolderService::getNativeFolder(
    const QByteArray& nativePath, const dirwalk::WaitHandler& whileWaiting)
{
    Folder folder;
    folder.nativePath = nativePath;
    while (folder.nativePath.size() > 1 && folder.nativePath.endsWith(dirwalk::kPathSeparator))
        folder.nativePath.chop(1);
    folder.path = QFile::decodeName(folder.nativePath);
    // A location on a dead network share never answers: the check is the
    // check's own, so that it can be left behind.
    struct Check {
        std::string path;
        std::string reason;
        bool exists = false;
    };
    auto check = std::make_shared<Check>();
    check->path.assign(folder.nativePath.constData(), std::size_t(folder.nativePath.size()));
    if (!dirwalk::runOffThread(
            check->path,
            [check] { check->exists = dirwalk::isExistingFolder(check->path, check->reason); },
            whileWaiting)) {
        folder.waitGivenUp = true;
        return folder;
    }
    if (!check->exists) {
        throw Failure(
            Failure::tr("Path not found: %1 (%2)")
                .arg(QFile::decodeName(nativePath),
                    QString::fromLocal8Bit(check->reason.data(), qsizetype(check->reason.size()))));
    }
    return folder;
}

std::unique_ptr<dirwalk::DirectoryCursor> SystemFolderService::cursor()
{
#ifdef __linux__
    return dirwalk::index::makeIndexedWalkCursor(m_index, m_readAhead);
#else
    return dirwalk::makeWalkCursor(m_readAhead);
#endif
}

} // namespace vantorel
