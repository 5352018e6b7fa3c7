// The loading-file reader: always ends, takes only loadings the seats themselves would take, and
// what it takes is written and read back unchanged.
#include "core/loading/LoadingFile.h"
#include "core/loading/SeatOperations.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool withinEntries(const LoadingModel& loading) {
    for (Seat seat : kAllSeats) {
        const int kg = loading.weight(seat);
        if (kg > SeatOperations::kLargestEntry || kg < -SeatOperations::kLargestEntry)
            return false;
        if (loading.occupied(seat) && kg == 0)
            return false;
    }
    return loading.occupied(Seat::Pilot) && loading.weight(Seat::Pilot) >= SeatOperations::kPilotMinimum &&
           loading.baggage() >= 0 && loading.baggage() <= LoadingModel::kBaggageMaximum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const loadingfile::Parsed parsed = loadingfile::parse(bytes);
    if (parsed.contents.has_value() == !parsed.fault.key.isEmpty())
        std::abort(); // either a loading or a fault, never both or neither
    if (!parsed.contents)
        return 0;
    if (!withinEntries(parsed.contents->loading))
        std::abort();
    const loadingfile::Parsed again = loadingfile::parse(loadingfile::format(*parsed.contents));
    if (!again.contents || !(*again.contents == *parsed.contents))
        std::abort();
    return 0;
}
