// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vantorel::test
{

/// A folder tree served by the emulated network share (share_fs, FUSE), on
/// which listing a folder with one name never answers, as on a share that
/// stopped answering, until release(). Once released the share is unmounted
/// and ended as the fixture goes.
class HungShare
{
public:
    /// Mounts the folders `tree` (relative paths) from a folder of its own;
    /// the listings of folders named `hangingName` hang.
    HungShare(const QStringList& tree, const QString& hangingName);
    ~HungShare();
    HungShare(const HungShare&) = delete;
    HungShare& operator=(const HungShare&) = delete;

    /// Why the share could not be had (no libfuse, no /dev/fuse, no
    /// permission to mount), for a skip; empty when it is mounted.
    const QString& unavailable() const { return m_unavailable; }
    /// Where the tree is mounted.
    QString mountPoint() const { return m_dir.path() + QStringLiteral("/share"); }
    /// How many listings have started to hang so far.
    int hangingListings();
    /// The share answers from now on: every listing held, and every later one.
    void release();

private:
    bool mounted() const;

    QTemporaryDir m_dir;
    QProcess m_share;
    QString m_unavailable;
    QByteArray m_messages;
};

} // namespace vantorel::test
