// SPDX-License-Identifier: MIT
#include "platform/files/QtOutputFile.h"

#include "platform/Failure.h"
#include "platform/files/OutputTarget.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorel
{

QtOutputFile::QtOutputFile(const QString& path)
    : m_path(path)
{
    const OutputTarget target = OutputTarget::inspect(path);
    switch (target.kind) {
    case OutputTarget::Kind::Other:
        fail(target.description);
    case OutputTarget::Kind::Sink:
        openDirect(target);
        return;
    case OutputTarget::Kind::File:
        if (target.replaceable && openReplacement(target))
            return;
        openDirect(target);
        return;
    case OutputTarget::Kind::Absent:
    case OutputTarget::Kind::Folder: // QSaveFile names the fault
        if (!openReplacement(target))
            fail(m_file->errorString());
        return;
    }
}

QtOutputFile::~QtOutputFile() = default;

bool QtOutputFile::openReplacement(const OutputTarget& target)
{
    m_mode = Mode::Replace;
    auto file = std::make_unique<QSaveFile>(target.path);
    // The caller writes in large blocks: a second buffer would only copy them.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_file = std::move(file);
        return false;
    }
    if (target.kind == OutputTarget::Kind::File) {
        const int fd = file->handle();
        struct stat copy;
        if (::fstat(fd, &copy) != 0)
            return false;
        // A change of owner clears the set-id bits, so the mode comes after it.
        if ((copy.st_uid != target.owner || copy.st_gid != target.group)
            && ::fchown(fd, target.owner, target.group) != 0)
            return false;
        if (::fchmod(fd, target.mode & 07777) != 0)
            return false;
    }
    m_file = std::move(file);
    return true;
}

void QtOutputFile::openDirect(const OutputTarget& target)
{
    // Without O_NONBLOCK a named pipe put there since the look would hold the
    // window until some reader came; O_NOCTTY keeps a terminal from becoming ours.
    const int fd = ::open(
        QFile::encodeName(target.path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        fail(qt_error_string(errno));
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        fail(qt_error_string(error));
    }
    // What was looked at may have been swapped for something else since.
    const bool sink = S_ISCHR(status.st_mode) && OutputTarget::isSink(status.st_rdev);
    if (!S_ISREG(status.st_mode) && !sink) {
        ::close(fd);
        fail(OutputTarget::describe(status.st_mode));
    }
    m_mode = S_ISREG(status.st_mode) ? Mode::InPlace : Mode::Sink;
    // A sink's writes wait as they always did; only the open must not.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(
            fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(file->errorString());
    }
    m_file = std::move(file);
}

void QtOutputFile::emptyInPlace()
{
    // The old content stays until the first bytes of the new are there, so
    // a save that fails before writing anything loses nothing.
    if (m_mode != Mode::InPlace || m_emptied)
        return;
    if (::ftruncate(m_file->handle(), 0) != 0)
        fail(qt_error_string(errno));
    m_emptied = true;
}

void QtOutputFile::write(const QByteArray& bytes)
{
    emptyInPlace();
    // A short write has no error of its own: the next attempt names it.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = m_file->write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            fail(m_file->errorString());
        done += written;
    }
}

void QtOutputFile::commit()
{
    if (m_mode == Mode::Replace) {
        auto* file = static_cast<QSaveFile*>(m_file.get());
        if (!file->commit())
            fail(file->errorString());
        return;
    }
    emptyInPlace();
    if (!m_file->flush())
        fail(m_file->errorString());
    // As QSaveFile does before its rename: "Done." means the rows are on disk,
    // and some file systems only report a failed write here.
    if (m_mode == Mode::InPlace && ::fsync(m_file->handle()) != 0)
        fail(qt_error_string(errno));
    m_file->close();
    if (m_file->error() != QFileDevice::NoError)
        fail(m_file->errorString());
}

void QtOutputFile::fail(const QString& reason) const
{
    QString description = QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + reason;
    if (m_emptied)
        description += Failure::tr(". The file was being written in place and now holds "
                                   "only part of the results.");
    throw Failure(description);
}

} // namespace vantorel
