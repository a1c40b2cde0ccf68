// The command-line tools' option reading: options in any order, some followed by a value.
#pragma once

#include <string>

namespace brisko {

class OptionReader {
public:
    OptionReader(int argc, char** argv) : argc_(argc), argv_(argv) {}

    // Steps to the next option; false after the last.
    bool next() {
        if (++at_ >= argc_) return false;
        option_ = argv_[at_];
        return true;
    }
    const std::string& option() const { return option_; }
    bool is(const char* name) const { return option_ == name; }

    // Takes the option's value into `into`; false, with `error` set, when none follows.
    bool value(std::string& into, std::string& error) {
        if (at_ + 1 >= argc_) {
            error = option_ + " needs a value";
            return false;
        }
        into = argv_[++at_];
        return true;
    }

private:
    int argc_;
    char** argv_;
    int at_ = 0;
    std::string option_;
};

}  // namespace brisko
