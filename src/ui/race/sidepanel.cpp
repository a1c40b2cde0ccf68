// The side panel's arrangement; see sidepanel.h.
#include "ui/race/sidepanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>
#include <initializer_list>

namespace brisko {

namespace {

// The control under the panel named `name`; a missing one is told and left out.
QWidget* control(QWidget* panel, const char* name) {
    auto* w = panel->findChild<QWidget*>(QString::fromLatin1(name));
    if (!w) qWarning("side panel: no control named %s", name);
    return w;
}

// A row of controls left to right; `stretched` takes the room the others leave.
QHBoxLayout* row(QWidget* panel, std::initializer_list<const char*> names,
                 const char* stretched = nullptr) {
    auto* r = new QHBoxLayout;
    for (const char* name : names)
        if (QWidget* w = control(panel, name))
            r->addWidget(w, stretched && qstrcmp(name, stretched) == 0 ? 1 : 0);
    return r;
}

// Controls in rows of `columns`, in the order given.
QGridLayout* grid(QWidget* panel, std::initializer_list<const char*> names, int columns) {
    auto* g = new QGridLayout;
    int i = 0;
    for (const char* name : names) {
        if (QWidget* w = control(panel, name)) g->addWidget(w, i / columns, i % columns);
        ++i;
    }
    return g;
}

// The keyboard's order: the replay, the view and display options in the order of their design
// (not of their rows), the wind, the boats, then the race file and the buttons.
constexpr const char* kTabOrder[] = {
    "forwardRadio",       "stopRadio",         "backwardRadio",       "stepForwardButton",
    "stepBackwardButton", "replaySpeedSlider", "windUpRadio",         "northUpRadio",
    "trackViewRadio",     "speedGraphRadio",   "dataViewRadio",       "timeMarksCheck",
    "rangeBearingCheck",  "hintsCheck",        "compareLinesCheck",   "autoTraceCheck",
    "wakeCheck",          "coastlineCheck",    "layLinesCheck",       "boatNamesCheck",
    "enlargeBoatsCheck",  "manoeuvresCheck",   "seaSwatch1",          "seaSwatch2",
    "seaSwatch3",         "seaSwatch4",        "seaSwatch5",          "seaSwatch6",
    "meanWindEdit",       "traceZoomSlider",   "boatScroll",          "raceFileCombo",
    "showRaceButton",     "startTimeEdit",     "finishTimeEdit",      "confirmTimesButton",
    "setMarkButton",      "setLineButton",     "setCourseButton",     "screenPictureButton",
    "referenceButton",    "windEntryButton",   "makeCoastlineButton", "helpButton",
    "exitButton",
};

// Puts `w` and the controls inside it (the boat list's rows in its scroll area) right after
// `after` in the keyboard's order; returns the last of them.
QWidget* followInTabOrder(QWidget* after, QWidget* w) {
    QList<QWidget*> inside;
    for (QWidget* c = w->nextInFocusChain(); c && c != w; c = c->nextInFocusChain())
        if (w->isAncestorOf(c)) inside << c;
    QWidget* last = w;
    if (after) QWidget::setTabOrder(after, w);
    for (QWidget* c : inside) {
        QWidget::setTabOrder(last, c);
        last = c;
    }
    return last;
}

}  // namespace

void arrangeSidePanel(QWidget* panel) {
    auto* box = new QVBoxLayout(panel);
    box->setContentsMargins(2, 0, 2, 0);
    box->setSpacing(3);

    box->addLayout(row(panel, {"forwardRadio", "stopRadio", "backwardRadio", "stepForwardButton",
                               "stepBackwardButton"}));
    box->addLayout(row(panel, {"replaySpeedLabel", "replaySpeedSlider"}, "replaySpeedSlider"));
    box->addLayout(row(panel, {"orientationBox", "viewBox"}));

    // The display check boxes four to a row, in the order they appear.
    QGridLayout* checks =
        grid(panel,
             {"boatNamesCheck", "compareLinesCheck", "autoTraceCheck", "coastlineCheck",
              "wakeCheck", "timeMarksCheck", "enlargeBoatsCheck", "rangeBearingCheck",
              "layLinesCheck", "hintsCheck", "manoeuvresCheck"},
             4);
    checks->setHorizontalSpacing(4);
    checks->setVerticalSpacing(0);
    box->addLayout(checks);

    QHBoxLayout* swatches = row(panel,
                                {"seaSwatch1", "seaSwatch2", "seaSwatch3", "seaSwatch4",
                                 "seaSwatch5", "seaSwatch6", "sizeLabel"},
                                "sizeLabel");
    swatches->setSpacing(2);
    box->addLayout(swatches);

    // The overview beside the wind dial; under them the wind boxes and the zoom of auto trace.
    QHBoxLayout* pictures = row(panel, {"overviewPicture", "windPicture"});
    pictures->addStretch(1);
    box->addLayout(pictures);
    box->addLayout(row(panel, {"meanWindLabel", "meanWindEdit", "windNowPanel", "traceZoomPanel"},
                       "traceZoomPanel"));

    if (QWidget* boats = control(panel, "boatScroll")) box->addWidget(boats, 1);

    box->addLayout(
        row(panel, {"raceFileLabel", "raceFileCombo", "showRaceButton"}, "raceFileCombo"));
    auto* times = new QGridLayout;
    times->setVerticalSpacing(1);
    times->addWidget(control(panel, "startTimeLabel"), 0, 0);
    times->addWidget(control(panel, "startTimeEdit"), 0, 1);
    times->addWidget(control(panel, "finishTimeLabel"), 1, 0);
    times->addWidget(control(panel, "finishTimeEdit"), 1, 1);
    times->addWidget(control(panel, "confirmTimesButton"), 0, 2, 2, 1);
    box->addLayout(times);

    QGridLayout* buttons =
        grid(panel,
             {"setMarkButton", "setLineButton", "setCourseButton", "screenPictureButton",
              "referenceButton", "windEntryButton", "makeCoastlineButton"},
             3);
    buttons->setSpacing(2);
    box->addLayout(buttons);
    box->addLayout(row(panel, {"helpButton", "infoLabel", "exitButton"}, "infoLabel"));

    QWidget* previous = nullptr;
    for (const char* name : kTabOrder)
        if (QWidget* w = control(panel, name)) previous = followInTabOrder(previous, w);
}

}  // namespace brisko
