// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vantorel::test
{

/// Sets an environment variable, or unsets it for a null value, for its lifetime.
class EnvironmentValue
{
public:
    EnvironmentValue(const char* name, const QByteArray& value)
        : m_name(name)
        , m_saved(qgetenv(name))
    {
        set(value);
    }
    ~EnvironmentValue() { set(m_saved); }
    EnvironmentValue(const EnvironmentValue&) = delete;
    EnvironmentValue& operator=(const EnvironmentValue&) = delete;

private:
    void set(const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(m_name);
        else
            qputenv(m_name, value);
    }
    const char* m_name;
    QByteArray m_saved;
};

} // namespace vantorel::test
