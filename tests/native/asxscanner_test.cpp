// The playlist line scanner over given bytes.
#include <gtest/gtest.h>

#include "asxscanner.h"

namespace {

std::vector<std::string> Scan(const std::string& bytes, size_t blockBytes = 7)
{
    AsxScanner scanner;
    for (size_t i = 0; i < bytes.size(); i += blockBytes)
        ScanAsxBytes(&scanner, bytes.data() + i, std::min(blockBytes, bytes.size() - i));
    if (!scanner.asxSeen)
        return { "(no playlist)" };
    return scanner.references;
}

} // namespace

TEST(AsxScanner, ExactMarkersLineByLine)
{
    const std::string entry = "<ENTRY>\r\n<ref href=\"\\My Music\\a.mp3\"/>\r\n</ENTRY>\r\n";
    const struct {
        std::string bytes;
        std::vector<std::string> references;
    } cases[] = {
        { "<ASX version=\"3.0\">\r\n" + entry, { "\\My Music\\a.mp3" } },
        // The reference on the line of "<ENTRY>" is not looked at.
        { "<ASX><ENTRY><ref href=\"a.mp3\"/></ENTRY></ASX>\n", {} },
        { "<asx>\n<entry>\n<ref href=\"a.mp3\"/>\n</entry>\n", { "(no playlist)" } },
        { "<ASX>\n<Entry>\n<Ref HREF=\"a.mp3\"/>\n</Entry>\n", {} },
        { "<ASX>\n<ENTRY>\n<ref href=\"b.mp3\"/>\n<ref href=\"a.mp3\"/>\n</ENTRY>\n", { "b.mp3" } },
        { "<ASX>\n<ENTRY>\n<ref href=\"no close\n", { "no close" } },
        { "<ASX>\n<ENTRY>\n<ref src=\"x\"/>\n<ref href=\"y\"/>\n", {} },
        { "<ASX>\n<ENTRY>\n<ref href='single'/>\n", {} },
        { "<ASX>\n<ENTRY>\n</ENTRY>\n<ref href=\"outside\"/>\n", {} },
        // A reference on a last line without line feed is lost, a closing tag harmless.
        { "<ASX>\n<ENTRY>\n<ref href=\"a.mp3\"/>", {} },
        { "<ASX>\n" + entry + "</ENTRY>", { "\\My Music\\a.mp3" } },
        { "\xEF\xBB\xBF<ASX>\n" + entry, { "\\My Music\\a.mp3" } },
        { "\xEF\xBB<ASX>\n" + entry, { "\\My Music\\a.mp3" } },
        { "<ASX>\n<ENTRY>\n<ref href=\"b.mp3\"/>\n" + entry, { "b.mp3", "\\My Music\\a.mp3" } },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.references, Scan(c.bytes)) << c.bytes;
        EXPECT_EQ(c.references, Scan(c.bytes, 1)) << c.bytes;
    }
}

TEST(AsxScanner, LongLinesAreCutNotOverrun)
{
    std::string junk(5000, 'x');
    std::string longReference(600, 'r');
    std::vector<std::string> references =
        Scan("<ASX>\n" + junk + "\n<ENTRY>\n<ref href=\"" + longReference + "\"/>\n", 4096);
    ASSERT_EQ(1u, references.size());
    EXPECT_EQ(ASX_LINE_BYTES - 1 - std::string("<ref href=\"").size(), references[0].size());
}
