// SPDX-License-Identifier: MIT
#include "platform/walk/StrandedCalls.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>

namespace vantorel::dirwalk
{

struct StrandedCalls::Mark::State {
    mutable std::mutex mutex;
    std::condition_variable freed;
    std::multiset<std::string, std::less<>> subjects; ///< guarded by mutex
    std::atomic<std::size_t> count { 0 };

    bool holds(std::string_view subject) const { return subjects.find(subject) != subjects.end(); }
};

StrandedCalls::Mark::Mark(std::shared_ptr<State> state, std::string subject)
    : m_state(std::move(state))
    , m_subject(std::move(subject))
{
}

StrandedCalls::Mark::~Mark()
{
    {
        const std::lock_guard lock(m_state->mutex);
        const auto found = m_state->subjects.find(m_subject);
        if (found == m_state->subjects.end())
            return; // never noted: the note itself failed
        m_state->subjects.erase(found);
        m_state->count.fetch_sub(1, std::memory_order_release);
    }
    m_state->freed.notify_all();
}

StrandedCalls& StrandedCalls::folders()
{
    static StrandedCalls calls;
    return calls;
}

StrandedCalls& StrandedCalls::pools()
{
    static StrandedCalls calls;
    return calls;
}

StrandedCalls::StrandedCalls()
    : m_state(std::make_shared<Mark::State>())
{
}

std::unique_ptr<StrandedCalls::Mark> StrandedCalls::strand(std::string subject)
{
    std::unique_ptr<Mark> mark(new Mark(m_state, std::move(subject)));
    const std::lock_guard lock(m_state->mutex);
    m_state->subjects.insert(mark->m_subject);
    m_state->count.fetch_add(1, std::memory_order_release);
    return mark;
}

bool StrandedCalls::holds(std::string_view subject) const
{
    if (m_state->count.load(std::memory_order_acquire) == 0)
        return false;
    const std::lock_guard lock(m_state->mutex);
    return m_state->holds(subject);
}

bool StrandedCalls::waitFor(std::string_view subject, const WaitHandler& whileWaiting)
{
    Mark::State& state = *m_state;
    if (state.count.load(std::memory_order_acquire) == 0)
        return true;
    std::unique_lock lock(state.mutex);
    const auto free = [&state, subject] { return !state.holds(subject); };
    while (!state.freed.wait_for(lock, kWaitSlice, free)) {
        lock.unlock();
        const bool keepWaiting = !whileWaiting || whileWaiting();
        lock.lock();
        if (!keepWaiting && !free())
            return false;
    }
    return true;
}

} // namespace vantorel::dirwalk
