#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The reasons the system gives for a failed file operation, told in the program's language. A
// reason is carried as the system's own text (strerror), or as one of the program's own reasons
// below; every own reason and the system's reasons a user meets most have a language key, and the
// rest stay as the system wrote them.
namespace systemreasons {

// The program's own reasons, written by its file routines. "%1" (and "%2") stand for a detail: a
// reason the system gave (told in the program's language too) or a path.
namespace own {
inline constexpr auto kIsFolder = "it is a folder, not a file";
inline constexpr auto kFolder = "it is a folder";
inline constexpr auto kNotAFile = "it is not a file (but a pipe, a socket or a device)";
inline constexpr auto kReadOnlyFile = "the file is read-only";
inline constexpr auto kSomethingThere = "something is already there";
inline constexpr auto kNoTemporaryName = "no free name for a temporary file";
inline constexpr auto kNoTemporaryFolderName = "no free name for a temporary folder";
inline constexpr auto kOwnerNotKept = "the file's owner and group could not be kept (%1)";
inline constexpr auto kFolderOwnerNotSet = "the folder's owner and permissions could not be set (%1)";
inline constexpr auto kFolderNotWritable = "the folder %1 cannot be written (%2)";
inline constexpr auto kNewContentIn = "%1 (the new content is in %2)";
inline constexpr auto kFolderMissing = "The folder does not exist";
inline constexpr auto kAccessDenied = "Access is denied";
// Said only when the system gave no reason of its own.
inline constexpr auto kNotPermitted = "not permitted";
inline constexpr auto kWriteIncomplete = "the data could not be written completely";
inline constexpr auto kFolderNotOpened = "the folder could not be opened";
inline constexpr auto kFolderNotSynced = "the folder could not be synchronised";
inline constexpr auto kFileNotCreated = "the file could not be created";
inline constexpr auto kFolderNotCreated = "the folder could not be created";
inline constexpr auto kTemporaryNotCreated = "the temporary file could not be created";
inline constexpr auto kOwnerNotRead = "the file's owner and permissions could not be read";
inline constexpr auto kFolderOwnerNotRead = "the folder's owner and permissions could not be read";
inline constexpr auto kModeNotSet = "the file permissions could not be set";
inline constexpr auto kAttributesNotSet = "the file attributes could not be set";
inline constexpr auto kNotStored = "the data could not be stored on the disk";
inline constexpr auto kNotReplaced = "the file could not be replaced";
inline constexpr auto kNotPutInPlace = "the file could not be put in place";
inline constexpr auto kNotRemoved = "the file could not be removed";
// Why a chain of links cannot be followed to its end: it comes back to a link met before.
inline constexpr auto kLinkLoop = "the links lead round in a circle";
inline constexpr auto kTooManyLinks = "too many links";
inline constexpr auto kLinkNotRead = "the link could not be read";
inline constexpr auto kOwnerNotReadOnly = "the owner could not be read";
inline constexpr auto kOwnerGroupNotSet = "the owner and group could not be set (%1)";
} // namespace own

// An own reason with its details put in.
QString ownReason(const char* pattern, const QString& first = QString(), const QString& second = QString());

// A reason as the program's language tells it: the language key and the details its text takes
// (%1, %2), each of them a reason or a path as given.
struct Told {
    QString key;
    QStringList details;
    friend bool operator==(const Told&, const Told&) = default;
};
std::optional<Told> told(const QString& reason);

// The language key for `reason` when it takes no details, or std::nullopt when it has none.
std::optional<QString> keyOf(const QString& reason);

// Every own reason's pattern with its language key, for the tests that read them all.
struct OwnReason {
    const char* pattern;
    const char* key;
};
QList<OwnReason> ownReasons();

} // namespace systemreasons
