// SPDX-License-Identifier: MIT
#include "platform/walk/OffThreadCursor.h"

#include "platform/walk/StrandedCalls.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>

namespace vantorel::dirwalk
{

namespace
{

    /// How long each side looks for the other before it sleeps. A listing
    /// from memory, and the walk's work on it, take microseconds: sleeping and
    /// waking at every folder would cost more than the listing itself.
    constexpr std::chrono::microseconds kSpin { 50 };

    template <typename Ready> bool spinFor(const Ready& ready)
    {
        static const bool worthIt = std::thread::hardware_concurrency() > 1;
        if (!worthIt)
            return ready();
        const auto until = std::chrono::steady_clock::now() + kSpin;
        for (;;) {
            if (ready())
                return true;
            if (std::chrono::steady_clock::now() > until)
                return false;
            // Others waiting for the processor come first: on a busy machine
            // the other side may be one of them.
            std::this_thread::yield();
        }
    }

} // namespace

/// What the walk's thread and the listing thread share. The call's arguments
/// and answer are copies held here, not the caller's: a call given up may
/// still be writing them when the caller has long gone on.
///
/// `state` hands the call over and back: Idle -> Pending (the caller, once the
/// arguments are written) -> Done (the thread, once the answer is) -> Idle
/// (the caller, once it has read it). Each side spins for the other a moment,
/// then sleeps on its condition with its flag set under the mutex; whoever
/// changes `state` looks at the other's flag under the mutex and wakes it.
struct OffThreadCursor::Shared {
    enum State : int { Idle, Pending, Done };

    std::unique_ptr<DirectoryCursor> cursor;
    std::atomic<int> state { Idle };
    std::atomic<bool> quit { false };
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable answered;
    bool threadSleeps = false; ///< guarded by mutex
    bool callerSleeps = false; ///< guarded by mutex

    // The call, and its answer: the caller's while Idle, the thread's while Pending.
    Call call = Call::Leave;
    std::string first;
    std::string second;
    SubfolderList listing;
    std::string error;
    bool result = false;
    /// Set once the caller gave the call under way up: dropped once it ends.
    std::unique_ptr<StrandedCalls::Mark> leftBehind; ///< guarded by mutex

    bool callWaits() const { return state.load(std::memory_order_acquire) == Pending || quit; }

    void serve()
    {
        for (;;) {
            if (!spinFor([this] { return callWaits(); })) {
                std::unique_lock lock(mutex);
                threadSleeps = true;
                wake.wait(lock, [this] { return callWaits(); });
                threadSleeps = false;
            }
            if (state.load(std::memory_order_acquire) != Pending)
                break; // quit
            result = run(error);
            state.store(Done, std::memory_order_release);
            const std::lock_guard lock(mutex);
            leftBehind.reset();
            if (callerSleeps)
                answered.notify_one();
        }
        cursor.reset();
    }

    /// Runs the call on whichever thread owns the arguments now.
    bool run(std::string& reason)
    {
        reason.clear();
        switch (call) {
        case Call::OpenRoot:
            return cursor->openRoot(first, listing, reason);
        case Call::Enter:
            return cursor->enter(first, listing, reason);
        case Call::OpenToEnter:
            return cursor->openToEnter(first, second, reason);
        case Call::Leave:
            cursor->leave();
            return true;
        }
        return false;
    }
};

OffThreadCursor::OffThreadCursor(std::unique_ptr<DirectoryCursor> cursor)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->cursor = std::move(cursor);
}

OffThreadCursor::~OffThreadCursor()
{
    if (!m_thread.joinable())
        return;
    m_shared->quit = true;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->wake.notify_one();
    }
    // A listing given up may never end: its thread ends by itself after it.
    if (m_givenUp)
        m_thread.detach();
    else
        m_thread.join();
}

bool OffThreadCursor::openRoot(std::string_view path, SubfolderList& out, std::string& error)
{
    return call(Call::OpenRoot, path, {}, &out, error);
}

bool OffThreadCursor::enter(std::string_view name, SubfolderList& out, std::string& error)
{
    return call(Call::Enter, name, {}, &out, error);
}

void OffThreadCursor::leave()
{
    std::string unused;
    call(Call::Leave, {}, {}, nullptr, unused);
}

bool OffThreadCursor::openToEnter(std::string_view root, std::string_view below, std::string& error)
{
    return call(Call::OpenToEnter, root, below, nullptr, error);
}

bool OffThreadCursor::call(Call call, std::string_view first, std::string_view second,
    SubfolderList* out, std::string& error)
{
    if (m_givenUp) {
        error = kGivenUp;
        return false;
    }
    nameFolder(call, first, second);
    const bool offThread = m_handler || m_thread.joinable();
    // A call about the same folder left behind earlier would hang this one
    // beside it; its end is awaited here, before anything is started.
    if (offThread && call != Call::Leave
        && !StrandedCalls::folders().waitFor(m_folder, m_handler)) {
        m_givenUp = true;
        error = kGivenUp;
        return false;
    }
    Shared& shared = *m_shared;
    shared.call = call;
    shared.first = first;
    shared.second = second;
    if (out)
        shared.listing.swap(*out); // its memory is reused
    if (!offThread) {
        shared.result = shared.run(shared.error);
    } else {
        if (!m_thread.joinable() && !startThread(error))
            return false;
        shared.state.store(Shared::Pending, std::memory_order_release);
        {
            const std::lock_guard lock(shared.mutex);
            if (shared.threadSleeps)
                shared.wake.notify_one();
        }
        if (!waitForAnswer()) {
            noteLeftBehind();
            error = kGivenUp;
            return false;
        }
        shared.state.store(Shared::Idle, std::memory_order_relaxed);
    }
    if (out)
        out->swap(shared.listing);
    error.swap(shared.error);
    if (shared.result)
        followStack(call);
    return shared.result;
}

void OffThreadCursor::nameFolder(Call call, std::string_view first, std::string_view second)
{
    const auto join = [this](std::string_view below) {
        if (!below.empty()) {
            if (m_folder.empty() || m_folder.back() != kPathSeparator)
                m_folder.push_back(kPathSeparator);
            m_folder.append(below);
        }
    };
    switch (call) {
    case Call::OpenRoot:
        m_folder.assign(first);
        break;
    case Call::Enter:
        m_folder.assign(m_path);
        join(first);
        break;
    case Call::OpenToEnter:
        m_folder.assign(first);
        join(second);
        break;
    case Call::Leave:
        m_folder.clear();
        break;
    }
}

void OffThreadCursor::followStack(Call call)
{
    if (call == Call::Leave) {
        if (!m_levels.empty())
            m_levels.pop_back();
        m_path.resize(m_levels.empty() ? 0 : m_levels.back());
        return;
    }
    if (call != Call::Enter)
        m_levels.clear();
    m_path.swap(m_folder);
    m_levels.push_back(m_path.size());
}

void OffThreadCursor::noteLeftBehind()
{
    Shared& shared = *m_shared;
    const std::lock_guard lock(shared.mutex);
    // The thread drops the mark as it ends the call, under the same lock; a
    // call that ended meanwhile needs none.
    if (shared.state.load(std::memory_order_acquire) != Shared::Done)
        shared.leftBehind = StrandedCalls::folders().strand(m_folder);
}

bool OffThreadCursor::startThread(std::string& error)
{
    try {
        m_thread = std::thread([shared = m_shared] { shared->serve(); });
        return true;
    } catch (const std::system_error& failure) {
        error = failure.what();
        return false;
    }
}

bool OffThreadCursor::waitForAnswer()
{
    Shared& shared = *m_shared;
    const auto answered
        = [&shared] { return shared.state.load(std::memory_order_acquire) == Shared::Done; };
    if (spinFor(answered))
        return true;
    std::unique_lock lock(shared.mutex);
    shared.callerSleeps = true;
    while (!shared.answered.wait_for(lock, kWaitSlice, answered)) {
        lock.unlock();
        const bool keepWaiting = !m_handler || m_handler();
        lock.lock();
        if (!keepWaiting && !answered()) {
            shared.callerSleeps = false;
            m_givenUp = true;
            return false;
        }
    }
    shared.callerSleeps = false;
    return true;
}

} // namespace vantorel::dirwalk
