#include "AsUser.h"

#include "Rerun.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace asuser {
namespace {

constexpr auto kChildVariable = "MEROVAN_AS_NOBODY";

bool start(QProcess& child, const QStringList& identity, const QString& program, const QStringList& arguments) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        return false;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(setpriv, identity + QStringList{QStringLiteral("--clear-groups"), program} + arguments);
    return child.waitForStarted();
}

} // namespace

bool isSuperuser() {
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

Rerun rerunCurrentTestAsNobody() {
    if (!isSuperuser())
        return {};
    if (rerun::inChild(kChildVariable))
        return {Rerun::Outcome::Failed, QStringLiteral("still the superuser in the child")};
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    const rerun::Outcome child =
        setpriv.isEmpty() ? rerun::Outcome{rerun::Outcome::Kind::Skipped, {}}
                          : rerun::currentTest(kChildVariable,
                                               {setpriv, QStringLiteral("--reuid=nobody"),
                                                QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups")},
                                               120000);
    if (child.output.startsWith(QLatin1String("setpriv:")))
        return {Rerun::Outcome::Skipped, QStringLiteral("could not run as nobody: ") + child.output.left(300)};
    switch (child.kind) {
    case rerun::Outcome::Kind::Skipped:
        return {Rerun::Outcome::Skipped, child.output.isEmpty()
                                             ? QStringLiteral("permissions need an ordinary user, and "
                                                              "setpriv cannot start one here")
                                             : QStringLiteral("as nobody: ") + child.output};
    case rerun::Outcome::Kind::TimedOut:
        return {Rerun::Outcome::Failed, QStringLiteral("the child as nobody did not finish")};
    case rerun::Outcome::Kind::Failed:
        return {Rerun::Outcome::Failed, QStringLiteral("as nobody:\n") + child.output};
    default:
        return {Rerun::Outcome::Passed, {}};
    }
}

bool runAs(unsigned user, unsigned group, const QString& program, const QStringList& arguments, int* exitCode,
           QByteArray* output) {
    QProcess child;
    if (!start(child, {QStringLiteral("--reuid=%1").arg(user), QStringLiteral("--regid=%1").arg(group)}, program,
               arguments))
        return false;
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
        return false;
    }
    *output = child.readAll();
    if (output->startsWith("setpriv:") || child.exitStatus() != QProcess::NormalExit)
        return false;
    *exitCode = child.exitCode();
    return true;
}

} // namespace asuser
