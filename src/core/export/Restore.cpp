#include "Restore.h"

#include "Backups.h"
#include "core/common/FileRead.h"
#include "core/common/PathProbe.h"
#include "core/common/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace restore {

using exportwriter::Failure;
using Kind = Failure::Kind;
using Place = backups::Place;

bool hasBackup(const QString& cfgPath) {
    return backups::hasCfgBackup(GetPathName(cfgPath));
}

namespace {

std::optional<Failure> trouble(const Place& place) {
    if (place.state == Place::State::NotAFile)
        return exportwriter::failure(Kind::NotAFile, place.path);
    if (place.state == Place::State::NotAFolder)
        return exportwriter::failure(Kind::BackupsBlocked, place.path);
    if (place.state == Place::State::Unreadable)
        return exportwriter::failure(Kind::ReadFailed, place.path, place.reason);
    return std::nullopt;
}

// The file with every line the export owns written for one fixed loading: two files that differ
// only in those lines come out the same.
QByteArray withoutLoading(const QByteArray& cfg) {
    return wab::rewriteWeightAndBalance(cfg, wab::StationLoads{});
}

} // namespace

std::optional<Failure> plan(const QString& cfgPath, Plan* p) {
    *p = Plan{};
    p->files.recheck = true;
    exportwriter::Change& cfg = p->files.cfg;
    cfg.path = cfgPath;
    cfg.fromAttributes = true;
    const QString copyFolder = GetPathName(cfgPath);

    const Place cfgBackup = backups::look(copyFolder, backups::kCfg);
    if (auto problem = trouble(cfgBackup))
        return problem;
    if (cfgBackup.state == Place::State::Nothing)
        return exportwriter::failure(Kind::FileMissing, cfgBackup.path);
    cfg.from = cfg.backup = cfgBackup.path;
    cfg.after.emplace();
    if (auto problem = exportwriter::readExisting(cfgBackup.path, &*cfg.after))
        return problem;
    if (auto problem = exportwriter::readIfThere(cfgPath, &cfg.before))
        return problem;
    if (!cfg.before) {
        if (auto problem = exportwriter::checkReplaceable(cfgPath))
            return problem;
    } else if (cfg.before != cfg.after && withoutLoading(*cfg.before) != withoutLoading(*cfg.after)) {
        const Place edited = backups::look(copyFolder, backups::kEditedCfg);
        if (auto problem = trouble(edited))
            return problem;
        p->keepEdited = edited.path;
        p->files.keeps.append({exportwriter::Keep::How::Refresh, edited.path, cfgPath, *cfg.before});
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
    std::optional<QByteArray> installed;
    if (model.state == Place::State::Made) {
        if (modelFolder.isEmpty())
            return exportwriter::failure(Kind::ModelFolderMissing, QFileInfo(p->modelPath).path());
        p->model = Plan::Model::Restore;
        installed.emplace();
        if (auto problem = exportwriter::readExisting(model.path, &*installed))
            return problem;
    } else {
        p->model = modelExists ? Plan::Model::Remove : Plan::Model::Absent;
    }
    if (p->model == Plan::Model::Absent)
        return std::nullopt;
    exportwriter::Change& change = p->files.model.emplace();
    change.path = p->modelPath;
    change.after = installed;
    change.fromAttributes = true;
    if (installed)
        change.from = change.backup = model.path;
    if (!modelExists)
        return exportwriter::checkReplaceable(p->modelPath);
    return exportwriter::readIfThere(p->modelPath, &change.before);
}

QList<MessagePart> question(const Plan& p, const QString& title) {
    const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
    QList<MessagePart> parts{{QStringLiteral("strRestoreQuestion"), {title, native(GetPathName(p.files.cfg.path))}}};
    if (!p.files.cfg.before)
        parts.append({QStringLiteral("strRestoreCfgMade"), {native(p.files.cfg.path)}});
    else
        parts.append({QStringLiteral("strRestoreCfgBack"), {native(p.files.cfg.path)}});
    if (!p.keepEdited.isEmpty())
        parts.append({QStringLiteral("strRestoreCfgEdited"), {native(p.files.cfg.path), native(p.keepEdited)}});
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

} // namespace restore
