// The race screen's display controls: the map's orientation (wind up or north up), the display
// check boxes, the six sea colour swatches with the size label beside them, and the zoom of
// auto trace shown while it is on. Made under the side panel; the window reads the boxes into
// its display options when the signals tell it of a change.
#pragma once

#include <QObject>
#include <array>

#include "app/appsettings.h"
#include "display/displayoptions.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

namespace brisko {

// The display check boxes, in the order the keyboard goes through them.
enum class DisplayCheck {
    TimeMarks,
    RangeBearing,  // measuring on the chart
    Hints,         // "HINT"
    CompareLines,  // cross-wind lines comparing the boats' heights (wind up only)
    AutoTrace,
    Wake,       // whole tracks
    Coastline,  // "Map"
    LayLines,
    BoatNames,   // every boat's name in auto trace
    Enlarge,     // boat symbols at least the enlarged size
    Manoeuvres,  // the focused boats' tacks, gybes and penalty turns
};

class DisplayControls : public QObject {
    Q_OBJECT
public:
    DisplayControls(QWidget* sidePanel, const AppSettings& settings);

    bool isChecked(DisplayCheck box) const;
    // Ticks or unticks a box as the screen does it (a click is the user's): checkClicked is not
    // sent, rangeBearingToggled is.
    void setChecked(DisplayCheck box, bool on);
    // Enables a box while its function applies (the chart's tools wait in auto trace).
    void setAvailable(DisplayCheck box, bool on);

    bool windUp() const;
    // The orientation of the race shown; comparison lines exist only wind up.
    void showOrientation(bool northUp);

    // The zoom of auto trace, in percent of the fitted view; back at its whole; shown.
    int traceZoom() const;
    void resetTraceZoom();
    void showTraceZoom(bool shown);

    // The map's sea behind the size label and the zoom panel, their ink, and whether the boats
    // are drawn enlarged (the label in red) or at their real size.
    void showSea(Rgb sea, Rgb ink, bool enlarged);

signals:
    void northUpChosen();
    void windUpChosen();
    // The user clicked a box (measuring tells rangeBearingToggled instead).
    void checkClicked(DisplayCheck box, bool on);
    // Measuring on the chart began or ended, by a click or by the screen.
    void rangeBearingToggled(bool on);
    void seaSwatchChosen(int swatch);  // 1-based, as kSeaSwatches counts from the first
    void traceZoomChosen(int percent);

private:
    QCheckBox* box(DisplayCheck which) const { return checks_[static_cast<int>(which)]; }

    const AppSettings& settings_;
    QGroupBox* orientationBox_ = nullptr;
    QRadioButton* windUpRadio_ = nullptr;
    QRadioButton* northUpRadio_ = nullptr;
    std::array<QCheckBox*, 11> checks_{};        // in the order of DisplayCheck
    std::array<QPushButton*, 6> seaSwatches_{};  // the sea colours of kSeaSwatches, in order
    QLabel* sizeLabel_ = nullptr;                // "Real Size" or "Enlarged"
    QWidget* traceZoomPanel_ = nullptr;          // shown while auto trace is on
    QLabel* traceZoomLabel_ = nullptr;           // "ZOOM"
    QSlider* traceZoomSlider_ = nullptr;
};

}  // namespace brisko
