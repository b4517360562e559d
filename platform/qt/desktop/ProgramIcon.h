// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

namespace vantorel
{

/// The program's icon: a folder under a magnifying glass (resources/ostlebry.png,
/// drawn by tools/make_icon.py), at the sizes the desktop asks for.
class ProgramIcon
{
public:
    static QIcon icon();
};

} // namespace vantorel
