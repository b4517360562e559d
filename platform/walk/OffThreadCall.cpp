// SPDX-License-Identifier: MIT
#include "platform/walk/OffThreadCall.h"

#include "platform/walk/StrandedCalls.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace vantorel::dirwalk
{

bool runOffThread(
    std::string_view folder, std::function<void()> job, const WaitHandler& whileWaiting)
{
    if (!whileWaiting) {
        job();
        return true;
    }
    StrandedCalls& stranded = StrandedCalls::folders();
    if (!stranded.waitFor(folder, whileWaiting))
        return false;
    struct Call {
        std::function<void()> job;
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        std::unique_ptr<StrandedCalls::Mark> leftBehind; ///< guarded by mutex
    };
    auto call = std::make_shared<Call>();
    call->job = std::move(job);
    std::thread thread;
    try {
        thread = std::thread([call] {
            call->job();
            const std::lock_guard lock(call->mutex);
            call->done = true;
            call->leftBehind.reset();
            call->ended.notify_one();
        });
    } catch (const std::system_error&) {
        call->job(); // no thread to be had: waited for here
        return true;
    }
    std::unique_lock lock(call->mutex);
    while (!call->ended.wait_for(lock, kWaitSlice, [&call] { return call->done; })) {
        lock.unlock();
        const bool keepWaiting = whileWaiting();
        lock.lock();
        if (!keepWaiting && !call->done) {
            call->leftBehind
                = stranded.strand(std::string(folder)); // dropped by the thread once done
            thread.detach();
            return false;
        }
    }
    lock.unlock();
    thread.join();
    return true;
}

} // namespace vantorel::dirwalk
