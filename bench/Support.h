#pragma once

// What the benchmarks share: clocks, the program folder they work on, child processes started
// with exact timestamps, a private X server, and the kernel's memory figures of a process.

#include "Files.h"
#include "gui/app/AppContext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// The file helpers of the tests.
using testfiles::copyTree;
using testfiles::readFile;
using testfiles::writeFile;

using Clock = std::chrono::steady_clock;

// The monotonic clock in nanoseconds, the same clock the programs under test stamp their first
// paint with (steady_clock is CLOCK_MONOTONIC on Linux, shared by all processes).
std::int64_t monotonicNs();
double secondsBetween(Clock::time_point from, Clock::time_point to);

// Paths fixed at build time: the staged program folder and the floor program.
QString stagedFolder();
QString minimalProgram();

// A configured copy of the staged program folder in a temporary directory: strt.cfg holds 0, the
// language is German, and options.cfg names the demo FS2000 folder inside the copy.
class ProgramCopy {
public:
    ProgramCopy();
    bool isValid() const { return m_ok; }
    QString path() const { return m_context.programFolder; } // ends with "/"
    QString program() const { return path() + QStringLiteral("merovan"); }
    AppContext& context() { return m_context; }

private:
    QTemporaryDir m_dir;
    AppContext m_context;
    bool m_ok = false;
};

// A file of `size` bytes in the layout of an aircraft.cfg: the usual head, filler sections, the
// weight-and-balance section about halfway, and more filler sections after it.
QByteArray aircraftCfg(qsizetype size);

// A started child process whose standard error goes to a file that can be searched.
class Child {
public:
    // Starts argv[0] (a path) with the current environment plus `set` ("NAME=value") and minus
    // the names in `unset`. Records the monotonic clock just before the start.
    static std::unique_ptr<Child> start(const std::vector<std::string>& argv, const std::vector<std::string>& set,
                                        const std::vector<std::string>& unset, const QString& logFolder);
    ~Child();

    pid_t pid() const { return m_pid; }
    std::int64_t startedNs() const { return m_startedNs; }
    bool running();
    // Waits up to `timeoutMs` for a line of standard error that starts with `prefix`; returns the
    // rest of that line.
    std::optional<std::string> waitForLine(const std::string& prefix, int timeoutMs);
    // Ends the process (TERM, then KILL) and reaps it.
    void stop();
    QString log() const;

private:
    Child() = default;
    pid_t m_pid = -1;
    std::int64_t m_startedNs = 0;
    QString m_logPath;
    bool m_reaped = false;
};

// Runs a command to its end; returns its exit status (or -1) and its standard output.
int runCommand(const QStringList& argv, QByteArray* output = nullptr, int timeoutMs = 60000);

// A private X server on a display number it picks itself.
class XServer {
public:
    XServer();
    ~XServer();
    bool isValid() const { return !m_display.isEmpty(); }
    QString display() const { return m_display; } // ":<n>"
    QString error() const { return m_error; }

private:
    pid_t m_pid = -1;
    QString m_display;
    QString m_error;
};

// A figure of /proc/<pid>/status in bytes ("VmHWM", "VmRSS"), or -1.
std::int64_t procStatusBytes(pid_t pid, const char* field);
// Resets the peak resident size of this process to its current resident size.
bool resetPeakResident();

} // namespace bench
