// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"

#include <memory>
#include <string>
#include <string_view>

namespace vantorel::dirwalk
{

/// The calls that a walk gave up waiting for and left to end in the
/// background, each under what it is about. On a dead network share such a
/// call ends only when the share answers, holding its thread and its
/// descriptors until then. Whoever would make a call about the same thing
/// waits for the one left behind instead of leaving another beside it: Stop
/// pressed again and again on a dead share leaves one call behind, not one
/// more for each press.
class StrandedCalls
{
public:
    /// Held for a call left behind; what it is about is free again once the
    /// mark goes, on whatever thread.
    class Mark
    {
    public:
        ~Mark();
        Mark(const Mark&) = delete;
        Mark& operator=(const Mark&) = delete;

    private:
        friend class StrandedCalls;
        struct State;
        Mark(std::shared_ptr<State> state, std::string subject);
        std::shared_ptr<State> m_state;
        std::string m_subject;
    };

    /// The process's checks and listings of folders, by the folder's path.
    static StrandedCalls& folders();
    /// The process's read-ahead pools, by the root they list.
    static StrandedCalls& pools();

    StrandedCalls();

    /// Notes that the call about `subject` is left behind, until the mark goes.
    std::unique_ptr<Mark> strand(std::string subject);
    /// Whether a call about `subject` is left behind and still under way.
    bool holds(std::string_view subject) const;
    /// Waits until no call about `subject` is left behind, in slices of
    /// kWaitSlice, calling `whileWaiting` between them; false when it gave the
    /// wait up. Costs one atomic read while nothing is left behind.
    bool waitFor(std::string_view subject, const WaitHandler& whileWaiting);

private:
    // Shared with the marks: a call left behind may end after the program's
    // statics are gone.
    std::shared_ptr<Mark::State> m_state;
};

} // namespace vantorel::dirwalk
