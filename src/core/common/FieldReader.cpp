#include "FieldReader.h"

#include "CodePage.h"
#include "Numbers.h"

#include <QStringDecoder>

#include <utility>

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
} // namespace

FieldReader::FieldReader(QByteArray data) : m_data(std::move(data)) {}

bool FieldReader::atEnd() const {
    return m_pos >= m_data.size();
}

void FieldReader::skipBlanks() {
    while (m_pos < m_data.size() && isBlank(m_data[m_pos]))
        ++m_pos;
}

void FieldReader::skipDelimiter() {
    if (m_pos >= m_data.size())
        return;
    const char c = m_data[m_pos];
    if (c == ',') {
        ++m_pos;
    } else if (c == '\r') {
        ++m_pos;
        if (m_pos < m_data.size() && m_data[m_pos] == '\n')
            ++m_pos;
    } else if (c == '\n') {
        ++m_pos;
    }
}

QByteArray FieldReader::next() {
    skipBlanks();
    QByteArray field;
    if (m_pos < m_data.size() && m_data[m_pos] == '"') {
        ++m_pos;
        const qsizetype close = m_data.indexOf('"', m_pos);
        const qsizetype end = close < 0 ? m_data.size() : close;
        field = m_data.mid(m_pos, end - m_pos);
        m_pos = close < 0 ? m_data.size() : close + 1;
        while (m_pos < m_data.size() && m_data[m_pos] != ',' && !isLineEnd(m_data[m_pos]))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < m_data.size() && m_data[m_pos] != ',' && !isLineEnd(m_data[m_pos]))
            ++m_pos;
        field = m_data.mid(start, m_pos - start);
    }
    skipDelimiter();
    return field;
}

bool systemEncodingIsUtf8() {
    static const bool utf8 = QString::fromLocal8Bit("\xC5\x82") == QString(QChar(0x142));
    return utf8;
}

QString firstTextField(const QByteArray& data) {
    FieldReader reader(data);
    const QByteArray field = reader.next();
    QStringDecoder local(QStringDecoder::System, QStringDecoder::Flag::Stateless);
    const QString text = local.decode(field);
    // Where the system's encoding is UTF-8 (Linux; Windows with the program's manifest), a file
    // written in the Western Windows code page, as earlier versions did, is still read as written.
    if (local.hasError() && systemEncodingIsUtf8())
        return codepage::fromWindows1252(field);
    return text;
}

std::optional<qint16> firstNumberField(const QByteArray& data) {
    qsizetype pos = 0;
    while (pos < data.size() && isBlank(data[pos]))
        ++pos;
    const qsizetype start = pos;
    while (pos < data.size() && !isBlank(data[pos]) && data[pos] != ',' && !isLineEnd(data[pos]))
        ++pos;
    const QByteArray token = data.mid(start, pos - start);
    qsizetype digitsFrom = (token.startsWith('-') || token.startsWith('+')) ? 1 : 0;
    if (token.size() == digitsFrom || token.size() - digitsFrom > 6)
        return std::nullopt;
    for (qsizetype i = digitsFrom; i < token.size(); ++i) {
        if (token[i] < '0' || token[i] > '9')
            return std::nullopt;
    }
    const int value = token.toInt();
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<qint16>(value);
}

QByteArray numberLine(qint16 value) {
    return (num::signedForm(value) + QStringLiteral(" \r\n")).toLatin1();
}

QByteArray textLine(const QString& text) {
    return text.toLocal8Bit() + "\r\n";
}
