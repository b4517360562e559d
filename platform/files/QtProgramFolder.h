// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ProgramEnvironment.h"

namespace vantorel
{

/// The folder of the running program file.
class QtProgramFolder : public ProgramFolder
{
public:
    QString path() const override;
    QString separator() const override;
};

} // namespace vantorel
