// SPDX-License-Identifier: MIT
#include "HangingFolderService.h"

#include "platform/walk/OffThreadCall.h"
#include "platform/walk/OffThreadCursor.h"
#include "platform/walk/readahead/ReadAheadCursor.h"

#include <condition_variable>
#include <mutex>

namespace vantorel::test
{

struct HangingFolderService::Gate {
    std::string name;
    mutable std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    int hanging = 0;
    int liveCursors = 0;

    void passIfOpen(std::string_view listed)
    {
        if (listed != name)
            return;
        std::unique_lock lock(mutex);
        ++hanging;
        opened.wait(lock, [this] { return open; });
        --hanging;
    }
};

namespace
{

    class HangingCursor : public dirwalk::DirectoryCursor
    {
    public:
        explicit HangingCursor(std::shared_ptr<HangingFolderService::Gate> gate)
            : m_gate(std::move(gate))
            , m_system(dirwalk::makeSystemDirectoryCursor())
        {
            const std::lock_guard lock(m_gate->mutex);
            ++m_gate->liveCursors;
        }
        ~HangingCursor() override
        {
            const std::lock_guard lock(m_gate->mutex);
            --m_gate->liveCursors;
        }
        bool openRoot(
            std::string_view path, dirwalk::SubfolderList& out, std::string& error) override
        {
            return m_system->openRoot(path, out, error);
        }
        bool enter(std::string_view name, dirwalk::SubfolderList& out, std::string& error) override
        {
            m_gate->passIfOpen(name);
            return m_system->enter(name, out, error);
        }
        void leave() override { m_system->leave(); }
        bool openToEnter(std::string_view root, std::string_view below, std::string& error) override
        {
            return m_system->openToEnter(root, below, error);
        }

    private:
        std::shared_ptr<HangingFolderService::Gate> m_gate;
        std::unique_ptr<dirwalk::DirectoryCursor> m_system;
    };

} // namespace

HangingFolderService::HangingFolderService(QByteArray hangingName, unsigned readAheadThreads)
    : m_gate(std::make_shared<Gate>())
    , m_threads(readAheadThreads)
{
    m_gate->name = hangingName.toStdString();
}

HangingFolderService::~HangingFolderService()
{
    release();
}

std::unique_ptr<dirwalk::DirectoryCursor> HangingFolderService::cursor()
{
    auto make = [gate = m_gate] { return std::make_unique<HangingCursor>(gate); };
    if (m_threads == 0)
        return std::make_unique<dirwalk::OffThreadCursor>(make());
    return std::make_unique<dirwalk::ReadAheadCursor>(
        make, dirwalk::ReadAheadLimits {}, nullptr, m_threads);
}

Folder HangingFolderService::getNativeFolder(
    const QByteArray& nativePath, const dirwalk::WaitHandler& whileWaiting)
{
    const std::string name = nativePath.mid(nativePath.lastIndexOf('/') + 1).toStdString();
    const std::string_view path(nativePath.constData(), std::size_t(nativePath.size()));
    if (!dirwalk::runOffThread(
            path, [gate = m_gate, name] { gate->passIfOpen(name); }, whileWaiting)) {
        Folder folder;
        folder.waitGivenUp = true;
        return folder;
    }
    return m_system.getNativeFolder(nativePath, whileWaiting);
}

int HangingFolderService::hanging() const
{
    const std::lock_guard lock(m_gate->mutex);
    return m_gate->hanging;
}

int HangingFolderService::liveCursors() const
{
    const std::lock_guard lock(m_gate->mutex);
    return m_gate->liveCursors;
}

void HangingFolderService::release()
{
    {
        const std::lock_guard lock(m_gate->mutex);
        m_gate->open = true;
    }
    m_gate->opened.notify_all();
}

} // namespace vantorel::test
