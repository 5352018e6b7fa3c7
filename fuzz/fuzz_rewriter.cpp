// The weight-and-balance rewriter on any bytes: the output is the kept bytes before the header,
// the new section and the kept tail; rewriting the output again only adds one empty line before
// the header.
#include "export/WeightAndBalance.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
void require(bool condition) {
    if (!condition)
        std::abort();
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
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray section = wab::section(loads);
    const QByteArray out = wab::rewriteWeightAndBalance(original, loads);

    const qsizetype p = original.indexOf(wab::kHeader);
    if (p < 0) {
        require(out == original + section);
    } else {
        require(out.left(p) == original.left(p));
        require(out.mid(p, section.size()) == section);
        const QByteArray tail = out.mid(p + section.size());
        require(original.endsWith(tail));
        require(tail.isEmpty() || tail.startsWith('['));
        const QByteArray again = wab::rewriteWeightAndBalance(out, loads);
        require(again == original.left(p) + "\r\n" + section + tail);
    }
    return 0;
}
