// SPDX-License-Identifier: MIT
#pragma once

#include "platform/OutputFile.h"

#include <QFileDevice>
#include <memory>

namespace vantorel
{

struct OutputTarget;

/// An output file that keeps the file it replaces. Where a renamed new copy
/// keeps everything about the old file (one name, the user's own, in a
/// folder the user may write in), the rows go to a QSaveFile that takes the
/// old file's place on commit, with its mode and owner. Otherwise they are
/// written into the existing file itself, as a plain truncate-and-write would:
/// a failure then leaves it incomplete, and the report says so. /dev/null,
/// /dev/zero and /dev/full are written directly; a named pipe, a socket, any
/// other device and anything in /proc, /sys or /dev are refused without being
/// opened.
class QtOutputFile : public OutputFile
{
public:
    /// Opens the file for writing; throws Failure when it cannot.
    explicit QtOutputFile(const QString& path);
    ~QtOutputFile() override;

    void write(const QByteArray& bytes) override;
    void commit() override;

private:
    enum class Mode { Replace, InPlace, Sink };

    /// False when the new copy could not be given the old file's owner.
    bool openReplacement(const OutputTarget& target);
    void openDirect(const OutputTarget& target);
    void emptyInPlace();
    [[noreturn]] void fail(const QString& reason) const;

    QString m_path;
    std::unique_ptr<QFileDevice> m_file;
    Mode m_mode = Mode::Replace;
    /// In place: the old content is gone, so a failure leaves the file incomplete.
    bool m_emptied = false;
};

} // namespace vantorel
