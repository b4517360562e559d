// SPDX-License-Identifier: MIT
#pragma once

namespace vantorel
{

/// Whether a search or the adding of a location is under way. The busy pointer
/// shows it, but the pointer also changes as it moves over the buttons, so the
/// commands that must not run meanwhile ask this instead: a location removed
/// in the middle of a search would make it skip one the user never removed.
class BusyState
{
public:
    bool isBusy() const { return m_commands > 0; }

    /// Busy for its lifetime; scopes nest.
    class Scope
    {
    public:
        explicit Scope(BusyState& state)
            : m_state(state)
        {
            ++m_state.m_commands;
        }
        ~Scope() { --m_state.m_commands; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        BusyState& m_state;
    };

private:
    int m_commands = 0;
};

} // namespace vantorel
