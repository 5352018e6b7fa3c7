#include "Backups.h"

#include "core/common/FileRead.h"
#include "core/common/PathProbe.h"
#include "core/common/Paths.h"

#include <QList>

namespace backups {
namespace {

Place placeOf(const QString& path, pathprobe::Probe::State made) {
    using State = pathprobe::Probe::State;
    const pathprobe::Probe probe = pathprobe::probeEntry(path);
    if (probe.state == State::Missing)
        return {Place::State::Nothing, path, {}};
    if (probe.state == State::Unreadable)
        return {Place::State::Unreadable, path, probe.reason};
    if (probe.state == made)
        return {Place::State::Made, path, {}};
    return {made == State::Folder ? Place::State::NotAFolder : Place::State::NotAFile, path, {}};
}

} // namespace

QString folderOf(const QString& copyFolder) {
    return joinPath(copyFolder, QLatin1String(kFolder));
}

QString pathOf(const QString& copyFolder, const char* name) {
    return joinPath(folderOf(copyFolder), QLatin1String(name));
}

Place look(const QString& copyFolder, const char* name) {
    const Place folder = lookAtFolder(copyFolder);
    if (folder.state != Place::State::Made)
        return folder.state == Place::State::Nothing ? Place{Place::State::Nothing, pathOf(copyFolder, name), {}}
                                                     : folder;
    return placeOf(pathOf(copyFolder, name), pathprobe::Probe::State::File);
}

Place lookAtFolder(const QString& copyFolder) {
    return placeOf(folderOf(copyFolder), pathprobe::Probe::State::Folder);
}

bool hasCfgBackup(const QString& copyFolder) {
    return look(copyFolder, kCfg).state == Place::State::Made;
}

namespace {

constexpr auto kCfgLine = aircraftnames::kAircraftCfg;
constexpr auto kModelLine = aircraftnames::kModelFile;

QByteArray recordLine(const char* name, const atomicfile::Attributes& attributes) {
    if (!attributes.mode || !attributes.owner || !attributes.group)
        return {};
    return QByteArray(name) + '\t' + QByteArray::number(*attributes.mode, 8).rightJustified(4, '0') + '\t' +
           QByteArray::number(*attributes.owner) + '\t' + QByteArray::number(*attributes.group) + "\r\n";
}

} // namespace

QByteArray attributesRecord(const QString& cfgPath, const QString& modelPath) {
    const QByteArray cfg = recordLine(kCfgLine, atomicfile::attributesOf(cfgPath));
    if (cfg.isEmpty())
        return {};
    return "# Owner, group and permissions of the files as installed, kept by Merovan.\r\n" + cfg +
           (modelPath.isEmpty() ? QByteArray() : recordLine(kModelLine, atomicfile::attributesOf(modelPath)));
}

Installed installedAttributes(const QString& copyFolder) {
    Installed installed;
    if (look(copyFolder, kAttributes).state != Place::State::Made)
        return installed;
    const auto content = readWholeFile(pathOf(copyFolder, kAttributes));
    if (!content)
        return installed;
    for (const QByteArray& line : content->split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split('\t');
        if (fields.size() != 4)
            continue;
        bool okMode = false, okOwner = false, okGroup = false;
        const unsigned mode = fields[1].toUInt(&okMode, 8);
        const unsigned owner = fields[2].toUInt(&okOwner);
        const unsigned group = fields[3].toUInt(&okGroup);
        if (!okMode || !okOwner || !okGroup || mode > 07777)
            continue;
        atomicfile::Attributes* file = fields[0] == kCfgLine     ? &installed.cfg
                                       : fields[0] == kModelLine ? &installed.model
                                                                 : nullptr;
        if (file)
            *file = {owner, group, mode};
    }
    return installed;
}

QString keepingPlace(const QString& copyFolder, const QString& stem, const QString& extension, const QDateTime& when,
                     const char* occasion) {
    const QString base = stem + QStringLiteral(".before-") + QLatin1String(occasion) + QLatin1Char('-') +
                         when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    QString path;
    for (int n = 1; n <= 1000; ++n) {
        const QString name = n == 1 ? base + extension : base + QLatin1Char('_') + QString::number(n) + extension;
        path = joinPath(folderOf(copyFolder), name);
        // A place that cannot be looked at is taken too: making the file there then says why not.
        const pathprobe::Probe::State there = pathprobe::probeEntry(path).state;
        if (there == pathprobe::Probe::State::Missing || there == pathprobe::Probe::State::Unreadable)
            break;
    }
    return path;
}

} // namespace backups
