// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace vantorel::dirwalk
{

/// The system's own text for a Windows error code, in UTF-8, without the
/// line break that FormatMessage puts at its end. A code the system has no
/// text for still gives a readable reason that names the code.
std::string systemMessage(unsigned long code);

} // namespace vantorel::dirwalk
