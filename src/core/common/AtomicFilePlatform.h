#pragma once

#include "AtomicFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

// What the two implementations of AtomicFile (AtomicFilePosix.cpp, AtomicFileWindows.cpp; CMake
// builds the one of the target) share. Both carry out every function of AtomicFile.h themselves;
// AtomicFile.cpp holds the helpers below, which they call and which return.
namespace atomicfile::platform {

// How a file is put in place.
struct How {
    bool create = false;    // only where nothing is, never following the path (a new backup)
    QString attributesFrom; // owner, group and permissions from this file instead of the old one
    Attributes installed;   // for a restore: these first, where known
};

// The new content of a file, handed out in blocks: bytes, or a byte copy of a file.
class Content {
public:
    explicit Content(const QByteArray& data) : m_data(data) {}
    explicit Content(const QString& source) : m_source(source), m_copy(true) {}

    // Opens the file to copy, only a regular file and without waiting; false with the reason when
    // it cannot be read. Bytes need no opening.
    bool open(QString* reason);
    // The next block, empty at the end; false with the reason when the file cannot be read.
    bool next(QByteArrayView* block, QString* reason);

private:
    QByteArray m_data; // the bytes, or the buffer a copy is read into
    QString m_source;
    QFile m_file;
    bool m_copy = false;
    bool m_handedOut = false;
};

// Temporary files of `target` that a killed process left behind (".<name>.<random>.tmp", untouched
// for ten minutes) are removed, and so are such folders while empty; a fresh one may belong to a
// save still running elsewhere.
void removeStaleTemporaries(const QString& target);

} // namespace atomicfile::platform
