// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace vantorel::dirwalk
{

/// Lists with another cursor on a thread of its own once a wait handler is
/// set, so that a folder on a hung disk or network share never holds the
/// walk's thread: it waits in slices and calls the handler between them.
/// Without a handler every call goes straight to the other cursor.
///
/// The other cursor belongs to the thread. When a wait is given up, the
/// thread finishes the listing under way, whenever the system lets it, then
/// drops the cursor and ends by itself; the walk goes on at once. Until then
/// the folder is noted as left behind (StrandedCalls::folders()): any cursor's
/// call about it first waits for that listing, so a dead share holds one
/// thread and its descriptors however often a walk of it is started and given up.
class OffThreadCursor final : public DirectoryCursor
{
public:
    explicit OffThreadCursor(std::unique_ptr<DirectoryCursor> cursor);
    ~OffThreadCursor() override;
    OffThreadCursor(const OffThreadCursor&) = delete;
    OffThreadCursor& operator=(const OffThreadCursor&) = delete;

    bool openRoot(std::string_view path, SubfolderList& out, std::string& error) override;
    bool enter(std::string_view name, SubfolderList& out, std::string& error) override;
    void leave() override;
    bool openToEnter(std::string_view root, std::string_view below, std::string& error) override;
    void setWaitHandler(WaitHandler handler) override { m_handler = std::move(handler); }
    /// A wait was given up: every call fails from then on.
    bool givenUp() const { return m_givenUp; }

    /// The error of every call made after a wait was given up.
    static constexpr const char* kGivenUp = "The wait for the folder was given up";

private:
    struct Shared;
    enum class Call : unsigned char { OpenRoot, Enter, Leave, OpenToEnter };

    /// Runs one call on the thread, or here when there is no handler.
    bool call(Call call, std::string_view first, std::string_view second, SubfolderList* out,
        std::string& error);
    bool startThread(std::string& error);
    /// Waits for the thread's answer, serving the handler; false when the wait was given up.
    bool waitForAnswer();
    /// Names in m_folder the folder the call is about.
    void nameFolder(Call call, std::string_view first, std::string_view second);
    /// Follows a call that succeeded in m_path and m_levels.
    void followStack(Call call);
    /// Marks m_folder as left behind while the thread is still in its call.
    void noteLeftBehind();

    std::shared_ptr<Shared> m_shared;
    WaitHandler m_handler;
    std::thread m_thread;
    bool m_givenUp = false;
    /// The path of the deepest folder on the stack, and where each level's ends.
    std::string m_path;
    std::vector<std::size_t> m_levels;
    /// The folder the call under way is about.
    std::string m_folder;
};

} // namespace vantorel::dirwalk
