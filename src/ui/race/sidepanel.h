// The race screen's side panel: where each control sits, found by its object name, and the order
// the keyboard takes through them. The screen's pieces create their controls under the panel and
// wire them; the panel only places them, in the designed rows from the replay buttons at the top
// to the exit button at the bottom.
#pragma once

class QWidget;

namespace brisko {

// Lays out the controls under `panel` in their rows and sets the keyboard's order through them.
// Every control named here must have been created under the panel before.
void arrangeSidePanel(QWidget* panel);

}  // namespace brisko
