// SPDX-License-Identifier: MIT
#include "platform/desktop/QtRandomSource.h"

#include <QTime>

namespace vantorel
{

void QtRandomSource::seed(double secondsSinceMidnight)
{
    // Milliseconds, so that two starts within the same second still differ.
    m_generator.seed(std::mt19937::result_type(secondsSinceMidnight * 1000.0));
}

double QtRandomSource::next()
{
    // Never 1: the upper end is excluded.
    return double(m_generator() >> 5) / double(1u << 27);
}

double QtRandomSource::timeOfDay() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

} // namespace vantorel
