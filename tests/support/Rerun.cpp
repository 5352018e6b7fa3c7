#include "Rerun.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

namespace rerun {

bool inChild(const char* variable) {
    return qEnvironmentVariableIsSet(variable);
}

Outcome currentTest(const char* variable, const QStringList& launcher, int msecs) {
    QString test = QString::fromLatin1(QTest::currentTestFunction());
    if (const char* tag = QTest::currentDataTag())
        test += QLatin1Char(':') + QString::fromUtf8(tag);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(variable), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    const QString self = QCoreApplication::applicationFilePath();
    if (launcher.isEmpty())
        child.start(self, {test});
    else
        child.start(launcher.constFirst(), launcher.mid(1) + QStringList{self, test});
    if (!child.waitForStarted())
        return {Outcome::Kind::Skipped, QStringLiteral("the child could not be started: ") + child.errorString()};
    if (!child.waitForFinished(msecs)) {
        child.kill();
        child.waitForFinished();
        return {Outcome::Kind::TimedOut, QString::fromLocal8Bit(child.readAll())};
    }
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return {Outcome::Kind::Failed, output};
    if (output.contains(QLatin1String("SKIP   :")))
        return {Outcome::Kind::Skipped, output.section(QStringLiteral("SKIP   :"), 1)};
    return {Outcome::Kind::Passed, output};
}

} // namespace rerun
