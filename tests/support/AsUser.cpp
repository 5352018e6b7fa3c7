#include "AsUser.h"

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
    if (qEnvironmentVariableIsSet(kChildVariable))
        return {Rerun::Outcome::Failed, QStringLiteral("still the superuser in the child")};
    QString test = QString::fromLatin1(QTest::currentTestFunction());
    if (const char* tag = QTest::currentDataTag())
        test += QLatin1Char(':') + QString::fromUtf8(tag);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    if (!start(child, {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup")},
               QCoreApplication::applicationFilePath(), {test}))
        return {Rerun::Outcome::Skipped, QStringLiteral("permissions need an ordinary user, and setpriv cannot start "
                                                        "one here")};
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
        return {Rerun::Outcome::Failed, QStringLiteral("the child as nobody did not finish")};
    }
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (output.startsWith(QLatin1String("setpriv:")))
        return {Rerun::Outcome::Skipped, QStringLiteral("could not run as nobody: ") + output.left(300)};
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return {Rerun::Outcome::Failed, QStringLiteral("as nobody:\n") + output};
    if (output.contains(QLatin1String("SKIP   :")))
        return {Rerun::Outcome::Skipped, QStringLiteral("as nobody: ") + output.section(QStringLiteral("SKIP   :"), 1)};
    return {Rerun::Outcome::Passed, {}};
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
