// SPDX-License-Identifier: MIT
// The Windows directory layer, checked on trees it builds in the temporary
// folder: the cursor's contract and what only Windows has. Prints one line
// per check and a closing "N passed, M failed".
#include "Checks.h"
#include "WindowsTreeMaker.h"

int main()
{
    using namespace vantorel::dirwalk::test;
    TestReport report;
    checkTextConversion(report);
    checkPathForms(report);
    checkEntryKinds(report);
    for (const ContractCase& contractCase : cursorContract())
        runContractCase(
            contractCase, [] { return std::make_unique<WindowsTreeMaker>(); }, report);
    checkAttributes(report);
    checkUnpairedSurrogate(report);
    checkWindowsFailures(report);
    checkLongPaths(report);
    return report.finish();
}
