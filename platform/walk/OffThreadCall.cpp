// SPDX-License-Identifier: MIT
#include "platform/walk/OffThreadCall.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace vantorel::dirwalk
{

bool runOffThread(std::function<void()> job, const WaitHandler& whileWaiting)
{
    if (!whileWaiting) {
        job();
        return true;
    }
    struct Call {
        std::function<void()> job;
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
    };
    auto call = std::make_shared<Call>();
    call->job = std::move(job);
    std::thread thread;
    try {
        thread = std::thread([call] {
            call->job();
            const std::lock_guard lock(call->mutex);
            call->done = true;
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
            thread.detach();
            return false;
        }
    }
    lock.unlock();
    thread.join();
    return true;
}

} // namespace vantorel::dirwalk
