// SPDX-License-Identifier: MIT
// The failure report's text: its parts, in order, with nothing else.
#include "FuzzInput.h"
#include "shell/common/GuardedProcedure.h"
#include "shell/common/ProductInfo.h"

using namespace vantorel;
using namespace vantorel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int line = 1 + input.word() % 32767;
    const std::uint8_t mode = input.byte();
    const QString all = input.rest(mode & 1);
    // The procedure name is the text after the last NUL, the description before it.
    const qsizetype cut = all.lastIndexOf(QChar(0));
    const QString description = cut < 0 ? all : all.left(cut);
    const QString procedure = cut < 0 ? QStringLiteral("PushButton1_Click") : all.mid(cut + 1);
    const QString location = locationText(procedure);

    const QString report = composeFailureReport(description, location, line);
    const QString digits = QString::number(line);
    const QString support = supportLine(product::supportAddress());
    require(
        location == QStringLiteral("in Vantorel2021/08/31.Form1.") + procedure + QLatin1Char(' '),
        "location text", location);
    require(report.startsWith(description + QStringLiteral("\r\n") + location), "head", report);
    require(report.endsWith(QStringLiteral("at line ") + digits + QStringLiteral("\r\r") + support),
        "tail", report);
    require(report.size()
            == description.size() + 2 + location.size() + 8 + digits.size() + 2 + support.size(),
        "nothing else", report);
    require(!digits.startsWith(QLatin1Char('0')) && !digits.contains(QLatin1Char('-')),
        "plain digits", digits);
    return 0;
}
