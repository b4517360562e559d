// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace vantorel {

/// A file being written. Its content replaces the file at its path only on
/// commit(), all at once; a writer destroyed without commit() leaves whatever
/// was at the path exactly as it was. Failures throw Failure with the text
/// "<path>: <reason>".
class OutputFile
{
public:
    virtual ~OutputFile() = default;
    virtual void write(const QByteArray& bytes) = 0;
    /// Puts the written bytes in place of the old file.
    virtual void commit() = 0;
};

/// Creates output files; each writer is independent of every other.
class OutputFileService
{
public:
    virtual ~OutputFileService() = default;
    /// Throws Failure when the file cannot be created.
    virtual std::unique_ptr<OutputFile> create(const QString& path) = 0;
};

} // namespace vantorel
