#pragma once

#include <QString>
#include <QStringList>

// The loadings used last (opened or saved), most recent first, and the folder the file dialogs
// showed last, kept across starts in recent.cfg in the program folder: UTF-8, CR LF, a first line
// that names it, then "folder=" and one "file=" line per loading. The list is a convenience: a
// file that is missing, damaged, too large or not a file at all gives an empty list, and lines
// that make no sense are passed over.
namespace recentloadings {

inline constexpr auto kFile = "recent.cfg";
// The folder the file dialogs show while none has been used, made when it is needed.
inline constexpr auto kLoadingsFolder = "Loadings";
inline constexpr int kKept = 4;

struct Recent {
    QStringList files; // absolute, with "/" separators, most recent first, at most kKept
    QString folder;    // the folder of the file last chosen; empty when none
    friend bool operator==(const Recent&, const Recent&) = default;
};

Recent read(const QString& programFolder);
// Replaces recent.cfg atomically; false (and *reason) when that fails.
bool write(const QString& programFolder, const Recent& recent, QString* reason);

// `recent` after the loading file `path` has been opened or saved: first in the list (once), and
// its folder the one to show next.
Recent used(const Recent& recent, const QString& path);
// `recent` after the user has chosen `path` in a file dialog, whatever came of it: its folder is
// the one to show next.
Recent chosen(const Recent& recent, const QString& path);
// `recent` without `path`.
Recent forgotten(const Recent& recent, const QString& path);

// The names the menu shows for `files`: each file's name without the loading extension; names that
// two files share are followed by their folder in parentheses (with native separators).
QStringList names(const QStringList& files);

// The folder a file dialog opens in: the one last used while it is there, else the program
// folder's Loadings folder, else (where the program folder takes no folder) the user's documents
// folder. A Loadings folder that is not there yet is made for the dialog (`made`), and goes again
// with leave() when no file was saved into it: nothing is left on disk until a loading is.
struct DialogFolder {
    QString path;
    bool made = false;
};
DialogFolder dialogFolder(const QString& programFolder, const Recent& recent);
// After the dialog and what came of it: a folder made for it that is still empty goes again.
void leave(const DialogFolder& folder);

} // namespace recentloadings
