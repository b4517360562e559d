// SPDX-License-Identifier: MIT
#include "results/EncodedLineWriter.h"

#include <cstring>

namespace vantorel
{

namespace
{
    constexpr qsizetype kBlockSize = qsizetype { 256 } * 1024;
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
    endLine(m_encoder.appendToBuffer(m_block.data() + used, text));
}

void EncodedLineWriter::writeBytesLine(QByteArrayView bytes)
{
    const qsizetype used = m_block.size();
    m_block.resize(used + bytes.size() + 2);
    char* end = m_block.data() + used;
    if (!bytes.isEmpty())
        std::memcpy(end, bytes.data(), std::size_t(bytes.size()));
    endLine(end + bytes.size());
}

void EncodedLineWriter::endLine(char* end)
{
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

namespace
{
    // A folder's name may hold CR or LF: written as they are, one row would
    // read back as two. They become the two characters "\r" and "\n", as
    // `ls -b` shows them; ASCII, so every 8-bit encoding carries them. Nothing
    // else is escaped, backslashes included, so every other row is written
    // byte for byte as before.
    QString withVisibleLineBreaks(QString text)
    {
        if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
            return text;
        return text.replace(QLatin1Char('\r'), QLatin1String("\\r"))
            .replace(QLatin1Char('\n'), QLatin1String("\\n"));
    }

    QByteArray withVisibleLineBreaks(QByteArray bytes)
    {
        if (!bytes.contains('\r') && !bytes.contains('\n'))
            return bytes;
        return bytes.replace('\r', "\\r").replace('\n', "\\n");
    }
} // namespace

void writeRowLine(EncodedLineWriter& writer, const ListControl& list, int row)
{
    const QByteArray raw = list.rawText(row);
    if (raw.isNull())
        writer.writeLine(withVisibleLineBreaks(list.text(row)));
    else
        writer.writeBytesLine(withVisibleLineBreaks(raw));
}

} // namespace vantorel
