// The playlist line scanner over given bytes.
#include <gtest/gtest.h>

#include "asxscanner.h"

namespace {

std::vector<std::string> Scan(const std::string& bytes, size_t blockBytes)
{
    AsxScanner scanner;
    for (size_t i = 0; i < bytes.size(); i += blockBytes)
        ScanAsxBytes(&scanner, bytes.data() + i, std::min(blockBytes, bytes.size() - i));
    return scanner.asxSeen ? scanner.references : std::vector<std::string>{ "(no playlist)" };
}

} // namespace

TEST(AsxScanner, ExactMarkersLineByLineWithinTheLineBuffer)
{
    const std::string entry = "<ENTRY>\r\n<ref href=\"\\My Music\\a.mp3\"/>\r\n</ENTRY>\r\n";
    const struct {
        std::string bytes;
        std::vector<std::string> references;
    } cases[] = {
        // The reference on the line of "<ENTRY>" is not looked at.
        { "<ASX><ENTRY><ref href=\"a.mp3\"/></ENTRY></ASX>\n", {} },
        { "<asx>\n<entry>\n<ref href=\"a.mp3\"/>\n</entry>\n", { "(no playlist)" } },
        { "<ASX>\n<Entry>\n<Ref HREF=\"a.mp3\"/>\n</Entry>\n", {} },
        { "<ASX>\n<ENTRY>\n<ref href=\"b.mp3\"/>\n<ref href=\"a.mp3\"/>\n</ENTRY>\n", { "b.mp3" } },
        { "<ASX>\n<ENTRY>\n<ref href=\"no close\n", { "no close" } },
        { "<ASX>\n<ENTRY>\n<ref src=\"x\"/>\n<ref href=\"y\"/>\n", {} },
        { "<ASX>\n<ENTRY>\n<ref href='single'/>\n", {} },
        { "<ASX>\n<ENTRY>\n</ENTRY>\n<ref href=\"outside\"/>\n", {} },
        // A reference on a last line without line feed is lost.
        { "<ASX>\n<ENTRY>\n<ref href=\"a.mp3\"/>", {} },
        { "\xEF\xBB\xBF<ASX>\n" + entry, { "\\My Music\\a.mp3" } },
        { "<ASX>\n<ENTRY>\n<ref href=\"b.mp3\"/>\n" + entry, { "b.mp3", "\\My Music\\a.mp3" } },
        // Long lines are cut to the line buffer, never overrun it.
        { "<ASX>\n" + std::string(5000, 'x') + "\n<ENTRY>\n<ref href=\"" + std::string(600, 'r') + "\"/>\n",
          { std::string(ASX_LINE_BYTES - sizeof("<ref href=\""), 'r') } },
    };
    for (const auto& c : cases) {
        for (size_t blockBytes : { 1, 7, 4096 })
            EXPECT_EQ(c.references, Scan(c.bytes, blockBytes)) << blockBytes << ": " << c.bytes;
    }
}
