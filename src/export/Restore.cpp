#include "Restore.h"

#include "Replacement.h"
#include "common/FileRead.h"
#include "common/Paths.h"

#include <QFileInfo>

namespace restore {

using exportwriter::Failure;
using exportwriter::Replacement;
using Kind = Failure::Kind;

bool hasBackup(const QString& cfgPath) {
    return !exportwriter::findBackup(cfgPath).isEmpty();
}

namespace {

std::optional<Failure> prepare(const QString& cfgPath, std::optional<Replacement>* model, Replacement* cfg,
                               QByteArray* cfgInstalled, QByteArray* modelInstalled, const exportwriter::FileOps& ops) {
    // First everything that can be known to fail, before any file changes.
    QByteArray cfgNow;
    if (auto problem = exportwriter::readReplaceable(cfgPath, &cfgNow))
        return problem;
    const QString cfgBackup = exportwriter::findBackup(cfgPath);
    if (cfgBackup.isEmpty())
        return exportwriter::failure(Kind::FileMissing,
                                     joinPath(QFileInfo(cfgPath).path(), exportwriter::backupName(cfgPath)));
    if (auto problem = exportwriter::readExisting(cfgBackup, cfgInstalled))
        return problem;

    QString modelFolder;
    QString modelPath;
    bool modelExists = false;
    if (auto problem = exportwriter::locateModel(cfgPath, &modelFolder, &modelPath, &modelExists))
        return problem;
    const QString modelBackup = modelFolder.isEmpty() ? QString() : exportwriter::findBackup(modelPath);
    if (!modelBackup.isEmpty()) {
        if (auto problem = exportwriter::readExisting(modelBackup, modelInstalled))
            return problem;
        model->emplace();
        Replacement& m = **model;
        m.path = modelPath;
        m.backup = modelBackup;
        if (modelExists) {
            m.before.emplace();
            if (auto problem = exportwriter::readReplaceable(modelPath, &*m.before))
                return problem;
        } else if (auto problem = exportwriter::checkReplaceable(modelPath)) {
            return problem;
        }
        m.put = [&ops, modelPath, modelInstalled](QString* reason) {
            return ops.replaceWithData(modelPath, *modelInstalled, reason);
        };
        m.holdsNew = [modelPath, modelInstalled, before = m.before] {
            return before != *modelInstalled && exportwriter::holds(modelPath, *modelInstalled);
        };
    }

    cfg->path = cfgPath;
    cfg->before = cfgNow;
    cfg->backup = cfgBackup;
    cfg->put = [&ops, cfgPath, cfgInstalled](QString* reason) {
        return ops.replaceWithData(cfgPath, *cfgInstalled, reason);
    };
    cfg->holdsNew = [cfgPath, cfgInstalled, cfgNow] {
        return cfgNow != *cfgInstalled && exportwriter::holds(cfgPath, *cfgInstalled);
    };
    return std::nullopt;
}

} // namespace

std::optional<Failure> run(const QString& cfgPath, Result* result, const exportwriter::FileOps& ops) {
    std::optional<Replacement> model;
    Replacement cfg;
    QByteArray cfgInstalled;
    QByteArray modelInstalled;
    auto problem = prepare(cfgPath, &model, &cfg, &cfgInstalled, &modelInstalled, ops);
    if (!problem)
        problem = exportwriter::replaceInTurn(model, cfg, ops);
    if (problem) {
        problem->operation = Failure::Operation::Restore;
        return problem;
    }
    *result = Result{model.has_value()};
    return std::nullopt;
}

} // namespace restore
