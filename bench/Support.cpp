#include "Support.h"

#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

extern char** environ;

namespace bench {

std::int64_t monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

QString stagedFolder() {
    return QStringLiteral(MEROVAN_BENCH_STAGED_FOLDER);
}
QString minimalProgram() {
    return QStringLiteral(MEROVAN_BENCH_MINIMAL_PROGRAM);
}

namespace {

std::vector<char*> environmentWith(const std::vector<std::string>& set, const std::vector<std::string>& unset,
                                   std::vector<std::string>* storage) {
    std::set<std::string> dropped(unset.begin(), unset.end());
    for (const std::string& entry : set)
        dropped.insert(entry.substr(0, entry.find('=')));
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (!dropped.count(entry.substr(0, entry.find('='))))
            storage->push_back(entry);
    }
    storage->insert(storage->end(), set.begin(), set.end());
    std::vector<char*> pointers;
    for (std::string& entry : *storage)
        pointers.push_back(entry.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::vector<char*> argumentPointers(std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (std::string& a : argv)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Waits for `pid` to end for up to `timeoutMs`; returns its wait status or nullopt.
std::optional<int> waitFor(pid_t pid, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return status;
        if (done < 0 && errno != EINTR)
            return std::nullopt;
        if (Clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

} // namespace

ProgramCopy::ProgramCopy() {
    m_context.programFolder = m_dir.path() + QLatin1Char('/');
    m_ok = m_dir.isValid() && copyTree(stagedFolder(), m_dir.path()) &&
           writeFile(path() + QStringLiteral("strt.cfg"), QByteArray(" 0 \r\n")) &&
           writeFile(path() + QStringLiteral("options.cfg"),
                     QFile::encodeName(path() + QStringLiteral("DemoFS2000/")) + "\r\n");
    if (m_ok) {
        QFile::remove(path() + QStringLiteral("Data/language.crf"));
        m_ok = QFile::copy(path() + QStringLiteral("Data/languages/german.crf"),
                           path() + QStringLiteral("Data/language.crf"));
    }
}

QByteArray aircraftCfg(qsizetype size) {
    static const QByteArray head = "[fltsim.0]\r\ntitle=Nerova TQ 58\r\nsim=TQ58-161\r\nmodel=\r\npanel=\r\nsound=\r\n"
                                   "texture=\r\n\r\n[General]\r\natc_type=TQ\r\natc_model=TQ58\r\neditable=1\r\n\r\n";
    static const QByteArray section = "[WEIGHT_AND_BALANCE]\r\nmax_gross_weight = 2332\r\nempty_weight = 1532\r\n"
                                      "reference_datum_position = 0.0, 0.0, 0.0\r\n"
                                      "empty_weight_CG_position = 0.0, 0.0, 0.0\r\n"
                                      "max_number_of_stations = 5\r\n"
                                      "station_load.0 = 176, 0.4, -1.7, 0.0\r\n"
                                      "station_load.1 = 0, 0.4, 1.7, 0.0\r\n"
                                      "station_load.2 = 0, -3.0, -1.7, 0.0\r\n"
                                      "station_load.3 = 0, -3.0, 1.7, 0.0\r\n"
                                      "station_load.4 = 0, -6.5, 0.0, 0.0\r\n"
                                      "empty_weight_pitch_MOI = 1400\r\nempty_weight_roll_MOI = 1137\r\n"
                                      "empty_weight_yaw_MOI = 2360\r\nempty_weight_coupled_MOI = 0\r\n\r\n";
    QByteArray out;
    out.reserve(size);
    out += head;
    int n = 0;
    auto fillTo = [&](qsizetype limit) {
        while (out.size() < limit) {
            QByteArray block = "[filler." + QByteArray::number(n++) + "]\r\n";
            for (int k = 0; k < 8; ++k)
                block += "point." + QByteArray::number(k) + " = 1, 5.9, 0.0, -4.3, 1500, 0, 0.5, 30.0\r\n";
            block += "\r\n";
            out += block.left(limit - out.size());
            // A cut block must still end its line, so that the next section starts a line.
            if (out.size() == limit && !out.endsWith("\r\n")) {
                out.chop(2);
                out += "\r\n";
            }
        }
    };
    fillTo(std::max<qsizetype>(out.size(), (size - section.size()) / 2));
    out += section;
    fillTo(size);
    return out;
}

std::unique_ptr<Child> Child::start(const std::vector<std::string>& argv, const std::vector<std::string>& set,
                                    const std::vector<std::string>& unset, const QString& logFolder) {
    static int counter = 0;
    std::unique_ptr<Child> child(new Child);
    child->m_logPath = logFolder + QStringLiteral("/child-%1.log").arg(++counter);
    const QByteArray log = QFile::encodeName(child->m_logPath);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 2, 1);

    std::vector<std::string> args = argv;
    std::vector<std::string> envStorage;
    const std::vector<char*> env = environmentWith(set, unset, &envStorage);
    const std::vector<char*> argp = argumentPointers(args);

    child->m_startedNs = monotonicNs();
    const int rc = ::posix_spawn(&child->m_pid, argp[0], &actions, nullptr, argp.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return nullptr;
    return child;
}

Child::~Child() {
    stop();
}

bool Child::running() {
    if (m_reaped)
        return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_reaped = true;
        return false;
    }
    return true;
}

std::optional<std::string> Child::waitForLine(const std::string& prefix, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::ifstream in(m_logPath.toStdString());
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind(prefix, 0) == 0 && in.good())
                return line.substr(prefix.size());
        }
        if (!running() || Clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void Child::stop() {
    if (m_pid <= 0 || m_reaped)
        return;
    ::kill(m_pid, SIGTERM);
    if (!waitFor(m_pid, 3000)) {
        ::kill(m_pid, SIGKILL);
        waitFor(m_pid, 3000);
    }
    m_reaped = true;
}

QString Child::log() const {
    return QString::fromLocal8Bit(readFile(m_logPath));
}

int runCommand(const QStringList& argv, QByteArray* output, int timeoutMs) {
    std::vector<std::string> args;
    for (const QString& a : argv)
        args.push_back(a.toStdString());
    const std::vector<char*> argp = argumentPointers(args);

    char outPath[] = "/tmp/merovan-bench-out-XXXXXX";
    int outFd = -1;
    if (output) {
        outFd = ::mkstemp(outPath);
        if (outFd < 0)
            return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, argp[0], &actions, nullptr, argp.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int result = -1;
    if (rc == 0) {
        if (const auto status = waitFor(pid, timeoutMs)) {
            result = WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
        } else {
            ::kill(pid, SIGKILL);
            waitFor(pid, 3000);
        }
    }
    if (outFd >= 0) {
        *output = readFile(QString::fromLocal8Bit(outPath));
        ::close(outFd);
        ::unlink(outPath);
    }
    return result;
}

XServer::XServer() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        m_error = QStringLiteral("no pipe");
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    // -noreset: a server that resets when its last client leaves refuses whoever connects then.
    std::vector<std::string> args = {"Xvfb",      "-displayfd", "3",    "-screen", "0",       "1920x1080x24",
                                     "-nolisten", "tcp",        "-dpi", "96",      "-noreset"};
    const std::vector<char*> argp = argumentPointers(args);
    const int rc = ::posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, argp.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        m_pid = -1;
        ::close(fds[0]);
        m_error = QStringLiteral("Xvfb could not be started: %1").arg(QString::fromLocal8Bit(std::strerror(rc)));
        return;
    }
    // Xvfb writes the display number it took once it accepts connections.
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(15);
    while (Clock::now() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char c = 0;
        if (::read(fds[0], &c, 1) != 1)
            break;
        if (c == '\n') {
            m_display = QStringLiteral(":") + QString::fromStdString(number);
            break;
        }
        number += c;
    }
    ::close(fds[0]);
    if (m_display.isEmpty())
        m_error = QStringLiteral("Xvfb did not report a display");
}

XServer::~XServer() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        if (!waitFor(m_pid, 3000)) {
            ::kill(m_pid, SIGKILL);
            waitFor(m_pid, 3000);
        }
    }
}

std::int64_t procStatusBytes(pid_t pid, const char* field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    const std::string wanted = std::string(field) + ":";
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(wanted, 0) == 0) {
            std::istringstream value(line.substr(wanted.size()));
            std::int64_t kib = -1;
            value >> kib;
            return kib < 0 ? -1 : kib * 1024;
        }
    }
    return -1;
}

bool resetPeakResident() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return out.good();
}

} // namespace bench
