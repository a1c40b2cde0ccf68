// A small streaming JSON writer for brisko-analyse: objects, arrays, strings escaped as UTF-8,
// numbers as the shortest text that reads back to the same double, and null.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brisko {

class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The key of the next value inside an object.
    JsonWriter& key(std::string_view k);

    void value(double v);  // null when not finite
    void value(int v);
    void value(std::string_view s);
    void value(const char* s) { value(std::string_view(s)); }
    void value(const std::string& s) { value(std::string_view(s)); }
    void value(bool b);
    void null();
    // A value that may not exist: null when `present` is false.
    void valueOrNull(bool present, double v);

    const std::string& text() const { return out_; }

    // The JSON string literal for `s`, quotes included; bytes that are not UTF-8 become U+FFFD.
    static std::string quote(std::string_view s);

private:
    void beforeValue();
    std::string out_;
    std::vector<bool> first_;  // per open container: no element written yet
    bool afterKey_ = false;
};

}  // namespace brisko
