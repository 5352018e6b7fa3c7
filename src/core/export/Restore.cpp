#include "Restore.h"

#include "Backups.h"
#include "PlanChecks.h"
#include "WeightAndBalance.h"
#include "core/common/AircraftNames.h"
#include "core/common/AtomicFile.h"
#include "core/common/CopyLock.h"
#include "core/common/FileRead.h"
#include "core/common/PathProbe.h"
#include "core/common/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace restore {

using fileplan::Failure;
using Kind = Failure::Kind;
using Place = backups::Place;

bool hasBackup(const QString& cfgPath) {
    return backups::hasCfgBackup(GetPathName(cfgPath));
}

namespace {

// The file with every line the export owns written for one fixed loading: two files that differ
// only in those lines come out the same.
QByteArray withoutLoading(const QByteArray& cfg) {
    return wab::rewriteWeightAndBalance(cfg, wab::StationLoads{});
}

// The model: given back, removed or left, its Model folder made again where it went, and a model
// put in by hand kept first.
std::optional<Failure> planModel(const QString& cfgPath, const QString& programFolder, const QDateTime& now,
                                 const atomicfile::Attributes& attributes, Plan* p) {
    const QString copyFolder = GetPathName(cfgPath);
    fileplan::ModelBackups places;
    if (auto problem = fileplan::lookAtModelBackups(copyFolder, &places))
        return problem;
    if (!places.kept())
        return std::nullopt; // Keep
    const Place& model = places.installed;

    QString modelFolder;
    bool modelExists = false;
    if (auto problem = fileplan::locateModel(cfgPath, &modelFolder, &p->modelPath, &modelExists))
        return problem;
    if (auto problem = fileplan::checkNotShipped(p->modelPath, programFolder))
        return problem;
    std::optional<QByteArray> installed;
    if (model.state == Place::State::Made) {
        p->model = Plan::Model::Restore;
        installed.emplace();
        if (auto problem = fileplan::readExisting(model.path, &*installed))
            return problem;
        if (modelFolder.isEmpty()) {
            // The folder went: it is made again, as the copy's folder is, for the model to come back.
            const QString folder = QFileInfo(p->modelPath).path();
            if (pathprobe::probeEntry(folder).state != pathprobe::Probe::State::Missing)
                return fileplan::failure(Kind::NotAFile, folder);
            if (!atomicfile::canCreateIn(copyFolder))
                return fileplan::failure(Kind::FolderReadOnly, copyFolder);
            p->modelFolderMade = folder;
            p->files.keeps.append({fileplan::Keep::How::Folder, folder, copyFolder, {}, true});
        }
    } else {
        p->model = modelExists ? Plan::Model::Remove : Plan::Model::Absent;
    }
    if (p->model == Plan::Model::Absent)
        return std::nullopt;
    fileplan::Change& change = p->files.model.emplace();
    change.path = p->modelPath;
    change.after = installed;
    change.fromAttributes = true;
    change.installed = attributes;
    if (installed)
        change.from = change.backup = model.path;
    if (!modelExists)
        return p->modelFolderMade.isEmpty() ? fileplan::checkReplaceable(p->modelPath) : std::nullopt;
    if (auto problem = fileplan::readIfThere(p->modelPath, &change.before))
        return problem;
    if (change.before && !fileplan::programsModel(*change.before, installed, programFolder)) {
        p->keepModel = backups::keepingPlace(copyFolder, QLatin1String(aircraftnames::kModelStem),
                                             QLatin1String(aircraftnames::kModelExtension), now);
        p->files.keeps.append({fileplan::Keep::How::Data, p->keepModel, p->modelPath, *change.before});
    }
    return std::nullopt;
}

std::optional<Failure> planFiles(const QString& cfgPath, const QString& programFolder, Plan* p) {
    p->files.recheck = true;
    fileplan::Change& cfg = p->files.cfg;
    cfg.path = cfgPath;
    cfg.fromAttributes = true;
    const QString copyFolder = GetPathName(cfgPath);
    const backups::Installed attributes = backups::installedAttributes(copyFolder);
    cfg.installed = attributes.cfg;
    const QDateTime now = QDateTime::currentDateTime();

    const Place cfgBackup = backups::look(copyFolder, backups::kCfg);
    if (auto problem = fileplan::trouble(cfgBackup))
        return problem;
    if (cfgBackup.state == Place::State::Nothing)
        return fileplan::failure(Kind::FileMissing, cfgBackup.path);
    cfg.from = cfg.backup = cfgBackup.path;
    cfg.after.emplace();
    if (auto problem = fileplan::readExisting(cfgBackup.path, &*cfg.after))
        return problem;
    if (auto problem = fileplan::readIfThere(cfgPath, &cfg.before))
        return problem;
    if (auto problem = fileplan::checkNotShipped(cfgPath, programFolder))
        return problem;
    if (!cfg.before) {
        if (auto problem = fileplan::checkReplaceable(cfgPath))
            return problem;
    } else if (cfg.before != cfg.after && withoutLoading(*cfg.before) != withoutLoading(*cfg.after)) {
        p->keepEdited = backups::keepingPlace(copyFolder, QStringLiteral("aircraft"), QStringLiteral(".cfg"), now);
        p->files.keeps.append({fileplan::Keep::How::Data, p->keepEdited, cfgPath, *cfg.before});
    }

    if (auto problem = planModel(cfgPath, programFolder, now, attributes.model, p))
        return problem;
    // The user may protect the backups as any other folder.
    const QString backupsFolder = backups::folderOf(copyFolder);
    if ((!p->keepEdited.isEmpty() || !p->keepModel.isEmpty()) && !atomicfile::canCreateIn(backupsFolder))
        return fileplan::failure(Kind::FolderReadOnly, backupsFolder);
    return std::nullopt;
}

} // namespace

std::optional<Failure> plan(const QString& cfgPath, const QString& programFolder, Plan* p) {
    *p = Plan{};
    const QString copyFolder = GetPathName(cfgPath);
    const copylock::Lock lock(copyFolder, copylock::Lock::Mode::Shared);
    if (lock.busy())
        return fileplan::failure(Kind::Busy, copyFolder);
    return planFiles(cfgPath, programFolder, p);
}

std::optional<Failure> apply(const Plan& p, const fileplan::FileOps& ops) {
    const QString copyFolder = GetPathName(p.files.cfg.path);
    const copylock::Lock lock(copyFolder, copylock::Lock::Mode::Exclusive);
    if (lock.busy())
        return fileplan::failure(Kind::Busy, copyFolder);
    return fileplan::apply(p.files, ops);
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
    if (!p.modelFolderMade.isEmpty())
        parts.append({QStringLiteral("strRestoreModelFolderMade"), {native(p.modelFolderMade)}});
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
    if (!p.keepModel.isEmpty())
        parts.append({QStringLiteral("strRestoreModelOwn"), {native(p.modelPath), native(p.keepModel)}});
    return parts;
}

QList<MessagePart> done(const Plan& p) {
    QList<MessagePart> parts{{QStringLiteral("strRestoreDone"), {}}};
    if (p.model == Plan::Model::Keep)
        parts.append({QStringLiteral("strRestoreModelKept"), {}});
    if (!p.keepEdited.isEmpty())
        parts.append({QStringLiteral("strRestoreEditedKept"), {QDir::toNativeSeparators(p.keepEdited)}});
    if (!p.keepModel.isEmpty())
        parts.append({QStringLiteral("strRestoreModelOwnKept"), {QDir::toNativeSeparators(p.keepModel)}});
    return parts;
}

fileplan::Report restoreAsInstalled(const QString& cfgPath, const QString& programFolder, const QString& title,
                                    const Ask& ask, const fileplan::FileOps& ops) {
    // Every check first; the question then says what will happen to each file.
    Plan p;
    auto failure = plan(cfgPath, programFolder, &p);
    if (!failure && !ask(question(p, title)))
        return {};
    if (!failure)
        failure = apply(p, ops);
    if (failure)
        return {false, fileplan::describe(*failure, fileplan::Operation::Restore)};
    return {true, done(p)};
}

} // namespace restore
