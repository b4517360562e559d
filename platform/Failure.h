// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace vantorel
{

/// A failing operation of the platform, a list control or a routine of ours.
/// Its description is the first line of the failure report.
class Failure : public std::exception
{
public:
    explicit Failure(QString description);

    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

/// The description a list control gives for a position outside the list.
inline const char* const kIndexOutOfBounds = "Index out of bounds";

} // namespace vantorel
