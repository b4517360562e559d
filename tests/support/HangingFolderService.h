// SPDX-License-Identifier: MIT
#pragma once

#include "platform/files/SystemFolderService.h"

#include <QByteArray>
#include <memory>

namespace vantorel::test
{

/// The system's folders, walked as the program walks them (on the walk's
/// thread or read ahead), where listing the folders with one name, or
/// checking such a location, hangs, as on a dead network share, until
/// release().
class HangingFolderService : public FolderService
{
public:
    /// `readAheadThreads` 0: no read-ahead.
    HangingFolderService(QByteArray hangingName, unsigned readAheadThreads);
    ~HangingFolderService() override;

    Folder getFolder(const QString& path) override { return m_system.getFolder(path); }
    /// Checking a location with the hanging name hangs too.
    Folder getNativeFolder(
        const QByteArray& nativePath, const dirwalk::WaitHandler& whileWaiting = {}) override;
    std::unique_ptr<dirwalk::DirectoryCursor> cursor() override;

    /// Listings hanging now.
    int hanging() const;
    /// Cursors not yet destroyed, on whatever thread.
    int liveCursors() const;
    /// Lets every hanging listing, and every later one, go on.
    void release();

    struct Gate;

private:
    std::shared_ptr<Gate> m_gate;
    unsigned m_threads;
    SystemFolderService m_system;
};

} // namespace vantorel::test
