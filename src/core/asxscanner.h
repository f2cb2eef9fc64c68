// The ASX playlist's line scanner: a handful of exact, case-sensitive
// markers on each line, not an XML parser. Pure code over bytes.
#ifndef WAKELOOM_ASXSCANNER_H
#define WAKELOOM_ASXSCANNER_H

#include <stddef.h>

#include <string>
#include <vector>

// At most this many bytes of a line are kept; the rest of it is dropped.
#define ASX_LINE_BYTES 520

struct AsxScanner {
    bool asxSeen = false;      // a line held "<ASX"
    bool inEntry = false;      // an "<ENTRY>" whose reference is not taken yet
    bool started = false;      // past a UTF-8 byte-order mark at the start
    char line[ASX_LINE_BYTES];
    size_t lineBytes = 0;
    // The first reference of each entry, as written, in playlist order.
    std::vector<std::string> references;
};

// Feeds the next bytes of the file. Carriage returns are dropped; a line
// feed ends a line, which is then examined. A last line without a line
// feed is never examined.
void ScanAsxBytes(AsxScanner* scanner, const char* bytes, size_t count);

#endif
