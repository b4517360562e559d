// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ProgramEnvironment.h"

#include <random>

namespace vantorel
{

/// Random fractions from a Mersenne Twister, and the clock.
class QtRandomSource : public RandomSource
{
public:
    void seed(double secondsSinceMidnight) override;
    double next() override;
    double timeOfDay() const override;

private:
    std::mt19937 m_generator;
};

} // namespace vantorel
