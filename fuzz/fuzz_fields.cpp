// The settings-file field reader: always ends, every field is a piece of the input, and the
// number form reads back what it writes.
#include "core/common/FieldReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    FieldReader reader(bytes);
    qsizetype fields = 0;
    while (!reader.atEnd()) {
        const QByteArray field = reader.next();
        // A quoted field may run over line ends up to its closing quote; any field is a piece.
        if (!bytes.contains(field))
            std::abort();
        if (++fields > bytes.size() + 1)
            std::abort(); // no progress
    }
    firstTextField(bytes);
    if (const auto number = firstNumberField(bytes)) {
        if (firstNumberField(numberLine(*number)) != number)
            std::abort();
    }
    return 0;
}
