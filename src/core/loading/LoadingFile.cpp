#include "LoadingFile.h"

#include "SeatOperations.h"
#include "core/common/AtomicFile.h"
#include "core/common/CodePage.h"
#include "core/common/FileRead.h"
#include "core/common/Numbers.h"
#include "core/common/PathProbe.h"
#include "core/settings/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace loadingfile {
namespace {

enum Field { Pilot, Copilot, PassengerLeft, PassengerRight, Baggage, Note, kFields };
constexpr std::array<const char*, kFields> kKeys{"pilot",           "copilot", "passenger_left",
                                                 "passenger_right", "baggage", "note"};
constexpr std::array<Seat, 4> kSeatOf{Seat::Pilot, Seat::Co, Seat::PaxLeft, Seat::PaxRight};

// A line is shown in a message up to this many characters: a line may be as long as the file.
constexpr qsizetype kShownLength = 40;

QString key(Field field) {
    return QString::fromLatin1(kKeys[field]);
}

QString shown(const QString& text) {
    return text.size() <= kShownLength ? text : text.first(kShownLength) + QChar(0x2026);
}

QString formatLine() {
    return QString::fromLatin1(kFormatName) + QLatin1Char(' ') + QString::number(kFormatVersion);
}

// The reasons the program's own file routines give (see SystemReasons.h, which tells them in the
// program's language).
QString missingReason() {
    return QString::fromLocal8Bit(std::strerror(ENOENT));
}
const auto kFolderReason = QStringLiteral("it is a folder, not a file");
const auto kNotAFileReason = QStringLiteral("it is not a file (but a pipe, a socket or a device)");

// The text of the bytes: UTF-8 (a byte-order mark passed over); bytes that are not UTF-8 were
// saved in the Windows code page, as Notepad saves "ANSI".
QString decoded(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return codepage::fromWindows1252(bytes);
}

bool onlyDigits(QStringView text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// One entry of the file as it was found.
struct Entry {
    int line = 0;
    QString value;
    QString text; // the line as written, for a message
};

MessagePart atLine(const char* key, const Entry& entry, const QStringList& more = {}) {
    return {QString::fromLatin1(key), QStringList{QString::number(entry.line), shown(entry.text)} + more};
}

// The weight of a weight entry, std::nullopt for a free seat; or the fault that refuses it.
struct Weight {
    std::optional<std::int16_t> kilograms;
    std::optional<MessagePart> fault;
};

Weight weightOf(Field field, const Entry& entry) {
    QString value = entry.value;
    if (value.endsWith(QLatin1String("kg"), Qt::CaseInsensitive))
        value = value.chopped(2).trimmed();
    if (value.isEmpty()) {
        if (field == Pilot)
            return {std::nullopt, atLine("strLoadingFilePilotFree", entry)};
        if (field == Baggage)
            return {std::nullopt, atLine("strLoadingFileNotWhole", entry)};
        return {}; // a free seat
    }
    const bool negative = value.startsWith(QLatin1Char('-'));
    if (!onlyDigits(negative ? QStringView(value).sliced(1) : QStringView(value)))
        return {std::nullopt, atLine("strLoadingFileNotWhole", entry)};
    bool fits = false;
    const qlonglong number = value.toLongLong(&fits);
    if (field == Baggage) {
        if (!fits || number < 0 || number > LoadingModel::kBaggageMaximum)
            return {std::nullopt,
                    atLine("strLoadingFileBaggageRange", entry, {QString::number(LoadingModel::kBaggageMaximum)})};
        return {static_cast<std::int16_t>(number), std::nullopt};
    }
    if (!fits || number > SeatOperations::kLargestEntry || number < -SeatOperations::kLargestEntry)
        return {std::nullopt,
                atLine("strLoadingFileBeyondLimit", entry, {QString::number(SeatOperations::kLargestEntry)})};
    if (field == Pilot && number < SeatOperations::kPilotMinimum)
        return {std::nullopt,
                atLine("strLoadingFilePilotUnder", entry, {QString::number(SeatOperations::kPilotMinimum)})};
    if (number == 0)
        return {std::nullopt, atLine("strLoadingFileNoWeight", entry)};
    return {static_cast<std::int16_t>(number), std::nullopt};
}

Parsed refused(MessagePart fault) {
    return {std::nullopt, std::move(fault)};
}

// The version the first line names, or std::nullopt when it does not name this format.
std::optional<int> versionOf(const QString& firstLine) {
    const QString name = QString::fromLatin1(kFormatName) + QLatin1Char(' ');
    const QString line = firstLine.trimmed();
    if (!line.startsWith(name, Qt::CaseInsensitive))
        return std::nullopt;
    const QString version = line.sliced(name.size()).trimmed();
    bool ok = false;
    const int number = version.toInt(&ok);
    if (!onlyDigits(version) || !ok || number < 1)
        return std::nullopt;
    return number;
}

} // namespace

QByteArray format(const Contents& contents) {
    const LoadingModel& loading = contents.loading;
    QString note = contents.note;
    note.replace(QLatin1String("\r\n"), QLatin1String(" "));
    note.replace(QLatin1Char('\r'), QLatin1Char(' '));
    note.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QStringList lines{formatLine(),
                      QStringLiteral("# Weights in kg; an empty weight is a free seat. Baggage from 0 to 23 kg.")};
    for (Field field : {Pilot, Copilot, PassengerLeft, PassengerRight}) {
        const Seat seat = kSeatOf[field];
        lines << key(field) + QLatin1Char('=') +
                     (loading.occupied(seat) ? num::plainDigits(loading.weight(seat)) : QString());
    }
    lines << key(Baggage) + QLatin1Char('=') + num::plainDigits(loading.baggage());
    lines << key(Note) + QLatin1Char('=') + note.trimmed();
    return (lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")).toUtf8();
}

Parsed parse(const QByteArray& bytes) {
    // UTF-16 and UTF-32 (Notepad's "Unicode") hold zero bytes; a text in UTF-8 never does.
    if (bytes.contains('\0'))
        return refused({QStringLiteral("strLoadingFileNotText"), {}});
    QString text = decoded(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = text.split(QLatin1Char('\n'));

    const auto version = versionOf(lines.constFirst());
    if (!version)
        return refused({QStringLiteral("strLoadingFileNotLoading"), {formatLine()}});
    if (*version > kFormatVersion)
        return refused({QStringLiteral("strLoadingFileNewer"), {QString::number(*version)}});

    std::array<std::optional<Entry>, kFields> entries;
    std::array<std::optional<std::int16_t>, kFields> weights;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const Entry entry{static_cast<int>(i + 1), QString(), line};
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || line.first(equals).trimmed().isEmpty())
            return refused(atLine("strLoadingFileNotKeyValue", entry));
        const QString name = line.first(equals).trimmed();
        const auto known = std::find_if(kKeys.begin(), kKeys.end(), [&name](const char* k) {
            return name.compare(QLatin1String(k), Qt::CaseInsensitive) == 0;
        });
        if (known == kKeys.end())
            continue; // a key of a later version
        const auto field = static_cast<Field>(known - kKeys.begin());
        if (entries[field])
            return refused(atLine("strLoadingFileTwice", entry, {key(field)}));
        entries[field] = Entry{entry.line, line.sliced(equals + 1).trimmed(), line};
        if (field == Note)
            continue;
        const Weight weight = weightOf(field, *entries[field]);
        if (weight.fault)
            return refused(*weight.fault);
        weights[field] = weight.kilograms;
    }
    for (Field field : {Pilot, Copilot, PassengerLeft, PassengerRight, Baggage}) {
        if (!entries[field])
            return refused({QStringLiteral("strLoadingFileMissing"), {key(field)}});
    }

    // Through the loading's own operations, which keep every figure within 16 bits.
    Contents contents;
    LoadingModel& loading = contents.loading;
    bool fits = loading.setPilotWeight(*weights[Pilot]) && loading.setBaggage(*weights[Baggage]);
    for (Field field : {Copilot, PassengerLeft, PassengerRight}) {
        if (weights[field])
            fits = fits && loading.seat(kSeatOf[field], *weights[field]);
    }
    if (!fits)
        return refused({QStringLiteral("strWeightRange"), {}});
    if (entries[Note])
        contents.note = entries[Note]->value;
    return {contents, {}};
}

Opened open(const QString& path) {
    Opened opened;
    auto refuse = [&opened, &path](MessagePart fault) {
        opened.message = {{QStringLiteral("strLoadingFileNotOpened"), {QDir::toNativeSeparators(path)}},
                          std::move(fault),
                          {QStringLiteral("strTakeOverUnchanged"), {}}};
        return opened;
    };
    auto unreadable = [&refuse](const QString& reason) {
        return refuse({QStringLiteral("strLoadingFileUnreadable"), {reason}});
    };
    // Looked at before anything is opened: a pipe would wait for a writer, a device might do
    // anything.
    const pathprobe::Probe probe = pathprobe::probe(path);
    switch (probe.state) {
    case pathprobe::Probe::State::Missing:
        opened.missing = true;
        return unreadable(missingReason());
    case pathprobe::Probe::State::Folder:
        return unreadable(kFolderReason);
    case pathprobe::Probe::State::Other:
        return unreadable(kNotAFileReason);
    case pathprobe::Probe::State::Unreadable:
        return unreadable(probe.reason);
    case pathprobe::Probe::State::File:
    case pathprobe::Probe::State::Link:
        break;
    }
    auto tooLarge = [&refuse](qint64 size) {
        return refuse(
            {QStringLiteral("strLoadingFileTooLarge"), {QString::number(size), QString::number(kLargestFile)}});
    };
    if (const qint64 size = QFileInfo(path).size(); size > kLargestFile)
        return tooLarge(size);
    QString reason;
    const std::optional<QByteArray> bytes = readWholeFile(path, &reason);
    if (!bytes)
        return unreadable(reason);
    // It may have grown since it was looked at.
    if (bytes->size() > kLargestFile)
        return tooLarge(bytes->size());
    Parsed parsed = parse(*bytes);
    if (!parsed.contents)
        return refuse(parsed.fault);
    opened.contents = std::move(parsed.contents);
    return opened;
}

QString withExtension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot == name.size() - 1 && dot > 0)
        return path + QString::fromLatin1(kExtension);
    if (dot > 0)
        return path;
    return path + QLatin1Char('.') + QString::fromLatin1(kExtension);
}

namespace {

// The refusal of a loading whose file would be too large to be opened again (only a long note
// makes it so: one that came from a file in the Windows code page takes up to three bytes a
// character in UTF-8).
std::optional<QList<MessagePart>> tooLarge(const QString& path, const QByteArray& bytes) {
    if (bytes.size() <= kLargestFile)
        return std::nullopt;
    return QList<MessagePart>{
        {QStringLiteral("strLoadingFileNoteTooLong"),
         {QDir::toNativeSeparators(path), QString::number(bytes.size()), QString::number(kLargestFile)}},
        {QStringLiteral("strLoadingFileShortenNote"), {}}};
}

} // namespace

namespace {

// The refusal of a place that is, its links followed, one of the files the program ships.
std::optional<QList<MessagePart>> shipped(const QString& path, const QString& programFolder) {
    if (programFolder.isEmpty() || programfiles::shippedFileAt(programFolder, path).isEmpty())
        return std::nullopt;
    return QList<MessagePart>{{QStringLiteral("strLoadingFileShipped"), {QDir::toNativeSeparators(path)}}};
}

} // namespace

Target target(const QString& path, const Contents& contents, const QString& programFolder) {
    if (auto refusal = tooLarge(path, format(contents)))
        return Target{false, std::move(*refusal)};
    if (auto refusal = shipped(path, programFolder))
        return Target{false, std::move(*refusal)};
    auto refuse = [&path](const QString& reason) {
        return Target{false, {{QStringLiteral("strLoadingFileNotSaved"), {QDir::toNativeSeparators(path), reason}}}};
    };
    const pathprobe::Probe probe = pathprobe::probe(path);
    // Said before the question whether to replace it: a file that is read-only (for everybody,
    // administrators too) or a folder that takes no file.
    const QFileInfo written(atomicfile::resolvedTarget(path));
    const bool exists = probe.state == pathprobe::Probe::State::File;
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (exists && (!written.isWritable() || !(written.permissions() & writeBits)))
        return refuse(QStringLiteral("the file is read-only"));
    if ((exists || probe.state == pathprobe::Probe::State::Missing) && written.dir().exists() &&
        !atomicfile::canCreateIn(written.absolutePath()))
        return refuse(QString::fromLocal8Bit(std::strerror(EACCES)));
    switch (probe.state) {
    case pathprobe::Probe::State::Missing:
        return {};
    case pathprobe::Probe::State::File:
    case pathprobe::Probe::State::Link:
        return {true, {}};
    case pathprobe::Probe::State::Folder:
        return refuse(kFolderReason);
    case pathprobe::Probe::State::Other:
        return refuse(kNotAFileReason);
    case pathprobe::Probe::State::Unreadable:
        break;
    }
    return refuse(probe.reason);
}

std::optional<QList<MessagePart>> save(const QString& path, const Contents& contents, const QString& programFolder) {
    const QByteArray bytes = format(contents);
    if (auto refusal = tooLarge(path, bytes))
        return refusal;
    if (auto refusal = shipped(path, programFolder))
        return refusal;
    QString reason;
    if (atomicfile::replaceWithData(path, bytes, &reason))
        return std::nullopt;
    return QList<MessagePart>{{QStringLiteral("strLoadingFileNotSaved"), {QDir::toNativeSeparators(path), reason}}};
}

QString filter(const QString& description) {
    return description + QStringLiteral("|*.") + QString::fromLatin1(kExtension);
}

QString openFilter(const QString& loadings, const QString& allFiles) {
    return filter(loadings) + QLatin1Char('|') + allFiles + QStringLiteral("|*");
}

std::optional<QString> fromCommandLine(const QStringList& arguments, const QString& currentFolder) {
    if (arguments.size() < 2 || arguments[1].isEmpty())
        return std::nullopt;
    // Windows hands over its own separators; QDir takes either there.
    const QString given = QDir::fromNativeSeparators(arguments[1]);
    return QDir::cleanPath(QDir(currentFolder).absoluteFilePath(given));
}

} // namespace loadingfile
