// The JSON writer of brisko-analyse: separators, escaping, text that is not UTF-8, numbers that
// read back exactly, and null for values that do not exist.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// The writer belongs to the tool, not to the core library; it is compiled into this test.
#include "../../src/tools/analyse/jsonwriter.cpp"

using namespace brisko;

TEST(AnalyseJson, NestingSeparatorsAndValues) {
    JsonWriter w;
    w.beginObject();
    w.key("count").value(3);
    w.key("speed").value(4.662101564492834);
    w.key("none").null();
    w.key("inf").value(std::numeric_limits<double>::infinity());
    w.key("nan").value(std::nan(""));
    w.key("empty");
    w.beginArray();
    w.endArray();
    w.key("rows");
    w.beginArray();
    for (int i = 0; i < 2; ++i) {
        w.beginArray();
        w.value(-240.0);
        w.valueOrNull(i == 0, 0.1);
        w.endArray();
    }
    w.beginObject();
    w.key("ok").value(true);
    w.endObject();
    w.endArray();
    w.endObject();
    EXPECT_EQ(w.text(), R"({"count":3,"speed":4.662101564492834,"none":null,"inf":null,"nan":null,)"
                        R"("empty":[],"rows":[[-240,0.1],[-240,null],{"ok":true}]})");
}

TEST(AnalyseJson, StringsAreEscapedAndAlwaysUtf8) {
    EXPECT_EQ(JsonWriter::quote("はやぶさ"), "\"はやぶさ\"");
    EXPECT_EQ(JsonWriter::quote("a\"b\\c\n\t\r"), R"("a\"b\\c\n\t\r")");
    EXPECT_EQ(JsonWriter::quote(std::string("x\x01y\x7f", 4)), R"("x\u0001y\u007f")");
    EXPECT_EQ(JsonWriter::quote(std::string("nul\0", 4)), R"("nul\u0000")");
    // CP932 bytes, a cut sequence, an overlong form and a surrogate: each bad byte becomes U+FFFD.
    EXPECT_EQ(JsonWriter::quote("\x83\x75"), "\"\xEF\xBF\xBDu\"");
    EXPECT_EQ(JsonWriter::quote("\xE3\x81"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(JsonWriter::quote("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(JsonWriter::quote("\xED\xA0\x80").size(), 2 + 3 * 3u);
    EXPECT_EQ(JsonWriter::quote("\xF0\x9F\x8C\x8A"), "\"\xF0\x9F\x8C\x8A\"");
}

TEST(AnalyseJson, NumbersReadBackToTheSameDouble) {
    for (double v : {2116.2054, 1846.3942825556505, 0.1 + 0.2, -7.0, 1e-7, 123456789012.5, 3e20}) {
        JsonWriter w;
        w.value(v);
        EXPECT_EQ(std::stod(w.text()), v) << w.text();
    }
}
