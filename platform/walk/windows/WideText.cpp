// SPDX-License-Identifier: MIT
#include "platform/walk/windows/WideText.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vantorel::dirwalk
{

namespace
{

    bool isHighSurrogate(std::uint32_t unit)
    {
        return unit >= 0xD800 && unit <= 0xDBFF;
    }
    bool isLowSurrogate(std::uint32_t unit)
    {
        return unit >= 0xDC00 && unit <= 0xDFFF;
    }

    void putCodePoint(std::string& out, std::uint32_t point)
    {
        if (point < 0x80) {
            out.push_back(static_cast<char>(point));
        } else if (point < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (point >> 6)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else if (point < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (point >> 12)));
            out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (point >> 18)));
            out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        }
    }

    void putUnit(std::wstring& out, std::uint32_t point)
    {
        if (point < 0x10000) {
            out.push_back(static_cast<wchar_t>(point));
        } else {
            point -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 | (point >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 | (point & 0x3FF)));
        }
    }

    // The slow road, taken only for text that the system's converters refuse:
    // encodes every code unit, pairing surrogates where they pair.
    void encodeLossless(std::string& out, std::wstring_view text)
    {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::uint32_t unit = static_cast<std::uint16_t>(text[i]);
            if (isHighSurrogate(unit) && i + 1 < text.size()) {
                const std::uint32_t next = static_cast<std::uint16_t>(text[i + 1]);
                if (isLowSurrogate(next)) {
                    putCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                    ++i;
                    continue;
                }
            }
            putCodePoint(out, unit);
        }
    }

    // Decodes UTF-8 that may carry WTF-8 surrogates; anything malformed is U+FFFD.
    void decodeLossless(std::wstring& out, std::string_view text)
    {
        constexpr std::uint32_t kReplacement = 0xFFFD;
        std::size_t i = 0;
        while (i < text.size()) {
            const std::uint32_t lead = static_cast<unsigned char>(text[i]);
            std::size_t length = 0;
            std::uint32_t point = 0;
            std::uint32_t minimum = 0;
            if (lead < 0x80) {
                length = 1;
                point = lead;
            } else if (lead >= 0xC2 && lead <= 0xDF) {
                length = 2;
                point = lead & 0x1F;
                minimum = 0x80;
            } else if (lead >= 0xE0 && lead <= 0xEF) {
                length = 3;
                point = lead & 0x0F;
                minimum = 0x800;
            } else if (lead >= 0xF0 && lead <= 0xF4) {
                length = 4;
                point = lead & 0x07;
                minimum = 0x10000;
            }
            bool valid = length != 0 && i + length <= text.size();
            for (std::size_t k = 1; valid && k < length; ++k) {
                const std::uint32_t next = static_cast<unsigned char>(text[i + k]);
                valid = (next & 0xC0) == 0x80;
                point = (point << 6) | (next & 0x3F);
            }
            if (!valid || point < minimum || point > 0x10FFFF) {
                putUnit(out, kReplacement);
                ++i;
                continue;
            }
            putUnit(out, point);
            i += length;
        }
    }

} // namespace

void appendUtf8(std::string& out, std::wstring_view text)
{
    if (text.empty())
        return;
    const int units = static_cast<int>(text.size());
    const int bytes = ::WideCharToMultiByte(
        CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        encodeLossless(out, text);
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(bytes));
    ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), units, out.data() + start,
        bytes, nullptr, nullptr);
}

void appendWide(std::wstring& out, std::string_view text)
{
    if (text.empty())
        return;
    const int bytes = static_cast<int>(text.size());
    const int units
        = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), bytes, nullptr, 0);
    if (units <= 0) {
        decodeLossless(out, text);
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(units));
    ::MultiByteToWideChar(
        CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), bytes, out.data() + start, units);
}

std::string toUtf8(std::wstring_view text)
{
    std::string out;
    appendUtf8(out, text);
    return out;
}

std::wstring toWide(std::string_view text)
{
    std::wstring out;
    appendWide(out, text);
    return out;
}

} // namespace vantorel::dirwalk
