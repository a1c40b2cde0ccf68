// The boat panel: one row per boat with the mark box, the name box in the boat's colour, the
// speed, the true wind angle and a speed bar beside them. Ticking and unticking keeps at least
// one boat, and every marked boat, shown. The panel keeps which boats are shown and marked; it
// tells the window through its signals, and the window reads them back.
#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "app/appsettings.h"
#include "display/displayoptions.h"
#include "race/racedefinition.h"

class QCheckBox;
class QLabel;

namespace brisko {

class SpeedBarPicture;

class BoatPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowPitch = 14;  // pixels at font scale 1
    static constexpr int kBarClearWidth = 150;
    static constexpr int kBarClearHeight = 13;
    static constexpr int kBarHeight = 9;
    static constexpr int kBarLeft = 2;

    explicit BoatPanel(QWidget* parent = nullptr);
    // A boat panel in its scroll area "boatScroll", created under `sidePanel`.
    static BoatPanel* inScrollArea(QWidget* sidePanel);

    // Builds the rows of boats 1..BoatCount with the colours and the shown and marked boats of
    // `start` (read here, not kept). Row 0 (boat 1) is the designed row and is always there;
    // rows 1.. are created here.
    void buildRows(const RaceDefinition& race, const DisplayOptions& start,
                   const AppSettings& settings);
    // Removes the rows of boats 2..; the designed row stays, emptied.
    void clearRows();
    bool rowsBuilt() const { return built_; }
    int rowCount() const { return built_ ? static_cast<int>(rows_.size()) : 0; }

    // Controls of the row of boat i + 1 (i is the 0-based row index).
    QCheckBox* nameBox(int i) const;
    QCheckBox* markBox(int i) const;
    QLabel* speedLabel(int i) const;
    QLabel* twaLabel(int i) const;
    QWidget* speedBars() const;
    // Whether boat k (1-based) is shown (its name box ticked) and marked; false for a boat
    // without a row.
    bool shown(int boat) const;
    bool marked(int boat) const;

    // After a frame: the texts and bar of boat k (1-based). A bar length of 0 clears the row.
    void setSpeed(int boat, const QString& speedText);
    void setTwa(int boat, const QString& twaText);
    void setBar(int boat, double length);
    double barLength(int boat) const;
    QColor barColour(int boat) const;

    // The list rules on a name box release: with the left button the boat's tick is taken as
    // the user left it, with any other button only that boat stays shown; then if no boat is
    // shown boat 1 is, and every marked boat is shown again.
    void nameReleased(int boat, Qt::MouseButton button);
    // A mark box clicked: every marked boat is shown (shownBoatsChanged when that showed one).
    void markToggled(int boat, bool marked);
    // Every boat shown (the "all boats" label).
    void showAll();
    // Boat k (1-based) the one marked boat, and shown: a moment chosen for it in a table.
    void markOnly(int boat);

signals:
    void shownBoatsChanged();    // redraw what depends on the shown boats
    void markedBoatsChanged();   // the focus rings and names of the next frame
    void boatHovered(int boat);  // 1-based; the focus ring follows the mouse

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QCheckBox* markBox = nullptr;
        QCheckBox* nameBox = nullptr;
        QLabel* speed = nullptr;
        QLabel* twa = nullptr;
        double bar = 0;
        QColor colour;
    };
    Row makeRow(int index);
    void placeRow(int index);
    void syncChecks();
    int boatOf(QObject* o) const;

    std::vector<Row> rows_;
    SpeedBarPicture* bars_ = nullptr;
    QLabel* allLabel_ = nullptr;
    std::array<QLabel*, 3> headings_{};  // speed, wind angle and bar columns
    bool built_ = false;
    int pitch_ = kRowPitch;
    int headerHeight_ = 16;
    double fontScale_ = 1.0;
};

}  // namespace brisko
