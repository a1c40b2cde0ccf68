// Text decoding and encoding for the system's text files (race control files, wind files,
// Ver.txt): Windows users write them in code page 932, newer tools in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace brisko {

enum class TextEncoding { Utf8, Utf8Bom, Cp932 };

struct DecodedText {
    std::string text;  // UTF-8
    TextEncoding encoding = TextEncoding::Utf8;
};

// Strips a UTF-8 byte order mark, accepts valid UTF-8 as it is, and otherwise decodes code page
// 932; bytes that CP932 cannot map either become U+FFFD, so decoding never fails.
DecodedText decodeText(std::string_view bytes);

bool isValidUtf8(std::string_view bytes);

// Converts UTF-8 text to code page 932. Returns false (and leaves out unchanged) when some
// character has no CP932 form.
bool utf8ToCp932(std::string_view utf8, std::string& out);

// What a Windows user of the same files can read: CP932 when every character fits, otherwise
// UTF-8 with a byte order mark, so that nothing typed is lost.
std::string encodeForWindows(std::string_view utf8, TextEncoding* used = nullptr);

}  // namespace brisko
