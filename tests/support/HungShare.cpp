// SPDX-License-Identifier: MIT
#include "HungShare.h"

#include "FolderTreeFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

namespace vantorel::test
{

namespace
{

    constexpr int kMountTimeoutMs = 10000;

#ifdef OSTLEBRY_SHARE_FS
    const QString kShareProgram = QStringLiteral(OSTLEBRY_SHARE_FS);
#else
    const QString kShareProgram;
#endif

} // namespace

HungShare::HungShare(const QStringList& tree, const QString& hangingName)
{
    const QString source = m_dir.path() + QStringLiteral("/source");
    if (kShareProgram.isEmpty()) {
        m_unavailable = QStringLiteral("share_fs was not built: it needs libfuse3-dev and the "
                                       "benchmarks (OSTLEBRY_BUILD_BENCHMARKS)");
        return;
    }
    if (!QFileInfo::exists(QStringLiteral("/dev/fuse"))) {
        m_unavailable = QStringLiteral("/dev/fuse is missing: no FUSE in this system");
        return;
    }
    if (!makeFolders(source, tree) || !makeFolders(m_dir.path(), { QStringLiteral("share") })) {
        m_unavailable = QStringLiteral("the share's folders could not be made");
        return;
    }
    m_share.setProcessChannelMode(QProcess::SeparateChannels);
    m_share.start(kShareProgram,
        { source, mountPoint(), QStringLiteral("--delay"), QStringLiteral("0"),
            QStringLiteral("--hang"), hangingName });
    if (!QTest::qWaitFor([this] { return mounted() || m_share.state() == QProcess::NotRunning; },
            kMountTimeoutMs)
        || !mounted()) {
        m_unavailable = QStringLiteral("the share could not be mounted: ")
            + QString::fromLocal8Bit(m_share.readAllStandardError()).trimmed();
        m_share.kill();
        m_share.waitForFinished();
    }
}

HungShare::~HungShare()
{
    if (m_share.state() == QProcess::NotRunning)
        return;
    release();
    // Lazily: a thread left in a listing may still hold a folder of it open.
    QProcess::execute(QStringLiteral("fusermount3"),
        { QStringLiteral("-u"), QStringLiteral("-z"), mountPoint() });
    if (!m_share.waitForFinished(kMountTimeoutMs)) {
        m_share.kill();
        m_share.waitForFinished();
    }
}

bool HungShare::mounted() const
{
    struct stat share {
    };
    struct stat parent {
    };
    return ::stat(QFile::encodeName(mountPoint()).constData(), &share) == 0
        && ::stat(QFile::encodeName(m_dir.path()).constData(), &parent) == 0
        && share.st_dev != parent.st_dev;
}

int HungShare::hangingListings()
{
    m_share.waitForReadyRead(0);
    m_messages += m_share.readAllStandardError();
    return int(m_messages.count("share_fs: hanging "));
}

void HungShare::release()
{
    if (m_share.state() != QProcess::NotRunning)
        ::kill(pid_t(m_share.processId()), SIGUSR1);
}

} // namespace vantorel::test
