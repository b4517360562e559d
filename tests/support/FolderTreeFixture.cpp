// SPDX-License-Identifier: MIT
#include "FolderTreeFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace vantorel::test
{

bool makeFolders(const QString& root, const QStringList& relativePaths)
{
    QDir dir(root);
    return std::all_of(relativePaths.begin(), relativePaths.end(),
        [&](const QString& path) { return dir.mkpath(path); });
}

QByteArray makeFolderChain(
    const QByteArray& root, const QByteArray& name, int levels, const QByteArray& leaf)
{
    int fd = ::open(root.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray path = root;
    bool ok = true;
    for (int level = 0; ok && level <= levels; ++level) {
        const QByteArray& next = level < levels ? name : leaf;
        ok = ::mkdirat(fd, next.constData(), 0755) == 0;
        const int child
            = ok ? ::openat(fd, next.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        ::close(fd);
        fd = child;
        ok = ok && fd >= 0;
        path += '/' + next;
    }
    if (fd >= 0)
        ::close(fd);
    return ok ? path : QByteArray();
}

bool removeTree(const QString& path)
{
    // rm walks relative to open folders, so no path length limit applies.
    return QProcess::execute(
               QStringLiteral("rm"), { QStringLiteral("-rf"), QStringLiteral("--"), path })
        == 0;
}

QString StandardTree::plain(const QString& parent)
{
    const QString work = parent + QStringLiteral("/Work");
    return makeFolders(work, { "alpha/alpha-old", "Alpha-Project/src", "beta/old alpha", "docs" })
        ? work
        : QString();
}

QString StandardTree::crowded(const QString& parent)
{
    const QString work = plain(parent);
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QStringLiteral("many/alpha-%1").arg(i);
    return !work.isEmpty() && makeFolders(work, many) ? work : QString();
}

QString StandardTree::linksAndLoops(const QString& parent)
{
    const QString work = parent + QStringLiteral("/work");
    const bool made = makeFolders(work, { "alpha/beta/gamma", "delta" })
        && QFile::link("..", work + "/alpha/beta/alpha-to-parent")
        && QFile::link(work, work + "/alpha/beta/gamma/alpha-to-top")
        && QFile::link(parent, work + "/delta/alpha-above-the-location")
        && QFile::link("alpha-loop-b", work + "/delta/alpha-loop-a")
        && QFile::link("alpha-loop-a", work + "/delta/alpha-loop-b")
        && QFile::link(".", work + "/delta/alpha-self");
    return made ? work : QString();
}

QByteArray StandardTree::deep(const QByteArray& parent, int levels)
{
    return makeFolderChain(parent, "level", levels, "alpha-bottom");
}

namespace
{

    void walkBelow(const QByteArray& root, const QByteArray& relative, QList<ReferenceEntry>& out)
    {
        const QByteArray folder = relative.isEmpty() ? root : root + '/' + relative;
        DIR* dir = ::opendir(folder.constData());
        if (!dir)
            return;
        QList<ReferenceEntry> here;
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            const QByteArray path = relative.isEmpty() ? name : relative + '/' + name;
            struct stat own;
            struct stat target;
            if (::lstat((root + '/' + path).constData(), &own) != 0)
                continue;
            if (S_ISDIR(own.st_mode))
                here.append({ path, name, false });
            else if (S_ISLNK(own.st_mode) && ::stat((root + '/' + path).constData(), &target) == 0
                && S_ISDIR(target.st_mode))
                here.append({ path, name, true });
        }
        ::closedir(dir);
        for (const ReferenceEntry& entry : here) {
            out.append(entry);
            if (!entry.isLink)
                walkBelow(root, entry.relativePath, out);
        }
    }

} // namespace

QList<ReferenceEntry> referenceWalk(const QByteArray& root)
{
    QList<ReferenceEntry> out;
    walkBelow(root, QByteArray(), out);
    return out;
}

QStringList expectedSearchRows(
    const QString& root, const QString& phrase, bool fullPath, Qt::CaseSensitivity cs)
{
    QStringList rows;
    for (const ReferenceEntry& entry : referenceWalk(QFile::encodeName(root))) {
        const QString name = QFile::decodeName(entry.name);
        if (name.contains(phrase, cs))
            rows << (fullPath ? root + '/' + QFile::decodeName(entry.relativePath) : name);
    }
    return rows;
}

} // namespace vantorel::test
