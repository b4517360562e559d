// SPDX-License-Identifier: MIT
#include "platform/qt/QtOutputFile.h"

#include "platform/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vantorel {

QtOutputFile::QtOutputFile(const QString& path)
    : m_path(path)
{
    const QFileInfo target(path);
    m_atomic = !target.exists() || target.isFile() || target.isDir();
    if (m_atomic)
        m_file = std::make_unique<QSaveFile>(path);
    else
        m_file = std::make_unique<QFile>(path);
    // The caller writes in large blocks: a second buffer would only copy them.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(m_file->errorString());
}

QtOutputFile::~QtOutputFile() = default;

void QtOutputFile::write(const QByteArray& bytes)
{
    if (m_file->write(bytes) != bytes.size())
        fail(m_file->errorString());
}

void QtOutputFile::commit()
{
    if (m_atomic) {
        auto* file = static_cast<QSaveFile*>(m_file.get());
        if (!file->commit())
            fail(file->errorString());
        return;
    }
    if (!m_file->flush())
        fail(m_file->errorString());
    m_file->close();
    if (m_file->error() != QFileDevice::NoError)
        fail(m_file->errorString());
}

void QtOutputFile::fail(const QString& reason) const
{
    throw Failure(QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + reason);
}

} // namespace vantorel
