// SPDX-License-Identifier: MIT
#pragma once

#include "platform/OutputFile.h"

#include <QByteArray>
#include <QStringEncoder>

namespace vantorel {

/// Writes lines of text to an output file in the system's 8-bit encoding, each
/// followed by CR LF, gathering them into large blocks: one file write per
/// line would cost more than the encoding itself.
class EncodedLineWriter
{
public:
    explicit EncodedLineWriter(OutputFile& file);

    /// May write a block; throws the file's Failure.
    void writeLine(QStringView text);
    /// Writes what is still gathered and commits the file.
    void finish();

private:
    void flush();

    OutputFile& m_file;
    QStringEncoder m_encoder;
    QByteArray m_block;
};

} // namespace vantorel
