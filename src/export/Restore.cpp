#include "Restore.h"

#include "Backups.h"
#include "Replacement.h"
#include "common/FileRead.h"
#include "common/PathProbe.h"
#include "common/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace restore {

using exportwriter::Failure;
using exportwriter::Replacement;
using Kind = Failure::Kind;
using Place = backups::Place;

bool hasBackup(const QString& cfgPath) {
    return backups::hasCfgBackup(GetPathName(cfgPath));
}

namespace {

std::optional<Failure> trouble(const Place& place) {
    if (place.state == Place::State::NotAFile)
        return exportwriter::failure(Kind::NotAFile, place.path);
    if (place.state == Place::State::Unreadable)
        return exportwriter::failure(Kind::ReadFailed, place.path, place.reason);
    return std::nullopt;
}

// The file with every line the export owns written for one fixed loading: two files that differ
// only in those lines come out the same.
QByteArray withoutLoading(const QByteArray& cfg) {
    return wab::rewriteWeightAndBalance(cfg, wab::StationLoads{});
}

// What is at `path` now: its content, std::nullopt when nothing is there; a failure otherwise.
std::optional<Failure> readIfThere(const QString& path, std::optional<QByteArray>* content) {
    content->reset();
    if (pathprobe::probe(path).state == pathprobe::Probe::State::Missing &&
        pathprobe::probeEntry(path).state == pathprobe::Probe::State::Missing)
        return std::nullopt;
    content->emplace();
    return exportwriter::readReplaceable(path, &**content);
}

} // namespace

std::optional<Failure> plan(const QString& cfgPath, Plan* p) {
    *p = Plan{};
    p->cfgPath = cfgPath;
    const QString copyFolder = GetPathName(cfgPath);

    const Place cfgBackup = backups::look(copyFolder, backups::kCfg);
    if (auto problem = trouble(cfgBackup))
        return problem;
    if (cfgBackup.state == Place::State::Nothing)
        return exportwriter::failure(Kind::FileMissing, cfgBackup.path);
    p->cfgBackup = cfgBackup.path;
    if (auto problem = exportwriter::readExisting(cfgBackup.path, &p->cfgInstalled))
        return problem;
    if (auto problem = readIfThere(cfgPath, &p->cfgNow))
        return problem;
    if (!p->cfgNow) {
        if (auto problem = exportwriter::checkReplaceable(cfgPath))
            return problem;
    } else if (*p->cfgNow != p->cfgInstalled && withoutLoading(*p->cfgNow) != withoutLoading(p->cfgInstalled)) {
        const Place edited = backups::look(copyFolder, backups::kEditedCfg);
        if (auto problem = trouble(edited))
            return problem;
        p->keepEdited = edited.path;
    }

    const Place model = backups::look(copyFolder, backups::kModel);
    const Place noModel = backups::look(copyFolder, backups::kNoModel);
    for (const Place& place : {model, noModel}) {
        if (auto problem = trouble(place))
            return problem;
    }
    if (model.state == Place::State::Nothing && noModel.state == Place::State::Nothing)
        return std::nullopt; // Keep

    QString modelFolder;
    bool modelExists = false;
    if (auto problem = exportwriter::locateModel(cfgPath, &modelFolder, &p->modelPath, &modelExists))
        return problem;
    if (model.state == Place::State::Made) {
        if (modelFolder.isEmpty())
            return exportwriter::failure(Kind::ModelFolderMissing, QFileInfo(p->modelPath).path());
        p->model = Plan::Model::Restore;
        p->modelBackup = model.path;
        if (auto problem = exportwriter::readExisting(model.path, &p->modelInstalled))
            return problem;
    } else {
        p->model = modelExists ? Plan::Model::Remove : Plan::Model::Absent;
    }
    if (!modelExists)
        return p->model == Plan::Model::Restore ? exportwriter::checkReplaceable(p->modelPath) : std::nullopt;
    if (auto problem = readIfThere(p->modelPath, &p->modelNow))
        return problem;
    return std::nullopt;
}

QList<MessagePart> question(const Plan& p, const QString& title) {
    const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
    QList<MessagePart> parts{{QStringLiteral("strRestoreQuestion"), {title, native(GetPathName(p.cfgPath))}}};
    if (!p.cfgNow)
        parts.append({QStringLiteral("strRestoreCfgMade"), {native(p.cfgPath)}});
    else
        parts.append({QStringLiteral("strRestoreCfgBack"), {native(p.cfgPath)}});
    if (!p.keepEdited.isEmpty())
        parts.append({QStringLiteral("strRestoreCfgEdited"), {native(p.cfgPath), native(p.keepEdited)}});
    switch (p.model) {
    case Plan::Model::Restore:
        parts.append({QStringLiteral("strRestoreModelBack"), {native(p.modelPath)}});
        break;
    case Plan::Model::Remove:
        parts.append({QStringLiteral("strRestoreModelRemoved"), {native(p.modelPath)}});
        break;
    case Plan::Model::Absent:
        break;
    case Plan::Model::Keep:
        parts.append({QStringLiteral("strRestoreModelStays"), {}});
        break;
    }
    return parts;
}

QList<MessagePart> done(const Plan& p) {
    QList<MessagePart> parts{{QStringLiteral("strRestoreDone"), {}}};
    if (p.model == Plan::Model::Keep)
        parts.append({QStringLiteral("strRestoreModelKept"), {}});
    if (!p.keepEdited.isEmpty())
        parts.append({QStringLiteral("strRestoreEditedKept"), {QDir::toNativeSeparators(p.keepEdited)}});
    return parts;
}

std::optional<Failure> apply(const Plan& p, const exportwriter::FileOps& ops) {
    std::optional<Failure> problem;
    // The files must still be what the question was about.
    const auto unchanged = [&](const QString& path, const std::optional<QByteArray>& planned) {
        std::optional<QByteArray> now;
        if (readIfThere(path, &now) || now != planned) {
            problem = exportwriter::failure(Kind::ChangedMeanwhile, path);
            return false;
        }
        return true;
    };
    const bool touchesModel = p.model == Plan::Model::Restore || p.model == Plan::Model::Remove;
    if (!unchanged(p.cfgPath, p.cfgNow) || (touchesModel && !unchanged(p.modelPath, p.modelNow))) {
        problem->operation = Failure::Operation::Restore;
        return problem;
    }

    QString reason;
    if (!p.keepEdited.isEmpty()) {
        // Ours to replace: made by the last restore, and never a link (checked again right here).
        const pathprobe::Probe::State there = pathprobe::probeEntry(p.keepEdited).state;
        const bool kept =
            there == pathprobe::Probe::State::Missing
                ? ops.createWithData(p.keepEdited, *p.cfgNow, p.cfgPath, &reason)
                : there == pathprobe::Probe::State::File && ops.replaceWithData(p.keepEdited, *p.cfgNow, &reason);
        if (!kept) {
            Failure failed = there == pathprobe::Probe::State::Missing || there == pathprobe::Probe::State::File
                                 ? exportwriter::failure(Kind::BackupFailed, p.keepEdited, reason)
                                 : exportwriter::failure(Kind::NotAFile, p.keepEdited);
            failed.operation = Failure::Operation::Restore;
            return failed;
        }
    }

    std::optional<Replacement> model;
    if (touchesModel) {
        model.emplace();
        model->path = p.modelPath;
        model->before = p.modelNow;
        model->backup = p.modelBackup;
        if (p.model == Plan::Model::Restore) {
            model->put = [&](QString* why) { return ops.restoreCopy(p.modelBackup, p.modelPath, why); };
            model->holdsNew = [&] {
                return p.modelNow != p.modelInstalled && exportwriter::holds(p.modelPath, p.modelInstalled);
            };
        } else {
            model->put = [&](QString* why) { return ops.removeFile(p.modelPath, why); };
            model->holdsNew = [&] { return !QFileInfo::exists(p.modelPath); };
        }
    }
    Replacement cfg;
    cfg.path = p.cfgPath;
    cfg.before = p.cfgNow;
    cfg.backup = p.cfgBackup;
    cfg.put = [&](QString* why) { return ops.restoreCopy(p.cfgBackup, p.cfgPath, why); };
    cfg.holdsNew = [&] { return p.cfgNow != p.cfgInstalled && exportwriter::holds(p.cfgPath, p.cfgInstalled); };
    problem = exportwriter::replaceInTurn(model, cfg, ops);
    if (problem)
        problem->operation = Failure::Operation::Restore;
    return problem;
}

} // namespace restore
