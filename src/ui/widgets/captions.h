// What every window shares for its texts: caption tables in both languages applied to controls
// found by object name, the UI font of English mode, and font sizes scaled by the font scale.
#pragma once

#include <QString>
#include <initializer_list>
#include <span>

#include "app/appsettings.h"

class QWidget;

namespace brisko {

struct ControlCaption {
    const char* control;   // object name
    const char* japanese;  // designed caption
    const char* english;   // caption in English mode
};

// Sets the caption of every control of the table found under `root` (buttons, labels, group
// boxes) in the chosen language; controls the window does not have are passed over.
void applyCaptions(QWidget* root, std::span<const ControlCaption> table,
                   const AppSettings& settings);
// Sets the caption of each of `controls` from the table's entry for its object name; a control
// the table does not name keeps its text. For a piece of a window that captions its own controls.
void applyCaptions(std::initializer_list<QWidget*> controls, std::span<const ControlCaption> table,
                   const AppSettings& settings);

// The font family that stands for the settings' UI font name ("MS Sans Serif") on this desktop:
// the name itself when it is installed, else a sans-serif family that is. The settings keep
// the name as written.
QString uiFontFamily(const AppSettings& settings);
// In English mode every control under `root` takes the UI font family, keeping its size.
void applyUiFont(QWidget* root, const AppSettings& settings);

// Point size scaled by the font scale of the settings, never below 1.
double scaledPointSize(double base, const AppSettings& settings);

}  // namespace brisko
