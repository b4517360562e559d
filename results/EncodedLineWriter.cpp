// SPDX-License-Identifier: MIT
#include "results/EncodedLineWriter.h"

namespace vantorel {

namespace {
constexpr qsizetype kBlockSize = 256 * 1024;
}

EncodedLineWriter::EncodedLineWriter(OutputFile& file)
    : m_file(file)
    , m_encoder(QStringConverter::System)
{
    m_block.reserve(kBlockSize + 1024);
}

void EncodedLineWriter::writeLine(QStringView text)
{
    const qsizetype used = m_block.size();
    m_block.resize(used + m_encoder.requiredSpace(text.size()) + 2);
    char* end = m_encoder.appendToBuffer(m_block.data() + used, text);
    *end++ = '\r';
    *end++ = '\n';
    m_block.resize(end - m_block.constData());
    if (m_block.size() >= kBlockSize)
        flush();
}

void EncodedLineWriter::finish()
{
    flush();
    m_file.commit();
}

void EncodedLineWriter::flush()
{
    if (m_block.isEmpty())
        return;
    m_file.write(m_block);
    m_block.resize(0);
}

} // namespace vantorel
