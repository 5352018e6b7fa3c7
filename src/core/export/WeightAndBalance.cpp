#include "WeightAndBalance.h"

#include "core/common/Numbers.h"
#include "core/loading/LoadingModel.h"

#include <QList>

#include <algorithm>
#include <array>
#include <cstring>

namespace wab {
namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// The fixed lines after the header. The empty weight is the aircraft's 695 kg in pounds.
constexpr std::array<const char*, 3> kEmptyWeightLines{
    "empty_weight = 1532             // (pounds) kg=>lbs x 2,2046",
    "reference_datum_position     =   0.0,   0, 0",
    "empty_weight_CG_position     =   0.0,   0, 0",
};

// Per station: the text after the load (position in feet from the datum, and a comment).
constexpr std::array<const char*, 5> kStationSuffixes{
    ",  0.4, -1.7, 0.0       //Pilot Mirk   Weight (lbs)",     ", 0.4, 1.7, 0.0       //Co-Pilot     Weight (lbs)",
    ", -3.0, -1.7, 0.0       //Passenger    Weight (lbs)",     ", -3.0, 1.7, 0.0       //Passenger    Weight (lbs)",
    ", -6.5,  0.0, 0.0           //Baggage      Weight (lbs)",
};

QByteArray stationLine(int station, const std::optional<std::int64_t>& load) {
    QByteArray line = QByteArrayLiteral("station_load.") + QByteArray::number(station) + QByteArrayLiteral(" =   ");
    // A free seat: a blank, the digit 0 and a blank.
    line += load ? num::plainDigits(*load).toLatin1() : QByteArrayLiteral(" 0 ");
    line += kStationSuffixes[static_cast<std::size_t>(station)];
    return line;
}

constexpr char kBom[] = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// One line of the file: its text from `start` to `textEnd`, and its line end up to `end`.
struct Line {
    qsizetype start = 0;
    qsizetype textEnd = 0;
    qsizetype end = 0;
};

// Cuts the data into lines, front to back. A line ends with CR LF, LF or a lone CR; the last one
// may have no line end. The next LF is remembered, so that a file of lone CRs costs no more than
// one of CR LFs.
class LineScanner {
public:
    explicit LineScanner(QByteArrayView data) : m_data(data) {}

    // The line that starts at `pos`, which only ever moves forward.
    Line lineAt(qsizetype pos) {
        const char* begin = m_data.data();
        const qsizetype size = m_data.size();
        if (m_nextLf < pos) {
            const void* lf = std::memchr(begin + pos, '\n', size_t(size - pos));
            m_nextLf = lf ? static_cast<const char*>(lf) - begin : size;
        }
        const void* cr = std::memchr(begin + pos, '\r', size_t(m_nextLf - pos));
        if (!cr)
            return {pos, m_nextLf, std::min(m_nextLf + 1, size)};
        const qsizetype crAt = static_cast<const char*>(cr) - begin;
        const bool crLf = crAt + 1 == m_nextLf && m_nextLf < size;
        return {pos, crAt, crLf ? m_nextLf + 1 : crAt + 1};
    }

private:
    QByteArrayView m_data;
    qsizetype m_nextLf = -1;
};

// The text of a line with its leading blanks and tabs (and, on the first line, a byte-order mark)
// passed over.
QByteArrayView headText(QByteArrayView data, const Line& line) {
    QByteArrayView text = data.sliced(line.start, line.textEnd - line.start);
    if (line.start == 0 && text.startsWith(QByteArrayView(kBom)))
        text = text.sliced(3);
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    return text;
}

bool isHeaderLine(QByteArrayView data, const Line& line) {
    return headText(data, line).startsWith('[');
}

// Where the next section header starts, at or after `pos`, which is the start of a line other than
// the file's first: the start of the first line whose text after blanks and tabs begins with "[",
// or the end of the data. The lines in between are passed over as one run of bytes.
qsizetype nextHeaderLine(QByteArrayView data, qsizetype pos) {
    const char* begin = data.data();
    const qsizetype size = data.size();
    for (qsizetype from = pos; from < size;) {
        const void* found = std::memchr(begin + from, '[', size_t(size - from));
        if (!found)
            return size;
        const qsizetype bracket = static_cast<const char*>(found) - begin;
        qsizetype start = bracket;
        while (start > pos && isBlank(data[start - 1]))
            --start;
        // After a line end: a LF, or a lone CR (the byte after it is a blank or the "[").
        if (start == pos || data[start - 1] == '\n' || data[start - 1] == '\r')
            return start;
        from = bracket + 1;
    }
    return size;
}

bool isWeightAndBalanceHeader(QByteArrayView data, const Line& line) {
    const QByteArrayView text = headText(data, line);
    const QByteArrayView header(kHeader);
    return text.size() >= header.size() && text.first(header.size()).compare(header, Qt::CaseInsensitive) == 0;
}

bool isEmptyLine(QByteArrayView data, const Line& line) {
    for (qsizetype i = line.start; i < line.textEnd; ++i) {
        if (!isBlank(data[i]))
            return false;
    }
    return true;
}

// True for a line whose key is one the writer writes itself.
bool isOwnedKeyLine(QByteArrayView data, const Line& line) {
    QByteArrayView text = data.sliced(line.start, line.textEnd - line.start);
    const qsizetype equals = text.indexOf('=');
    if (equals < 0)
        return false;
    QByteArrayView key = text.first(equals);
    while (!key.isEmpty() && isBlank(key.front()))
        key = key.sliced(1);
    while (!key.isEmpty() && isBlank(key.back()))
        key.chop(1);
    for (const QByteArrayView owned : ownedKeys()) {
        if (key.compare(owned, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

StationLoads stationLoads(const LoadingModel& loading) {
    auto loadOf = [&](Seat seat) -> std::optional<std::int64_t> {
        if (!loading.occupied(seat))
            return std::nullopt;
        return num::kgToPounds(loading.weight(seat));
    };
    StationLoads loads;
    loads.pilot = num::kgToPounds(loading.weight(Seat::Pilot));
    loads.coPilot = loadOf(Seat::Co);
    loads.paxLeft = loadOf(Seat::PaxLeft);
    loads.paxRight = loadOf(Seat::PaxRight);
    loads.baggage = num::kgToPounds(loading.baggage());
    return loads;
}

namespace {

// The numbers of a value list: the text up to a "//" comment, cut at its commas.
QList<double> numbersOf(QByteArrayView values) {
    if (const qsizetype comment = values.indexOf("//"); comment >= 0)
        values = values.first(comment);
    QList<double> numbers;
    for (const QByteArray& value : values.toByteArray().split(','))
        numbers << value.trimmed().toDouble();
    return numbers;
}

// The numbers after the "=" of one of the fixed lines.
QList<double> lineNumbers(const char* line) {
    const QByteArrayView text(line);
    return numbersOf(text.sliced(text.indexOf('=') + 1));
}

} // namespace

std::int64_t emptyWeight() {
    static const auto pounds = static_cast<std::int64_t>(lineNumbers(kEmptyWeightLines[0]).value(0));
    return pounds;
}

Position emptyWeightPosition() {
    static const QList<double> numbers = lineNumbers(kEmptyWeightLines[2]);
    return {numbers.value(0), numbers.value(1)};
}

Position stationPosition(int station) {
    // A suffix starts with the comma after the load.
    const QList<double> numbers =
        numbersOf(QByteArrayView(kStationSuffixes[static_cast<std::size_t>(station)]).sliced(1));
    return {numbers.value(0), numbers.value(1)};
}

std::optional<int> modelVariant(bool coPilot, bool paxLeft, bool paxRight) {
    if (!coPilot)
        return (paxLeft || paxRight) ? std::nullopt : std::optional<int>(1);
    if (paxLeft && paxRight)
        return 5;
    if (paxLeft)
        return 3;
    if (paxRight)
        return 4;
    return 2;
}

std::optional<int> modelVariant(const StationLoads& loads) {
    return modelVariant(loads.coPilot.has_value(), loads.paxLeft.has_value(), loads.paxRight.has_value());
}

namespace {

QByteArray sectionEndedBy(const StationLoads& loads, const QByteArray& lineEnd) {
    QByteArray out;
    out += lineEnd;
    out += kHeader + lineEnd;
    out += lineEnd;
    for (const char* line : kEmptyWeightLines)
        out += line + lineEnd;
    out += stationLine(0, loads.pilot) + lineEnd;
    out += stationLine(1, loads.coPilot) + lineEnd;
    out += stationLine(2, loads.paxLeft) + lineEnd;
    out += stationLine(3, loads.paxRight) + lineEnd;
    out += stationLine(4, loads.baggage) + lineEnd;
    return out;
}

} // namespace

QByteArray section(const StationLoads& loads) {
    return sectionEndedBy(loads, kLineEnd);
}

QByteArray lineEndOf(QByteArrayView data) {
    if (data.isEmpty())
        return kLineEnd;
    // Only whether each of the two occurs counts, so the search stops at the first of each.
    const bool crs = std::memchr(data.data(), '\r', size_t(data.size())) != nullptr;
    const bool lfs = std::memchr(data.data(), '\n', size_t(data.size())) != nullptr;
    if (!crs && lfs)
        return QByteArrayLiteral("\n");
    if (!lfs && crs)
        return QByteArrayLiteral("\r");
    return kLineEnd;
}

const std::array<QByteArrayView, 8>& ownedKeys() {
    static constexpr std::array<QByteArrayView, 8> keys{
        "empty_weight",   "reference_datum_position", "empty_weight_CG_position", "station_load.0",
        "station_load.1", "station_load.2",           "station_load.3",           "station_load.4",
    };
    return keys;
}

QByteArray rewriteWeightAndBalance(const QByteArray& original, const StationLoads& loads) {
    const QByteArrayView data(original);
    const QByteArray lineEnd = lineEndOf(data);
    const QByteArray replacement = sectionEndedBy(loads, lineEnd);
    const qsizetype size = data.size();

    LineScanner lines(data);
    qsizetype pos = 0;
    Line line;
    bool found = false;
    while (pos < size) {
        line = lines.lineAt(pos);
        if (isWeightAndBalanceHeader(data, line)) {
            found = true;
            break;
        }
        pos = nextHeaderLine(data, line.end);
    }

    // One buffer of about the final size: however large the file, the new content costs one
    // allocation and one copy of the old bytes.
    QByteArray out;
    out.reserve(size + replacement.size() + 2);
    if (!found) {
        out.append(data);
        if (size > 0 && data.back() != '\n' && data.back() != '\r')
            out.append(lineEnd);
        out.append(replacement);
        return out;
    }

    // A byte-order mark before the header stays where it is.
    const qsizetype headerStart = line.start == 0 && data.startsWith(QByteArrayView(kBom)) ? 3 : line.start;
    out.append(data.first(headerStart));
    out.append(QByteArrayView(replacement).sliced(lineEnd.size()));

    // The old section: the empty lines right after the header go, the owned key lines go, the rest
    // follows the written lines.
    pos = line.end;
    while (pos < size) {
        line = lines.lineAt(pos);
        if (!isEmptyLine(data, line))
            break;
        pos = line.end;
    }
    bool inWeightAndBalance = true;
    while (pos < size) {
        if (!inWeightAndBalance) {
            // Outside the section every line stays: up to the next header in one piece.
            const qsizetype header = nextHeaderLine(data, pos);
            out.append(data.sliced(pos, header - pos));
            pos = header;
            if (pos == size)
                break;
        }
        line = lines.lineAt(pos);
        pos = line.end;
        if (isHeaderLine(data, line))
            inWeightAndBalance = isWeightAndBalanceHeader(data, line);
        else if (inWeightAndBalance && isOwnedKeyLine(data, line))
            continue;
        out.append(data.sliced(line.start, line.end - line.start));
    }
    return out;
}

namespace {

QByteArrayView trimmedBlanks(QByteArrayView text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// The station (0 to 4) whose load the line holds, and the line's first value.
std::optional<int> stationOf(QByteArrayView data, const Line& line, QByteArrayView* value) {
    const QByteArrayView text = data.sliced(line.start, line.textEnd - line.start);
    const qsizetype equals = text.indexOf('=');
    if (equals < 0)
        return std::nullopt;
    const QByteArrayView key = trimmedBlanks(text.first(equals));
    for (int station = 0; station < 5; ++station) {
        if (key.compare(ownedKeys()[static_cast<std::size_t>(3 + station)], Qt::CaseInsensitive) != 0)
            continue;
        QByteArrayView rest = text.sliced(equals + 1);
        const qsizetype comment = rest.indexOf("//");
        if (comment >= 0)
            rest = rest.first(comment);
        const qsizetype comma = rest.indexOf(',');
        if (comma >= 0)
            rest = rest.first(comma);
        *value = trimmedBlanks(rest);
        return station;
    }
    return std::nullopt;
}

} // namespace

StationValues readStationValues(const QByteArray& cfg) {
    const QByteArrayView data(cfg);
    StationValues values;
    LineScanner lines(data);
    qsizetype pos = 0;
    bool inSection = false;
    while (pos < data.size()) {
        const Line line = lines.lineAt(pos);
        pos = line.end;
        if (isHeaderLine(data, line)) {
            // Only the first section counts: its end is the end of the search.
            if (inSection)
                break;
            inSection = isWeightAndBalanceHeader(data, line);
            continue;
        }
        QByteArrayView value;
        if (!inSection)
            continue;
        if (const auto station = stationOf(data, line, &value); station && !values[std::size_t(*station)])
            values[std::size_t(*station)] = value.toByteArray();
    }
    return values;
}

} // namespace wab
