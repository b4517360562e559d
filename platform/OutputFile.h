// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace vantorel
{

/// A file being written. Where a new copy can take the old file's place
/// without losing anything of it, the content replaces the file at its path
/// only on commit(), all at once, and a writer destroyed without commit()
/// leaves whatever was at the path exactly as it was. Where it cannot (the
/// file has other names, another owner, or stands in a folder where no file
/// may be made), the content goes into the old file itself, which then stays
/// whole only until the first write(). Failures throw Failure with the text
/// "<path>: <reason>".
class OutputFile
{
public:
    virtual ~OutputFile() = default;
    virtual void write(const QByteArray& bytes) = 0;
    /// Puts the written bytes in place of the old file, or ends the writing
    /// into it.
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
