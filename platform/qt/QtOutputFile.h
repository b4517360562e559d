// SPDX-License-Identifier: MIT
#pragma once

#include "platform/OutputFile.h"

#include <QFileDevice>
#include <memory>

namespace vantorel {

/// An output file on QSaveFile: written to a temporary file beside the target
/// and renamed over it on commit. A target that is a device rather than a
/// regular file (a terminal, /dev/full, a pipe) is written directly, since
/// renaming over it would replace the device itself.
class QtOutputFile : public OutputFile
{
public:
    /// Opens the file for writing; throws Failure when it cannot.
    explicit QtOutputFile(const QString& path);
    ~QtOutputFile() override;

    void write(const QByteArray& bytes) override;
    void commit() override;

private:
    [[noreturn]] void fail(const QString& reason) const;

    QString m_path;
    std::unique_ptr<QFileDevice> m_file;
    bool m_atomic = true;
};

} // namespace vantorel
