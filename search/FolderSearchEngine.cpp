// SPDX-License-Identifier: MIT
#include "search/FolderSearchEngine.h"

#include "search/FolderWalk.h"

namespace vantorel
{

WalkReport GetSubDirectories2016(const Folder& folder, const QString& phrase, qint16 CompareMode,
    ListControl& results, const SearchEngineContext& context)
{
    return FolderWalk(folder, phrase, CompareMode, results, context).run();
}

} // namespace vantorel
