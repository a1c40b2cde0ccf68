// The application settings, filled once at start-up and read by every window.
#pragma once

#include <string>

namespace brisko {

struct AppSettings {
    std::string AppPath;       // the application folder, without a trailing separator
    int Lang = 0;              // 0 Japanese, 1 English
    int EditionMode = 1;       // 1 race browser; 2 or more full program with launcher
    double FontScale = 1.0;    // 96 / logical dots per inch of the screen
    std::string UiFontName = "MS Sans Serif";
    std::string ProductTitle = "ブリスコ";

    bool english() const { return Lang == 1; }
    // Picks the text of the chosen language.
    const char* tr(const char* japanese, const char* englishText) const {
        return Lang == 1 ? englishText : japanese;
    }
};

}  // namespace brisko
