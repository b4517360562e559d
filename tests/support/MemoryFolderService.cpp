// SPDX-License-Identifier: MIT
#include "MemoryFolderService.h"

#include "platform/Failure.h"

#include <QFile>

namespace vantorel::test
{

namespace
{

    QByteArray joined(const QByteArray& parent, std::string_view name)
    {
        QByteArray path = parent;
        if (!path.endsWith('/'))
            path += '/';
        return path + QByteArray(name.data(), qsizetype(name.size()));
    }

    class MemoryCursor : public dirwalk::DirectoryCursor
    {
    public:
        explicit MemoryCursor(const MemoryFolderService& service)
            : m_service(service)
        {
        }

        bool openRoot(
            std::string_view path, dirwalk::SubfolderList& out, std::string& error) override
        {
            m_stack.clear();
            return push(QByteArray(path.data(), qsizetype(path.size())), out, error);
        }
        bool enter(std::string_view name, dirwalk::SubfolderList& out, std::string& error) override
        {
            return push(joined(m_stack.last(), name), out, error);
        }
        void leave() override { m_stack.removeLast(); }

    private:
        bool push(const QByteArray& path, dirwalk::SubfolderList& out, std::string& error)
        {
            out.clear();
            const QByteArrayList* children = m_service.children(path);
            if (!children) {
                error = "No such file or directory";
                return false;
            }
            for (const QByteArray& child : *children)
                out.add(std::string_view(child.constData(), std::size_t(child.size())),
                    dirwalk::FolderKind::Folder);
            m_stack.append(path);
            return true;
        }

        const MemoryFolderService& m_service;
        QByteArrayList m_stack;
    };

} // namespace

void MemoryFolderService::add(const QByteArray& path)
{
    if (m_children.contains(path))
        return;
    m_children.insert(path, {});
    if (path == "/")
        return;
    const qsizetype cut = path.lastIndexOf('/');
    const QByteArray parent = cut <= 0 ? QByteArray("/") : path.left(cut);
    add(parent);
    m_children[parent].append(path.mid(cut + 1));
}

const QByteArrayList* MemoryFolderService::children(const QByteArray& path) const
{
    const auto it = m_children.constFind(path);
    return it == m_children.constEnd() ? nullptr : &*it;
}

Folder MemoryFolderService::getFolder(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    if (!m_children.contains(bytes))
        throw Failure(QStringLiteral("Path not found: ") + path);
    return Folder { path, bytes };
}

std::unique_ptr<dirwalk::DirectoryCursor> MemoryFolderService::cursor()
{
    return std::make_unique<MemoryCursor>(*this);
}

} // namespace vantorel::test
