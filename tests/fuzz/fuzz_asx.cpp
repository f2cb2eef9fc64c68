// libFuzzer target: the playlist line scanner over any bytes, fed in blocks
// of a size the input chooses.
#include <stddef.h>
#include <stdint.h>

#include "asxscanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    size_t block = 1 + data[0] % 64;
    AsxScanner scanner;
    for (size_t i = 1; i < size; i += block)
        ScanAsxBytes(&scanner, reinterpret_cast<const char*>(data) + i,
                     block < size - i ? block : size - i);
    for (const std::string& reference : scanner.references)
        if (reference.size() >= ASX_LINE_BYTES)
            __builtin_trap();
    return 0;
}
