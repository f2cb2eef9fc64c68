// Track texts from raw tag values.
#include <gtest/gtest.h>

#include "fsound.h"
#include "tagtext.h"

TEST(TagText, EachKindOfValueCutToTheTextSize)
{
    // Longer than a text holds: Latin-1, UTF-16 and UTF-8 that ends in pairs.
    std::string wide = "\x01" + std::string(2 * 1000, 'b'), emoji = "a";
    for (int i = 0; i < 200; i++)
        emoji += "\xF0\x9F\x8E\xB5";
    std::u16string pairs = u"a";
    while (pairs.size() + 2 < TRACK_TEXT_UNITS)
        pairs += u"\U0001F3B5";
    const struct {
        int type;
        std::string value;
        std::u16string text;   // empty: not taken
    } cases[] = {
        { FSOUND_TAGFIELD_ID3V2, std::string("\0Caf\xE9", 5), u"Caf\u00E9" },
        { FSOUND_TAGFIELD_ID3V2, std::string("\x01\xFF\xFEW\0a\0k\0\0\0x\0", 13), u"Wak" },
        { FSOUND_TAGFIELD_ID3V2, std::string("\x01\xFE\xFF\0W\0a\0k", 9), u"Wak" },
        { FSOUND_TAGFIELD_ID3V2, std::string("\x01W\0\x13\x20", 5), u"W\u2013" },
        { FSOUND_TAGFIELD_ID3V2, std::string("\x01\xFF\xFE", 3), u"" },
        { FSOUND_TAGFIELD_ID3V2, std::string("\0", 1), u"" },
        { FSOUND_TAGFIELD_ID3V2, wide, std::u16string(TRACK_TEXT_UNITS - 1, u'\u6262') },
        { FSOUND_TAGFIELD_ID3V1, "Old \xE9t\xE9", u"Old \u00E9t\u00E9" },
        { FSOUND_TAGFIELD_ID3V1, std::string(1000, 'a'), std::u16string(TRACK_TEXT_UNITS - 1, u'a') },
        { FSOUND_TAGFIELD_VORBISCOMMENT, "\xD0\x92\xD0\xB5\xD1\x81\xD0\xBD\xD0\xB0 \xE2\x80\x93 \xF0\x9F\x8E\xB5",
          u"\u0412\u0435\u0441\u043D\u0430 \u2013 \U0001F3B5" },
        { FSOUND_TAGFIELD_VORBISCOMMENT, "Caf\xE9", u"Caf\u00E9" },   // not UTF-8
        { FSOUND_TAGFIELD_VORBISCOMMENT, "\xC0\xAF", u"\u00C0\u00AF" },  // overlong
        { FSOUND_TAGFIELD_VORBISCOMMENT, "", u"" },
        { FSOUND_TAGFIELD_VORBISCOMMENT, emoji, pairs },   // no half pair
    };
    for (const auto& c : cases) {
        WCHAR text[TRACK_TEXT_UNITS];
        bool taken = ConvertTagText(c.type, c.value.data(), static_cast<int>(c.value.size()), text);
        EXPECT_EQ(!c.text.empty(), taken) << c.value;
        EXPECT_EQ(c.text, std::u16string(text)) << c.value;
    }
}
