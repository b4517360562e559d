// SPDX-License-Identifier: MIT
// The conversion of a stored "Check4" text to a 16-bit integer.
#include "FuzzInput.h"
#include "platform/Failure.h"
#include "shell/StartUp.h"

#include <cmath>

using namespace vantorel;
using namespace vantorel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t mode = input.byte();
    const QString text = input.rest(mode & 1);
    bool parsed = false;
    const double number = text.trimmed().toDouble(&parsed);
    try {
        const qint16 value = toInteger16(text);
        require(parsed && std::isfinite(number), "only numbers convert", text);
        require(std::fabs(double(value) - number) <= 0.5, "rounded to the nearest", text);
        bool isInteger = false;
        const int integer = text.trimmed().toInt(&isInteger);
        if (isInteger)
            require(integer == value, "an integer text is its own value", text);
    } catch (const Failure& failure) {
        const QString& why = failure.description();
        require(why == QStringLiteral("Type mismatch") || why == QStringLiteral("Overflow"),
            "one of two failures", why);
        if (why == QStringLiteral("Type mismatch"))
            require(!parsed || !std::isfinite(number), "a number is no type mismatch", text);
        else
            require(std::fabs(number) >= 32767.5, "overflow only outside the range", text);
    }
    return 0;
}
