#include "RecentLoadings.h"

#include "LoadingFile.h"
#include "core/common/AtomicFile.h"
#include "core/common/FileRead.h"
#include "core/common/PathProbe.h"
#include "core/common/Paths.h"
#include "core/settings/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>

namespace recentloadings {
namespace {

const auto kFirstLine = QStringLiteral("Merovan recent loadings 1");
const auto kFolderKey = QStringLiteral("folder=");
const auto kFileKey = QStringLiteral("file=");
// A list of four names is far below this; anything larger is not one of ours.
constexpr qint64 kLargestFile = 64 * 1024;

QString cleaned(const QString& path) {
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

bool samePath(const QString& a, const QString& b) {
    return cleaned(a).compare(cleaned(b), namesIgnoreCase() ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

// An absolute path as the list keeps it; std::nullopt for anything else.
std::optional<QString> kept(const QString& given) {
    const QString path = given.trimmed();
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return std::nullopt;
    return cleaned(path);
}

QString folderOf(const QString& path) {
    return QFileInfo(cleaned(path)).absolutePath();
}

} // namespace

Recent read(const QString& programFolder) {
    const QString path = programFolder + QLatin1String(kFile);
    // A pipe or a device at its place is never opened.
    if (pathprobe::probe(path).state != pathprobe::Probe::State::File || QFileInfo(path).size() > kLargestFile)
        return {};
    const std::optional<QByteArray> bytes = readWholeFile(path);
    if (!bytes || bytes->size() > kLargestFile)
        return {};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(*bytes);
    if (utf8.hasError())
        return {};
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines.constFirst().trimmed() != kFirstLine)
        return {};
    Recent recent;
    for (const QString& line : lines.sliced(1)) {
        if (line.startsWith(kFolderKey) && recent.folder.isEmpty()) {
            recent.folder = kept(line.sliced(kFolderKey.size())).value_or(QString());
        } else if (line.startsWith(kFileKey) && recent.files.size() < kKept) {
            const auto file = kept(line.sliced(kFileKey.size()));
            if (file && std::none_of(recent.files.cbegin(), recent.files.cend(),
                                     [&file](const QString& f) { return samePath(f, *file); }))
                recent.files.append(*file);
        }
    }
    return recent;
}

bool write(const QString& programFolder, const Recent& recent, QString* reason) {
    QStringList lines{kFirstLine, kFolderKey + recent.folder};
    for (const QString& file : recent.files)
        lines << kFileKey + file;
    const QByteArray bytes = (lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")).toUtf8();
    return programfiles::writeSetting(programFolder, programFolder + QLatin1String(kFile), bytes, reason);
}

Recent used(const Recent& recent, const QString& path) {
    Recent after = forgotten(chosen(recent, path), path);
    after.files.prepend(cleaned(path));
    while (after.files.size() > kKept)
        after.files.removeLast();
    return after;
}

Recent chosen(const Recent& recent, const QString& path) {
    Recent after = recent;
    after.folder = folderOf(path);
    return after;
}

Recent forgotten(const Recent& recent, const QString& path) {
    Recent after = recent;
    after.files.removeIf([&path](const QString& file) { return samePath(file, path); });
    return after;
}

QStringList names(const QStringList& files) {
    const QString ending = QLatin1Char('.') + QString::fromLatin1(loadingfile::kExtension);
    QStringList shown;
    for (const QString& file : files) {
        QString name = QFileInfo(file).fileName();
        if (name.endsWith(ending, Qt::CaseInsensitive) && name.size() > ending.size())
            name.chop(ending.size());
        shown << name;
    }
    QHash<QString, int> count;
    for (const QString& name : shown)
        ++count[namesIgnoreCase() ? name.toCaseFolded() : name];
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (count.value(namesIgnoreCase() ? shown[i].toCaseFolded() : shown[i]) > 1)
            shown[i] += QStringLiteral(" (") + QDir::toNativeSeparators(folderOf(files[i])) + QLatin1Char(')');
    }
    return shown;
}

DialogFolder dialogFolder(const QString& programFolder, const Recent& recent) {
    using State = pathprobe::Probe::State;
    if (!recent.folder.isEmpty() && pathprobe::probe(recent.folder).state == State::Folder)
        return {recent.folder};
    const QString loadings = programFolder + QLatin1String(kLoadingsFolder);
    const State state = pathprobe::probe(loadings).state;
    if (state == State::Folder)
        return {loadings};
    // A dialog shows only a folder that is there; made only where nothing is in the way.
    if (state == State::Missing && QDir().mkdir(loadings))
        return {loadings, true};
    // A program folder the user cannot write (unpacked under C:\Program Files, say).
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return {documents.isEmpty() ? QDir::cleanPath(programFolder) : documents};
}

void leave(const DialogFolder& folder) {
    // rmdir takes only an empty folder: whatever was put into it meanwhile keeps it.
    if (folder.made)
        QDir().rmdir(folder.path);
}

} // namespace recentloadings
