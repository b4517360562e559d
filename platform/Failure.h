// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <exception>

namespace vantorel
{

/// A failing operation of the platform, a list control or a routine of ours.
/// Its description is the first line of the failure report, in the user's
/// language where it is ours (tr()); the system's own reasons come as it gives them.
class Failure : public std::exception
{
    Q_DECLARE_TR_FUNCTIONS(Failure)

public:
    explicit Failure(QString description);

    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

/// The description a list control gives for a position outside the list, as
/// written; Failure::tr() gives it in the user's language.
inline const char* const kIndexOutOfBounds = QT_TRANSLATE_NOOP("Failure", "Index out of bounds");

} // namespace vantorel
