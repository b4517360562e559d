// SPDX-License-Identifier: MIT
// The checks of the Windows directory layer that only Windows has, each group
// on its own fixture; the cursor's contract (tests/contract/) runs beside them.
#pragma once

#include "TestReport.h"

#include "../contract/CursorContract.h"

namespace vantorel::dirwalk::test
{

void checkTextConversion(TestReport& report);
void checkPathForms(TestReport& report);
void checkEntryKinds(TestReport& report);
void checkAttributes(TestReport& report);
void checkUnpairedSurrogate(TestReport& report);
void checkWindowsFailures(TestReport& report);
void checkLongPaths(TestReport& report);

} // namespace vantorel::dirwalk::test
