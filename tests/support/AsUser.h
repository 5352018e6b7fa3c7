#pragma once

// File permissions do not bind the superuser, and the tests may run as one. A test that needs them
// to count runs again, data row and all, in a child process as an ordinary user:
//
//     MEROVAN_RUN_UNPRIVILEGED();   // first statement of the test function
//
// Under the superuser this starts the child (setpriv, as nobody), checks how it ended and returns;
// as an ordinary user (and in the child) it does nothing and the test goes on.

#include <QString>
#include <QStringList>
#include <QTest>

namespace asuser {

struct Rerun {
    enum class Outcome { RunHere, Passed, Failed, Skipped };
    Outcome outcome = Outcome::RunHere;
    QString output;
};

// True for the superuser (always false where there are no users of that kind).
bool isSuperuser();

Rerun rerunCurrentTestAsNobody();

// Runs `program` with `arguments` as the user and group given by number (setpriv, no supplementary
// groups). False when setpriv could not run it; the exit code and the output go to the pointers.
bool runAs(unsigned user, unsigned group, const QString& program, const QStringList& arguments, int* exitCode,
           QByteArray* output);

} // namespace asuser

#define MEROVAN_RUN_UNPRIVILEGED()                                                                                     \
    do {                                                                                                               \
        const asuser::Rerun merovanRerun = asuser::rerunCurrentTestAsNobody();                                         \
        if (merovanRerun.outcome == asuser::Rerun::Outcome::Skipped)                                                   \
            QSKIP(qPrintable(merovanRerun.output));                                                                    \
        if (merovanRerun.outcome == asuser::Rerun::Outcome::Failed)                                                    \
            QFAIL(qPrintable(merovanRerun.output));                                                                    \
        if (merovanRerun.outcome == asuser::Rerun::Outcome::Passed)                                                    \
            return;                                                                                                    \
    } while (0)
