// SPDX-License-Identifier: MIT
// The real output file service, saving into a temporary folder of each test's
// own, with what the tests look at afterwards: the failure, the file's status.
#pragma once

#include "platform/Failure.h"
#include "platform/files/QtOutputFileService.h"

#include <QStringList>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <memory>

namespace vantorel::test
{

/// The description of the Failure that `action` throws, or "<none>".
template <class Action> QString failureOf(Action&& action)
{
    try {
        action();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return QStringLiteral("<none>");
}

/// The status of the file at `path` itself, not of what a link names.
struct stat statusOf(const QString& path);

/// Saves `content` to `path` through the real output file; the failure's
/// description, or "<none>".
QString save(const QString& path, const QByteArray& content);

class OutputFileFixture
{
protected:
    /// For the test's init(): a new temporary folder.
    void begin();
    void writeOld(const QString& path);
    /// The files in the temporary folder, hidden ones too.
    QStringList files() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QtOutputFileService m_files;
};

} // namespace vantorel::test
