// The title of any aircraft.cfg: no crash, and a title only comes from a "title=" field.
#include "core/export/AircraftFiles.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString title = aircraftfiles::titleOf(bytes);
    if (!title.isEmpty() && !bytes.toLower().contains("title="))
        std::abort();
    return 0;
}
