#pragma once

#include "core/common/MessagePart.h"
#include "core/loading/LoadingModel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Loadings kept as files of their own: a small UTF-8 text, one key=value per line, that a user may
// also write or change by hand:
//
//   Merovan TQ 58 loading 1
//   # Weights in kg; an empty weight is a free seat. Baggage from 0 to 23 kg.
//   pilot=80
//   copilot=75
//   passenger_left=
//   passenger_right=60
//   baggage=12
//   note=Hamburg with Anna and Ben
//
// The first line names the format and its version. Blank lines and lines that start with "#" do
// not count; keys are found in any letter case, blanks around a key or a value do not count, a
// weight may end in "kg", and keys the program does not know are passed over, so that a later
// version can add some. The pilot seat is never free. A file is taken only whole: it is refused
// at its first fault, with the same checks as entering the weights by hand (the pilot at least
// 40 kg, no weight beyond 8012 kg either way, no person of 0 kg, baggage from 0 to 23 kg).
namespace loadingfile {

inline constexpr auto kExtension = "tqload";
inline constexpr auto kFormatName = "Merovan TQ 58 loading";
inline constexpr int kFormatVersion = 1;
// A loading takes some hundred bytes; anything much larger is not one. The one limit for opening
// and for saving: whatever the program saves, it opens again.
inline constexpr qint64 kLargestFile = 64 * 1024;

// What a loading file holds: the loading and a note of the user's (one line, possibly empty).
struct Contents {
    LoadingModel loading;
    QString note;
    friend bool operator==(const Contents&, const Contents&) = default;
};

// The file's bytes for `contents` (CR LF line ends; a line break in the note becomes a blank).
QByteArray format(const Contents& contents);

// The contents of a file's bytes, or the message part that says its first fault.
struct Parsed {
    std::optional<Contents> contents;
    MessagePart fault;
};
Parsed parse(const QByteArray& bytes);

// Opening the file at `path`: only a regular file is opened (a pipe, a device or a folder never),
// and only one of at most kLargestFile bytes is read.
struct Opened {
    std::optional<Contents> contents;
    // When refused: the file (with native separators), its first fault, and that the loading on
    // screen stays as it was.
    QList<MessagePart> message;
    bool missing = false; // nothing is at the path
};
Opened open(const QString& path);

// The name a loading is saved under when the user typed `path`: a name without a suffix of its own
// gets the loading extension ("trip" and "trip." become "trip.tqload"); a name with one keeps it
// ("trip.txt" stays as it is). A dot that begins the name starts no suffix.
QString withExtension(const QString& path);

// What stands in the way of saving `contents` at `path`: nothing, a file (which the user is asked
// about before it is replaced), or a refusal with the message that says why: a folder, a pipe,
// a device, what cannot be reached, one of the files the program in `programFolder` ships (see
// ProgramFiles.h), and a loading whose note would make the file larger than kLargestFile (checked
// first, since no place takes it).
struct Target {
    bool exists = false;
    QList<MessagePart> refusal;
};
Target target(const QString& path, const Contents& contents, const QString& programFolder = QString());

// Writes `contents` to `path`, replacing the file atomically; the message when that fails. A
// loading too large to be opened again is never written, nor one that would replace a file the
// program in `programFolder` ships.
std::optional<QList<MessagePart>> save(const QString& path, const Contents& contents,
                                       const QString& programFolder = QString());

// The open dialog's filters: loading files first, then all files, each "<description>|<pattern>".
QString openFilter(const QString& loadings, const QString& allFiles);
// The save dialog's filter: "<description>|*.tqload".
QString filter(const QString& description);

// The loading file named on the command line (the first argument after the program), absolute,
// taken relative to `currentFolder`; std::nullopt when none is named.
std::optional<QString> fromCommandLine(const QStringList& arguments, const QString& currentFolder);

} // namespace loadingfile
