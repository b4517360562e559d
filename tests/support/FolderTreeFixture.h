// SPDX-License-Identifier: MIT
// Folder trees for the walk's tests, made below a temporary folder.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantorel::test
{

/// Creates each relative path (and its parents) below `root`.
bool makeFolders(const QString& root, const QStringList& relativePaths);

/// Creates a chain of `levels` folders named `name` below `root`, and folder
/// `leaf` inside the deepest one; works far beyond PATH_MAX. Returns the
/// native path of `leaf`, or an empty array on failure.
QByteArray makeFolderChain(
    const QByteArray& root, const QByteArray& name, int levels, const QByteArray& leaf);

/// Removes a tree of any depth.
bool removeTree(const QString& path);

/// The trees the window tests search, each made below a folder the test
/// owns. A test whose tree is one particular fault builds its own.
class StandardTree
{
public:
    /// "Work": alpha/alpha-old, Alpha-Project/src, beta/old alpha, docs: hits
    /// in names and in paths, in both cases. Its path, or empty on failure.
    static QString plain(const QString& parent);
    /// plain() with 40 more hits, many/alpha-0 to many/alpha-39: a search
    /// long enough to be stopped and lists long enough to scroll.
    static QString crowded(const QString& parent);
    /// "work": alpha/beta/gamma and delta, with links that lead back up: to
    /// the parent, the top, above the tree, to itself and a loop of two.
    static QString linksAndLoops(const QString& parent);
    /// A chain of `levels` folders "level" with "alpha-bottom" in the deepest,
    /// far beyond PATH_MAX. The native path of "alpha-bottom", or empty.
    static QByteArray deep(const QByteArray& parent, int levels = 3000);
};

/// One folder found by the reference walk.
struct ReferenceEntry {
    QByteArray relativePath; ///< below the root, "/"-separated
    QByteArray name;
    bool isLink = false;
};

/// Every folder below `root` in depth-first pre-order and readdir() order, with
/// links to folders listed and not entered: what the walk must visit.
QList<ReferenceEntry> referenceWalk(const QByteArray& root);

/// The rows a search of `root` must give: every folder whose name holds the
/// phrase, in the walk's order, as full paths or names.
QStringList expectedSearchRows(const QString& root, const QString& phrase, bool fullPath = true,
    Qt::CaseSensitivity cs = Qt::CaseInsensitive);

} // namespace vantorel::test
