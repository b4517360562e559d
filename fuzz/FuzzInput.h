// SPDX-License-Identifier: MIT
// Turns a fuzzer's bytes into the values a text rule takes.
#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vantorel::fuzz
{

/// Reads the input front to back: single bytes for choices, the rest as text.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    std::uint16_t word() { return std::uint16_t(byte() | (byte() << 8)); }

    /// The rest as text: UTF-8 when `utf16` is false, otherwise raw UTF-16
    /// code units, lone surrogates included.
    QString rest(bool utf16)
    {
        const char* begin = reinterpret_cast<const char*>(m_data + m_pos);
        const std::size_t left = m_size - m_pos;
        m_pos = m_size;
        if (!utf16)
            return QString::fromUtf8(begin, qsizetype(left));
        // Copied, not cast: the bytes need not be aligned for char16_t.
        QString text(qsizetype(left / 2), Qt::Uninitialized);
        std::memcpy(text.data(), begin, (left / 2) * sizeof(char16_t));
        return text;
    }

    /// The rest's raw bytes.
    QByteArray restBytes()
    {
        const char* begin = reinterpret_cast<const char*>(m_data + m_pos);
        const std::size_t left = m_size - m_pos;
        m_pos = m_size;
        return QByteArray(begin, qsizetype(left));
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

/// Stops the run with a message; libFuzzer saves the input that led here.
[[noreturn]] inline void violated(const char* rule, const QString& detail = QString())
{
    std::fprintf(stderr, "rule violated: %s\n%s\n", rule, qPrintable(detail));
    std::abort();
}

inline void require(bool holds, const char* rule, const QString& detail = QString())
{
    if (!holds)
        violated(rule, detail);
}

} // namespace vantorel::fuzz
