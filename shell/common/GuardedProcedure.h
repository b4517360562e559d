// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Failure.h"
#include "platform/MessageBoxes.h"
#include "shell/common/ProductInfo.h"

#include <QCoreApplication>
#include <QString>
#include <exception>
#include <optional>
#include <utility>

namespace vantorel
{

/// The failure report's text: description, CR LF, location text, "at line ",
/// the digits, CR, CR, and the support line.
QString composeFailureReport(const QString& description, const QString& locationText, int line);

/// The report's last line: where to send a screenshot of it. A build that was
/// given no support address says so rather than name one that nobody reads.
QString supportLine(const QString& supportAddress = product::supportAddress());

/// "in Vantorel2021/08/31.Form1.<procedure> ", with its trailing blank.
QString locationText(const QString& procedureName);

/// The one failure handler that every command and start-up use. Each numbered
/// statement runs through it: a failure is reported in the "Application Error"
/// box and the procedure goes on with the next statement. A routine called by
/// a statement has no handler of its own: its failure ends it and is reported
/// here with the calling statement's line.
class GuardedProcedure
{
    Q_DECLARE_TR_FUNCTIONS(FailureReport)

public:
    GuardedProcedure(MessageBoxes& boxes, const QString& procedureName);

    /// Runs one statement. False when it failed (and was reported).
    template <class Statement> bool run(int line, Statement&& statement)
    {
        if (const std::optional<QString> failure = attempt(std::forward<Statement>(statement))) {
            report(*failure, line);
            return false;
        }
        return true;
    }

    /// Runs one statement and leaves its failure, if any, to the caller to report.
    template <class Statement> static std::optional<QString> attempt(Statement&& statement)
    {
        try {
            std::forward<Statement>(statement)();
            return std::nullopt;
        } catch (const Failure& failure) {
            return failure.description();
        } catch (const std::exception& failure) {
            return QString::fromLocal8Bit(failure.what());
        }
    }

    /// The test of a branch or the head of a loop: when evaluating it fails,
    /// the failure is reported and execution goes into the branch or loop.
    template <class Test> bool test(int line, Test&& condition)
    {
        bool result = true;
        run(line, [&] { result = std::forward<Test>(condition)(); });
        return result;
    }

    /// The head of a counted loop: the count, or 1 when reading it failed, so
    /// that execution goes into the loop for its first position.
    template <class Count> int loopCount(int line, Count&& count)
    {
        int result = 0;
        if (!run(line, [&] { result = std::forward<Count>(count)(); }))
            return 1;
        return result;
    }

    /// Shows one report for a failure at `line`.
    void report(const QString& description, int line);

    const QString& location() const { return m_location; }

private:
    MessageBoxes& m_boxes;
    QString m_location;
};

} // namespace vantorel
