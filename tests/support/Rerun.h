#pragma once

// Runs the current test function, data row and all, again in a child process: the executable
// itself, started with the test's name and `variable` set in its environment (by which the child
// knows that it is the child). What the child reports becomes the outcome here.

#include <QString>
#include <QStringList>

namespace rerun {

struct Outcome {
    enum class Kind { RunHere, Passed, Failed, Skipped, TimedOut };
    Kind kind = Kind::RunHere;
    QString output; // the child's output: why it failed or skipped
};

// True in a child started with `variable`.
bool inChild(const char* variable);

// Starts the child through `launcher` (a program and its arguments put before the executable;
// empty: the executable directly), waits for it up to `msecs` (killing it after that) and tells
// how it ended.
Outcome currentTest(const char* variable, const QStringList& launcher, int msecs);

} // namespace rerun

// A row that might never end (a named pipe opened where a file belongs waits for a writer for
// ever) runs in a child process that is given `seconds`; the row fails when the child is still
// running then. As the first statement of the test function; the child goes on with the row.
#define MEROVAN_RUN_IN_CHILD(seconds)                                                                                  \
    do {                                                                                                               \
        if (!rerun::inChild("MEROVAN_IN_CHILD")) {                                                                     \
            const rerun::Outcome merovanRerun = rerun::currentTest("MEROVAN_IN_CHILD", {}, (seconds)*1000);            \
            if (merovanRerun.kind == rerun::Outcome::Kind::TimedOut)                                                   \
                QFAIL(qPrintable(QStringLiteral("still running after %1 s, killed:\n").arg(seconds) +                  \
                                 merovanRerun.output));                                                                \
            if (merovanRerun.kind == rerun::Outcome::Kind::Skipped)                                                    \
                QSKIP(qPrintable(merovanRerun.output));                                                                \
            if (merovanRerun.kind == rerun::Outcome::Kind::Failed)                                                     \
                QFAIL(qPrintable(merovanRerun.output));                                                                \
            return;                                                                                                    \
        }                                                                                                              \
    } while (0)
