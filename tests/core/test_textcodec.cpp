// Text decoding and encoding of the race files: CP932, UTF-8 and the BOM.
#include <gtest/gtest.h>

#include "util/textcodec.h"

using namespace brisko;

TEST(TextCodec, DecodesEachEncodingAndKeepsWhatFits) {
    // "ブリスコ" in CP932.
    const std::string cp932 = "\x83\x75\x83\x8A\x83\x58\x83\x52";
    auto d = decodeText(cp932);
    EXPECT_EQ(d.encoding, TextEncoding::Cp932);
    EXPECT_EQ(d.text, "ブリスコ");

    auto u = decodeText("\xEF\xBB\xBF" "ブリスコ");
    EXPECT_EQ(u.encoding, TextEncoding::Utf8Bom);
    EXPECT_EQ(u.text, "ブリスコ");

    auto plain = decodeText("BN, a.trk, Boat");
    EXPECT_EQ(plain.encoding, TextEncoding::Utf8);

    TextEncoding used;
    EXPECT_EQ(encodeForWindows("ブリスコ", &used), cp932);
    EXPECT_EQ(used, TextEncoding::Cp932);
    // A character CP932 lacks: the text goes out as UTF-8 with a BOM, losing nothing.
    std::string out = encodeForWindows("Łódź", &used);
    EXPECT_EQ(used, TextEncoding::Utf8Bom);
    EXPECT_EQ(decodeText(out).text, "Łódź");
}

TEST(TextCodec, GarbageNeverFails) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    auto d = decodeText(bytes);
    EXPECT_FALSE(d.text.empty());
    EXPECT_TRUE(isValidUtf8(d.text));
}
