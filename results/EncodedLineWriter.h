// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ListControl.h"
#include "platform/OutputFile.h"

#include <QByteArray>
#include <QStringEncoder>

namespace vantorel
{

/// Writes lines of text to an output file in the system's 8-bit encoding, each
/// followed by CR LF, gathering them into large blocks: one file write per
/// line would cost more than the encoding itself.
class EncodedLineWriter
{
public:
    explicit EncodedLineWriter(OutputFile& file);

    /// May write a block; throws the file's Failure.
    void writeLine(QStringView text);
    /// Writes bytes as they are, then CR LF.
    void writeBytesLine(QByteArrayView bytes);
    /// Writes what is still gathered and commits the file.
    void finish();

private:
    void flush();
    void endLine(char* end);

    OutputFile& m_file;
    QStringEncoder m_encoder;
    QByteArray m_block;
};

/// Writes one row of `list` as its line: the row's text, or, for a folder
/// whose name its text cannot carry, the file system's own bytes of it, as
/// other tools print them: two folders must not save as one line. A CR or LF
/// in it is written as "\r" or "\n", so that one row never saves as two.
void writeRowLine(EncodedLineWriter& writer, const ListControl& list, int row);

} // namespace vantorel
