// SPDX-License-Identifier: MIT
// The groups of checks of the Windows directory layer, each on its own fixture.
#pragma once

#include "TestReport.h"

#include "platform/walk/DirectoryCursor.h"

#include <string>
#include <vector>

namespace vantorel::dirwalk::test
{

/// Names of one listing, links marked " (link)", in the order delivered.
std::vector<std::string> namesOf(const SubfolderList& list);

/// The tree below `root` in pre-order, as paths relative to it; links are
/// listed with " (link)" and not entered. False with the reason on a failure.
bool walkTree(DirectoryCursor& cursor, const std::string& root, std::vector<std::string>& paths,
    std::string& error);

void checkTextConversion(TestReport& report);
void checkPathForms(TestReport& report);
void checkEntryKinds(TestReport& report);
void checkListing(TestReport& report);
void checkLinks(TestReport& report);
void checkUnicodeNames(TestReport& report);
void checkFailures(TestReport& report);
void checkLongPaths(TestReport& report);
void checkDeepWalk(TestReport& report);

} // namespace vantorel::dirwalk::test
