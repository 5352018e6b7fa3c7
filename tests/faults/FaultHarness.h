#pragma once

// What the fault-injection and crash tests share: the driver as a child process and what it
// printed, and the trace of the fault library.

#include "support/Files.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>

namespace faults {

// True in a build with the address sanitizer: its runtime must come first in the list of loaded
// libraries, so a preloaded library cannot be used there.
constexpr bool kAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

inline const char* const kPreloadSkip = "the fault library is preloaded (LD_PRELOAD), which cannot work beside the "
                                        "address sanitizer's runtime; these cases run in the normal build";

inline QString unescaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar c = text[++i];
        out += c == QLatin1Char('n')   ? QChar('\n')
               : c == QLatin1Char('r') ? QChar('\r')
               : c == QLatin1Char('t') ? QChar('\t')
                                       : c;
    }
    return out;
}

struct DialogCall {
    QString kind; // input, exclamation, information, question, ...
    QString title;
    QString text;
};

// The driver (see faultdriver.cpp) as a child process, with what it printed so far sorted by run.
class Driver {
public:
    Driver() { m_process.setProcessChannelMode(QProcess::SeparateChannels); }
    ~Driver() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }

    // Starts `program` (the driver, or a command that ends by running it) with `arguments`.
    void start(const QString& program, const QStringList& arguments, const QProcessEnvironment& env) {
        m_process.setProcessEnvironment(env);
        m_process.start(program, arguments);
    }
    QProcess& process() { return m_process; }

    // Reads what the driver prints until a line equal to `line` has come; false when it ended or
    // the time ran out first.
    bool waitForLine(const QString& line, int milliseconds = 60000) {
        QDeadlineTimer deadline(milliseconds);
        for (;;) {
            take();
            if (m_lines.contains(line))
                return true;
            if (m_process.state() == QProcess::NotRunning || deadline.hasExpired())
                return false;
            m_process.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)));
        }
    }
    // Lets a paused driver go on.
    void resume() { m_process.write("\n"); }
    // Waits for the end; true when the driver ended normally with exit code 0.
    bool finish(int milliseconds = 60000) {
        m_process.closeWriteChannel();
        const bool ended = m_process.waitForFinished(milliseconds);
        take();
        return ended && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }
    // Reads what is left after the driver has gone.
    void drain() { take(); }

    const QStringList& lines() const { return m_lines; }
    QList<DialogCall> dialogs(int run) const { return m_dialogs.value(run); }
    QList<DialogCall> dialogs(int run, const QString& kind) const {
        QList<DialogCall> result;
        for (const DialogCall& d : m_dialogs.value(run)) {
            if (d.kind == kind)
                result.append(d);
        }
        return result;
    }
    QString state(int run) const { return m_states.value(run); }
    // The highest run the driver reported done; 0 before the first.
    int lastDone() const { return m_lastDone; }
    QString errorOutput() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }
    QString transcript() const { return m_lines.join(QLatin1Char('\n')); }

private:
    void take() {
        m_buffer += m_process.readAllStandardOutput();
        for (qsizetype end = m_buffer.indexOf('\n'); end >= 0; end = m_buffer.indexOf('\n')) {
            const QString line = QString::fromUtf8(m_buffer.left(end));
            m_buffer.remove(0, end + 1);
            m_lines.append(line);
            if (line.startsWith(QLatin1String("RUN "))) {
                m_run = line.mid(4).toInt();
            } else if (line.startsWith(QLatin1String("DONE "))) {
                m_lastDone = line.mid(5).toInt();
            } else if (line.startsWith(QLatin1String("STATE\t"))) {
                m_states[m_run] = line.mid(6);
            } else if (line.startsWith(QLatin1String("DIALOG\t"))) {
                const QStringList parts = line.split(QLatin1Char('\t'));
                if (parts.size() == 4)
                    m_dialogs[m_run].append({parts[1], unescaped(parts[2]), unescaped(parts[3])});
            }
        }
    }

    QProcess m_process;
    QByteArray m_buffer;
    QStringList m_lines;
    int m_run = 0;
    int m_lastDone = 0;
    QMap<int, QList<DialogCall>> m_dialogs;
    QMap<int, QString> m_states;
};

// One line of the fault library's trace.
struct TraceCall {
    QString kind; // open, write, fsync, rename
    int number = 0;
    QString path;
    QString second; // rename: the new name
};

struct Trace {
    QList<TraceCall> calls;
    std::optional<TraceCall> fault; // the injected one
    int injectedErrno = 0;

    int count(const QString& kind) const {
        int n = 0;
        for (const TraceCall& c : calls)
            n += c.kind == kind;
        return n;
    }

    static Trace read(const QString& path) {
        Trace t;
        for (const QByteArray& raw : testfiles::readFile(path).split('\n')) {
            const QStringList parts = QString::fromLocal8Bit(raw).split(QLatin1Char('\t'));
            if (parts.size() >= 5 && parts[0] == QLatin1String("fault")) {
                // The call itself was traced just before.
                t.fault = TraceCall{parts[1], parts[2].toInt(), parts[4], QString()};
                for (const TraceCall& c : t.calls) {
                    if (c.kind == t.fault->kind && c.number == t.fault->number)
                        t.fault = c;
                }
                t.injectedErrno = parts[3].toInt();
            } else if (parts.size() >= 3) {
                t.calls.append({parts[0], parts[1].toInt(), parts[2], parts.value(3)});
            }
        }
        return t;
    }

    // The file that a call worked on: a temporary file ".<name>.<random>.tmp" stands for <name>
    // beside it; a rename for its new name; a folder (its sync after a rename or a removal) for
    // the file renamed into it last before, or for itself when there is none.
    QString fileOf(const TraceCall& call) const {
        if (call.kind == QLatin1String("rename"))
            return call.second;
        static const QRegularExpression temporary(QStringLiteral("^(.*/)\\.(.+)\\.[0-9a-z]+\\.tmp$"));
        if (const auto m = temporary.match(call.path); m.hasMatch())
            return m.captured(1) + m.captured(2);
        if (QFileInfo(call.path).isDir()) {
            QString renamed = call.path;
            for (const TraceCall& c : calls) {
                if (c.kind == call.kind && c.number == call.number)
                    break;
                if (c.kind == QLatin1String("rename") && QFileInfo(c.second).absolutePath() == call.path)
                    renamed = c.second;
            }
            return renamed;
        }
        return call.path;
    }
    // True when the call is the sync of a folder, which comes after the rename.
    static bool isFolderSync(const TraceCall& call) {
        return call.kind == QLatin1String("fsync") && QFileInfo(call.path).isDir();
    }
};

} // namespace faults
