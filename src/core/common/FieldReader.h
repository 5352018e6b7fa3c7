#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads the comma- and line-separated text fields of the program's settings files and of an
// aircraft's aircraft.cfg, the way the program has always read them:
//  - blanks (and tabs) at the start of a field are skipped;
//  - a field ends at a comma or at the end of a line (CR LF, LF or CR);
//  - a field that begins with a double quote runs to the next double quote; the quotes are not
//    part of it, and whatever follows up to the next comma or line end is dropped.
class FieldReader {
public:
    explicit FieldReader(QByteArray data);

    bool atEnd() const;
    // The next field as raw bytes; an empty field at the end of the data reads as empty.
    QByteArray next();

private:
    void skipBlanks();
    void skipDelimiter();

    QByteArray m_data;
    qsizetype m_pos = 0;
};

// True when the system's 8-bit encoding is UTF-8.
bool systemEncodingIsUtf8();

// Text of the first field of the data (the first line up to its first comma), decoded from the
// system's 8-bit encoding; where that is UTF-8 and the field is not, from Windows-1252.
QString firstTextField(const QByteArray& data);

// The first field read as the number form of the settings files: optional blanks, an optionally
// signed decimal whole number, ended by a blank, a comma or the line end. std::nullopt when the
// field is not such a number or does not fit 16 bits.
std::optional<qint16> firstNumberField(const QByteArray& data);

// The number form the settings files write: sign place, digits, one blank, CR LF.
QByteArray numberLine(qint16 value);

// A text written bare as one line: the text, CR LF.
QByteArray textLine(const QString& text);
