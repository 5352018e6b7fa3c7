// What an export's or a restore's failure tells the user (see PlanFailure.h).
#include "PlanFailure.h"

#include "core/common/AircraftNames.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace fileplan {
namespace {

using Kind = Failure::Kind;

// The number of a variant file "Models/<n>.mdl".
int variantNumber(const QString& variantPath) {
    return QFileInfo(variantPath).completeBaseName().toInt();
}

} // namespace

QString messageKey(Failure::Kind kind) {
    switch (kind) {
    case Kind::FileMissing:
        return QStringLiteral("strExportFileMissing");
    case Kind::NotAFile:
        return QStringLiteral("strExportNotAFile");
    case Kind::BackupsBlocked:
        return QStringLiteral("strExportBackupsBlocked");
    case Kind::ReadOnly:
        return QStringLiteral("strExportReadOnly");
    case Kind::NoPermission:
        return QStringLiteral("strExportNoPermission");
    case Kind::FolderReadOnly:
        return QStringLiteral("strExportFolderReadOnly");
    case Kind::ModelFolderMissing:
        return QStringLiteral("strExportModelFolderMissing");
    case Kind::VariantMissing:
        return QStringLiteral("strExportVariantMissing");
    case Kind::ReadFailed:
        return QStringLiteral("strExportReadFailed");
    case Kind::FolderUnreadable:
        return QStringLiteral("strExportFolderUnreadable");
    case Kind::OwnerNotKept:
        return QStringLiteral("strExportOwnerNotKept");
    case Kind::WriteFailed:
        return QStringLiteral("strExportWriteFailed");
    case Kind::BackupFailed:
        return QStringLiteral("strExportBackupFailed");
    case Kind::WideEncoding:
        return QStringLiteral("strExportWideEncoding");
    case Kind::ChangedMeanwhile:
        return QStringLiteral("strExportChangedMeanwhile");
    case Kind::StandInVariant:
        return QStringLiteral("strExportStandIn");
    case Kind::Busy:
        return QStringLiteral("strExportBusy");
    case Kind::ShippedFile:
        return QStringLiteral("strExportShippedFile");
    case Kind::ShippedLink:
        return QStringLiteral("strExportShippedLink");
    case Kind::ReadOnlyVolume:
        return QStringLiteral("strExportReadOnlyVolume");
    case Kind::LinkLeadsNowhere:
        return QStringLiteral("strExportLinkNowhere");
    }
    return {};
}

bool hasReason(Failure::Kind kind) {
    return kind == Kind::ReadFailed || kind == Kind::FolderUnreadable || kind == Kind::WriteFailed ||
           kind == Kind::BackupFailed || kind == Kind::StandInVariant;
}

QList<MessagePart> describe(const Failure& failure, Operation operation) {
    // Paths as the system writes them (backslashes on Windows).
    const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
    QStringList details{native(failure.path)};
    if (failure.kind == Kind::StandInVariant) // the model it would have replaced, where variants belong
        details << native(failure.reason) << native(QFileInfo(failure.path).path());
    else if (failure.kind == Kind::ShippedFile || failure.kind == Kind::ShippedLink ||
             failure.kind == Kind::LinkLeadsNowhere) // the other file
        details << native(failure.reason);
    else if (hasReason(failure.kind))
        details.append(failure.reason);
    QList<MessagePart> parts{{messageKey(failure.kind), details}};
    // A missing variant is said with what the program folder needs in its place ("Models/2.mdl":
    // the aircraft's model with the co-pilot seated) and where the variants come from.
    const int variant = variantNumber(failure.path);
    if (failure.kind == Kind::VariantMissing && variant >= aircraftnames::kFirstVariant &&
        variant <= aircraftnames::kLastVariant)
        parts[0].key = QStringLiteral("strExportVariantMissing%1").arg(variant);
    if (failure.nothingChanged()) {
        parts.append({QStringLiteral("strExportNothingChanged"), {}});
        return parts;
    }
    const std::optional<FileLeft>& model = failure.standing.model;
    if (const std::optional<FileLeft>& cfg = failure.standing.cfg) {
        // A restore's new files are the files as installed, which its messages call them.
        const bool restore = operation == Operation::Restore;
        parts.append({restore ? QStringLiteral("strRestoreCfgNotRestored") : QStringLiteral("strExportCfgNotRestored"),
                      {native(cfg->path), cfg->reason, native(cfg->backup)}});
        if (model && (restore || model->backup.isEmpty()))
            parts.append({restore ? QStringLiteral("strRestoreModelNew") : QStringLiteral("strExportModelNew"),
                          {native(model->path)}});
        else if (model)
            parts.append({QStringLiteral("strExportModelNewBackup"), {native(model->path), native(model->backup)}});
    } else if (model->created) {
        parts.append({QStringLiteral("strExportModelNotRemoved"), {native(model->path), model->reason}});
    } else if (model->backup.isEmpty()) {
        parts.append({QStringLiteral("strExportModelNotPutBack"), {native(model->path), model->reason}});
    } else {
        parts.append(
            {QStringLiteral("strExportModelNotRestored"), {native(model->path), model->reason, native(model->backup)}});
    }
    return parts;
}

} // namespace fileplan
