// SPDX-License-Identifier: MIT
// The Windows directory layer, checked on trees it builds in the temporary
// folder. Prints one line per check and a closing "N passed, M failed".
#include "Checks.h"

int main()
{
    using namespace vantorel::dirwalk::test;
    TestReport report;
    checkTextConversion(report);
    checkPathForms(report);
    checkEntryKinds(report);
    checkListing(report);
    checkLinks(report);
    checkUnicodeNames(report);
    checkFailures(report);
    checkLongPaths(report);
    checkDeepWalk(report);
    return report.finish();
}
