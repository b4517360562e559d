// SPDX-License-Identifier: MIT
#include "platform/Failure.h"

namespace vantorel
{

Failure::Failure(QString description)
    : m_description(std::move(description))
    , m_utf8(m_description.toUtf8())
{
}

} // namespace vantorel
