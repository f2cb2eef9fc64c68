#include "asxscanner.h"

#include <string.h>

static void ExamineLine(AsxScanner* scanner, const char* line)
{
    if (strstr(line, "<ASX") != nullptr)
        scanner->asxSeen = true;
    if (!scanner->asxSeen)
        return;
    if (strstr(line, "<ENTRY>") != nullptr) {
        scanner->inEntry = true;
    } else if (scanner->inEntry && strstr(line, "<ref") != nullptr) {
        scanner->inEntry = false;  // only an entry's first reference counts
        const char* href = strstr(line, "href");
        if (href == nullptr)
            return;
        const char* open = strchr(href + 4, '"');
        if (open == nullptr)
            return;
        const char* start = open + 1;
        const char* close = strchr(start, '"');
        size_t length = close != nullptr ? static_cast<size_t>(close - start) : strlen(start);
        scanner->references.emplace_back(start, length);
    } else if (strstr(line, "</ENTRY>") != nullptr) {
        scanner->inEntry = false;
    }
}

void ScanAsxBytes(AsxScanner* scanner, const char* bytes, size_t count)
{
    static const char byteOrderMark[3] = { '\xEF', '\xBB', '\xBF' };
    for (size_t i = 0; i < count; i++) {
        char c = bytes[i];
        // A playlist saved as UTF-8 may begin with its byte-order mark.
        if (!scanner->started && scanner->lineBytes < 3 && c == byteOrderMark[scanner->lineBytes]) {
            scanner->line[scanner->lineBytes++] = c;
            if (scanner->lineBytes == 3) {
                scanner->lineBytes = 0;
                scanner->started = true;
            }
            continue;
        }
        scanner->started = true;
        if (c == '\r')
            continue;
        if (c == '\n') {
            scanner->line[scanner->lineBytes] = '\0';
            ExamineLine(scanner, scanner->line);
            scanner->lineBytes = 0;
        } else if (scanner->lineBytes < ASX_LINE_BYTES - 1) {
            scanner->line[scanner->lineBytes++] = c;
        }
    }
}
