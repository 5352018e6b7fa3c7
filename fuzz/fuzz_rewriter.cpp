// The weight-and-balance rewriter on any bytes. Two promises must hold whatever the file holds:
//  - every line that is not one the writer owns survives, byte for byte and in its order: what is
//    left of the output after taking out the written lines is exactly the input without its owned
//    lines;
//  - rewriting the output again with the same loads changes nothing.
// The owned lines are worked out here on their own, the plain way, not with the writer's code.
#include "core/export/WeightAndBalance.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// Lines with their line ends (CR LF, LF, lone CR).
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        current += text[i];
        const bool lf = text[i] == '\n';
        const bool loneCr = text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n');
        if (lf || loneCr) {
            lines.push_back(current);
            current.clear();
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

std::string withoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

std::string lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return s;
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The line's text after blanks and tabs, and after a byte-order mark on the first line.
std::string head(const std::string& line, bool first) {
    std::string text = withoutLineEnd(line);
    if (first && text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    const auto start = text.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : text.substr(start);
}

bool isHeader(const std::string& line, bool first) {
    return head(line, first).rfind('[', 0) == 0;
}

bool isWabHeader(const std::string& line, bool first) {
    return lower(head(line, first)).rfind("[weight_and_balance]", 0) == 0;
}

bool isOwnedKey(const std::string& line) {
    const std::string text = withoutLineEnd(line);
    const auto equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    const std::string key = lower(trimmed(text.substr(0, equals)));
    for (const char* owned : {"empty_weight", "reference_datum_position", "empty_weight_cg_position", "station_load.0",
                              "station_load.1", "station_load.2", "station_load.3", "station_load.4"}) {
        if (key == owned)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    wab::StationLoads loads;
    if (size >= 4) {
        loads.pilot = data[0];
        if (data[1] & 1)
            loads.coPilot = data[1] * 3;
        if (data[2] & 1)
            loads.paxLeft = -std::int64_t(data[2]);
        if (data[3] & 1)
            loads.paxRight = data[3];
        loads.baggage = data[3] % 51;
        data += 4;
        size -= 4;
    }
    const std::string original(reinterpret_cast<const char*>(data), size);
    // The written lines end as every line of the file does (LF alone, CR alone), else with CR LF.
    std::size_t crs = 0;
    std::size_t lfs = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crs += data[i] == '\r';
        lfs += data[i] == '\n';
    }
    const QByteArray lineEnd = crs == 0 && lfs > 0 ? "\n" : lfs == 0 && crs > 0 ? "\r" : "\r\n";
    const QByteArray section = wab::section(loads).replace("\r\n", lineEnd);
    const std::string written(section.constData() + lineEnd.size(),
                              std::size_t(section.size() - lineEnd.size())); // from the header on
    const QByteArray out = wab::rewriteWeightAndBalance(QByteArray(original.data(), qsizetype(size)), loads);
    const std::string output(out.constData(), std::size_t(out.size()));

    // The input without its owned lines, and where the written lines go in.
    const std::vector<std::string> lines = splitLines(original);
    std::string kept;
    std::size_t writtenAt = std::string::npos;
    bool inWab = false;
    bool afterHeader = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const bool header = isHeader(line, i == 0);
        if (header)
            inWab = isWabHeader(line, i == 0);
        if (header && inWab && writtenAt == std::string::npos) {
            // A byte-order mark before the first header stays before the written lines.
            if (i == 0 && line.rfind("\xEF\xBB\xBF", 0) == 0)
                kept += "\xEF\xBB\xBF";
            writtenAt = kept.size();
            afterHeader = true;
            continue;
        }
        if (afterHeader && trimmed(withoutLineEnd(line)).empty())
            continue;
        afterHeader = false;
        if (!header && inWab && isOwnedKey(line))
            continue;
        kept += line;
    }

    if (writtenAt == std::string::npos) {
        std::string expected = original;
        if (!expected.empty() && expected.back() != '\n' && expected.back() != '\r')
            expected += lineEnd.toStdString();
        require(output == expected + std::string(section.constData(), std::size_t(section.size())));
    } else {
        require(output.compare(writtenAt, written.size(), written) == 0);
        require(output.substr(0, writtenAt) + output.substr(writtenAt + written.size()) == kept);
    }
    require(wab::rewriteWeightAndBalance(out, loads) == out);
    return 0;
}
