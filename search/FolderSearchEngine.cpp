// SPDX-License-Identifier: MIT
// Placeholder until the walk lands.
#include "search/FolderSearchEngine.h"

namespace vantorel {
WalkReport GetSubDirectories2016(const Folder&, const QString&, qint16, ListControl&,
                                 const SearchEngineContext&)
{
    return {};
}
} // namespace vantorel
