// SPDX-License-Identifier: MIT
// Placeholder until the POSIX directory layer lands.
#include "platform/DirectoryCursor.h"
