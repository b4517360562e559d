// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ListControl.h"

#include <QString>

namespace vantorel
{

/// Removes every row whose text contains `phrase`, ignoring letter case.
/// The remaining rows keep their order. A failing list operation ends the
/// routine (throws Failure); rows already removed stay removed.
void RemoveEntriesContaining(ListControl& list, const QString& phrase);

/// Removes every row whose text does not contain `phrase`, ignoring letter case.
void RemoveEntriesNotContaining(ListControl& list, const QString& phrase);

} // namespace vantorel
