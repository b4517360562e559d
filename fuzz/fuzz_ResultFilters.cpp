// SPDX-License-Identifier: MIT
// The two result filters against toLower().contains, on rows of any UTF-16.
#include "FuzzInput.h"
#include "results/ResultFilters.h"
#include "support/FakeListControl.h"

using namespace vantorel;
using namespace vantorel::fuzz;
using vantorel::test::FakeListControl;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t mode = input.byte();
    // The first line is the phrase, the others the rows.
    QStringList lines = input.rest(mode & 1).split(QLatin1Char('\n'));
    const QString phrase = lines.takeFirst();
    const QString needle = phrase.toLower();

    QStringList keptWhenContaining;
    QStringList keptWhenNotContaining;
    for (const QString& row : lines) {
        if (row.toLower().contains(needle))
            keptWhenNotContaining << row;
        else
            keptWhenContaining << row;
    }

    FakeListControl containing;
    containing.setRows(lines);
    RemoveEntriesContaining(containing, phrase);
    require(containing.rows() == keptWhenContaining, "remove containing", phrase);

    FakeListControl notContaining;
    notContaining.setRows(lines);
    RemoveEntriesNotContaining(notContaining, phrase);
    require(notContaining.rows() == keptWhenNotContaining, "remove not containing", phrase);
    return 0;
}
