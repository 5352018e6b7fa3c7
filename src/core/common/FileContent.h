#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace atomicfile {

// The new content of a file that AtomicFile puts in place, handed out in blocks to the system's
// writes: bytes held in memory, or a byte copy of a file, read in blocks of 1 MiB.
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

} // namespace atomicfile
