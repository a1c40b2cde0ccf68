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

    auto u = decodeText(
        "\xEF\xBB\xBF"
        "ブリスコ");
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

// UTF-8 is told from CP932 by being well formed: overlong forms, surrogate halves (U+D800 to
// U+DFFF, at both ends) and code points past U+10FFFF are not, and neither is a cut sequence.
TEST(TextCodec, OnlyWellFormedUtf8CountsAsUtf8) {
    for (const char* good : {"\x7F", "\xC2\x80", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80",
                             "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(isValidUtf8(good)) << good;
    for (const char* bad : {"\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
                            "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xE3\x81", "\x80"})
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
}
