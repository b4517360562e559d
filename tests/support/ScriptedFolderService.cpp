// SPDX-License-Identifier: MIT
#include "ScriptedFolderService.h"

namespace vantorel::test
{

namespace
{

    class ScriptedCursor : public dirwalk::DirectoryCursor
    {
    public:
        ScriptedCursor(
            ScriptedFolderService& service, std::unique_ptr<dirwalk::DirectoryCursor> system)
            : m_service(service)
            , m_system(std::move(system))
        {
        }
        bool openRoot(
            std::string_view path, dirwalk::SubfolderList& out, std::string& error) override
        {
            return m_system->openRoot(path, out, error);
        }
        bool enter(std::string_view name, dirwalk::SubfolderList& out, std::string& error) override
        {
            const QByteArray bytes(name.data(), qsizetype(name.size()));
            m_service.entered.append(bytes);
            if (m_service.failingNames.contains(bytes)) {
                out.clear();
                error = m_service.failureReason.toStdString();
                return false;
            }
            return m_system->enter(name, out, error);
        }
        void leave() override { m_system->leave(); }

    private:
        ScriptedFolderService& m_service;
        std::unique_ptr<dirwalk::DirectoryCursor> m_system;
    };

} // namespace

std::unique_ptr<dirwalk::DirectoryCursor> ScriptedFolderService::cursor()
{
    return std::make_unique<ScriptedCursor>(*this, m_system.cursor());
}

} // namespace vantorel::test
