// The coach's analyses on the race screen, driven as a user drives them: the start, manoeuvre
// and leg tables in the data view in both languages, sorted by a click on a header, a row that
// takes the replay to its moment with its boat marked, the tacks and gybes of the focused boats
// on the chart with their hints, and the speed graph's manoeuvre marks and estimated wind. The
// analyses are a stand-in built here, so that what is shown does not hang on what is detected.
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QtTest>

#include "analysis/speedgraph.h"
#include "racescreen.h"
#include "ui/analysis/analysisviews.h"
#include "ui/analysis/speedgraphpainter.h"
#include "ui/display/boatpanel.h"
#include "ui/widgets/colour.h"

using namespace brisko;
using namespace brisko::test;

namespace {

// The sample of boat b nearest race second t.
int sampleNear(const TrackStore& t, int b, double sec) {
    int best = 1;
    for (int i = 2; i <= t.TrkCount(b); ++i)
        if (std::abs(t.TrkSec(b, i) - sec) < std::abs(t.TrkSec(b, best) - sec)) best = i;
    return best;
}

Manoeuvre manoeuvreOf(const TrackStore& t, int b, double sec, ManoeuvreKind kind,
                      std::optional<double> lossM) {
    const int i = sampleNear(t, b, sec);
    Manoeuvre m;
    m.time = t.TrkSec(b, i);
    m.kind = kind;
    m.lat = t.TrkLat(b, i);
    m.lon = t.TrkLon(b, i);
    m.turn = kind == ManoeuvreKind::Gybe ? -80 : 90;
    m.duration = 10;
    m.speedIn = 6, m.speedMin = 4, m.speedOut = 5.5;
    m.lossM = lossM;
    if (lossM) m.lossS = *lossM / 5;
    return m;
}

// The demo race as a coach reads it: every boat's distance to the line at the gun its number
// in metres (boat 4's not known), crossings a second after the boat's number, boat 1 tacking
// at ten minutes and gybing at twenty-five, boats 2 and 3 tacking once, and boat 1's legs.
CoachAnalysis demoAnalysis(const RaceDefinition&, const TrackStore& t, const RoundingResults&,
                           const WindStore&) {
    CoachAnalysis a;
    const size_t n = static_cast<size_t>(t.boatCount()) + 1;
    a.starts.resize(n);
    a.manoeuvres.resize(n);
    a.legs.resize(n);
    a.gaps.resize(n);
    a.startLine = StartLineAnalysis{250, 205, 3, 2, 13};
    for (int b = 1; b < static_cast<int>(n); ++b) {
        BoatStart s;
        if (b != 4) s.gunDistM = b;
        s.gunSpeed = 4;
        s.crossTime = b + 1;
        s.crossSpeed = 5;
        a.starts[b] = s;
    }
    a.manoeuvres[1] = {manoeuvreOf(t, 1, 600, ManoeuvreKind::Tack, 100),
                       manoeuvreOf(t, 1, 1500, ManoeuvreKind::Gybe, std::nullopt)};
    a.manoeuvres[2] = {manoeuvreOf(t, 2, 900, ManoeuvreKind::Tack, 9)};
    a.manoeuvres[3] = {manoeuvreOf(t, 3, 1200, ManoeuvreKind::Penalty, 10)};
    LegStats up;
    up.type = LegType::Upwind;
    up.sailedNm = 1.2, up.rhumbNm = 1, up.sog = 5, up.vmg = 4, up.vmc = 4.1;
    up.tacks = 6;
    LegStats down = up;
    down.type = LegType::Downwind;
    a.legs[1] = {std::nullopt, std::nullopt, up, down};
    return a;
}

// The same with the wind estimated from the fleet: a steady 250 degrees true.
CoachAnalysis estimatedWind(const RaceDefinition& r, const TrackStore& t, const RoundingResults& rr,
                            const WindStore& w) {
    CoachAnalysis a = demoAnalysis(r, t, rr, w);
    a.wind.source = WindSource::Estimated;
    a.wind.meanDir = 205;
    for (double sec = -60; sec <= 3000; sec += 60) a.wind.samples.push_back({sec, 250});
    return a;
}

QTableWidget* table(Screen& s) { return s.c<QTableWidget>("coachTable"); }

QStringList headers(QTableWidget* t) {
    QStringList h;
    for (int c = 0; c < t->columnCount(); ++c) h << t->horizontalHeaderItem(c)->text();
    return h;
}

QStringList columnTexts(QTableWidget* t, int c) {
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r) out << t->item(r, c)->text();
    return out;
}

void clickHeader(QTableWidget* t, int column) {
    QHeaderView* h = t->horizontalHeader();
    QTest::mouseClick(
        h->viewport(), Qt::LeftButton, Qt::NoModifier,
        QPoint(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2));
}

void clickRow(QTableWidget* t, int row) {
    QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier,
                      t->visualItemRect(t->item(row, 0)).center());
}

// The row listing `text` in column c, -1 when none does.
int rowWith(QTableWidget* t, int c, const QString& text) {
    for (int r = 0; r < t->rowCount(); ++r)
        if (t->item(r, c)->text() == text) return r;
    return -1;
}

QImage picture(Screen& s, const char* name) { return s.c<PictureWidget>(name)->picture().copy(); }

// Pixels of the graph's top strip over the direction panel, where the estimated wind is named,
// that are orange: the label's letters blend into the white around them, red leading green and
// green leading blue.
int orangeAtTheTop(const QImage& graph) {
    const QRect label(int(kDirPanelLeft) + 4, int(kGraphMargin) + 2,
                      int(kDirPanelRight - kDirPanelLeft) - 8, 20);
    int n = 0;
    for (int y = label.top(); y <= label.bottom(); ++y)
        for (int x = label.left(); x <= label.right(); ++x) {
            const QColor c = graph.pixelColor(x, y);
            n += c.red() > c.green() + 40 && c.green() > c.blue() + 40;
        }
    return n;
}

}  // namespace

class TstCoachViews : public QObject {
    Q_OBJECT
private slots:
    void theCoachTablesListTheirRowsUnderTheirHeadersInBothLanguages() {
        for (int lang : {0, 1}) {
            const bool en = lang == 1;
            Screen s(kDemo, 1, lang, kDemoRace, nullptr, demoAnalysis);
            s.c<QRadioButton>("dataViewRadio")->click();
            QCOMPARE(s.c<QRadioButton>("startTableRadio")->text(),
                     en ? QStringLiteral("Start") : QStringLiteral("スタート"));
            QCOMPARE(s.c<QRadioButton>("manoeuvreTableRadio")->text(),
                     en ? QStringLiteral("Manoeuvres") : QStringLiteral("タック・ジャイブ"));
            QCOMPARE(s.c<QRadioButton>("legStatsTableRadio")->text(),
                     en ? QStringLiteral("Legs") : QStringLiteral("レグ毎"));
            QVERIFY(table(s)->isHidden());  // the leg analysis first, as before

            s.c<QRadioButton>("startTableRadio")->click();
            QCOMPARE(s.w->options().ViewMode, ViewModeKind::Analysis);
            QVERIFY(!table(s)->isHidden());
            QVERIFY(s.c("tableArea")->isHidden());
            QCOMPARE(table(s)->rowCount(), 10);
            QCOMPARE(headers(table(s)).size(), 7);
            QCOMPARE(headers(table(s))[1], en ? QStringLiteral("To line at gun (m)")
                                              : QStringLiteral("号砲時のライン距離 (m)"));
            QCOMPARE(headers(table(s))[5],
                     en ? QStringLiteral("Crossed") : QStringLiteral("ライン通過"));
            QCOMPARE(table(s)->item(0, 0)->text(),
                     QString::fromStdString(s.race().Boats[1].BoatName));
            QCOMPARE(table(s)->item(0, 5)->text(), QStringLiteral("0:02"));
            QVERIFY(s.c<QLabel>("coachTableNote")
                        ->text()
                        .startsWith(en ? QStringLiteral("Start line 250 m")
                                       : QStringLiteral("スタートライン 250 m")));

            s.c<QRadioButton>("manoeuvreTableRadio")->click();
            QCOMPARE(table(s)->rowCount(), 4);
            QCOMPARE(headers(table(s)).size(), 10);
            QCOMPARE(headers(table(s))[8],
                     en ? QStringLiteral("Loss (m)") : QStringLiteral("損失 (m)"));
            QCOMPARE(columnTexts(table(s), 2),
                     en ? (QStringList{"tack", "gybe", "tack", "penalty turn"})
                        : (QStringList{"タック", "ジャイブ", "タック", "ペナルティターン"}));
            QCOMPARE(
                table(s)->item(0, 1)->text(),
                QString::fromStdString(raceClockText(s.session().coach().manoeuvres[1][0].time)));

            s.c<QRadioButton>("legStatsTableRadio")->click();
            QCOMPARE(table(s)->rowCount(), 2);
            QCOMPARE(headers(table(s))[1], en ? QStringLiteral("Leg") : QStringLiteral("レグ"));
            QCOMPARE(columnTexts(table(s), 1), (QStringList{"2 MK1", "3 MK2"}));
            QCOMPARE(table(s)->item(1, 2)->text(),
                     en ? QStringLiteral("downwind") : QStringLiteral("下り"));

            // Back to a leg analysis table: its picture again.
            s.c<QRadioButton>("timeTableRadio")->click();
            QVERIFY(table(s)->isHidden());
            QVERIFY(!s.c("tableArea")->isHidden());
        }
    }

    void aHeaderClickSortsNumbersAsNumbersWithEmptyCellsLast() {
        Screen s(kDemo, 1, 1, kDemoRace, nullptr, demoAnalysis);
        s.c<QRadioButton>("dataViewRadio")->click();
        s.c<QRadioButton>("startTableRadio")->click();
        QTableWidget* t = table(s);
        QHeaderView* h = t->horizontalHeader();
        clickHeader(t, 1);
        QCOMPARE(h->sortIndicatorSection(), 1);
        QCOMPARE(columnTexts(t, 1),
                 (QStringList{"1.0", "2.0", "3.0", "5.0", "6.0", "7.0", "8.0", "9.0", "10.0", ""}));
        clickHeader(t, 1);  // the other way round: the empty cell stays last
        QCOMPARE(h->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(columnTexts(t, 1),
                 (QStringList{"10.0", "9.0", "8.0", "7.0", "6.0", "5.0", "3.0", "2.0", "1.0", ""}));
        // The boat names follow their rows.
        QCOMPARE(t->item(0, 0)->text(), QString::fromStdString(s.race().Boats[10].BoatName));
        QCOMPARE(t->item(9, 0)->text(), QString::fromStdString(s.race().Boats[4].BoatName));

        // Losses: 9 before 10 before 100, the gybe without a loss last.
        s.c<QRadioButton>("manoeuvreTableRadio")->click();
        QCOMPARE(h->sortIndicatorSection(), -1);  // another table starts in its own order
        clickHeader(t, 8);
        QCOMPARE(columnTexts(t, 8), (QStringList{"9.0", "10.0", "100.0", ""}));
        // A re-drawn table (a boat ticked) keeps the order chosen.
        s.w->findChild<BoatPanel*>()->showAll();
        QCoreApplication::processEvents();
        QCOMPARE(columnTexts(t, 8), (QStringList{"9.0", "10.0", "100.0", ""}));
    }

    void aRowTakesTheReplayToItsMomentWithItsBoatMarked() {
        Screen s(kDemo, 1, 1, kDemoRace, nullptr, demoAnalysis);
        BoatPanel& panel = *s.c<BoatPanel>("BoatPanel");
        QTest::mouseClick(panel.markBox(4), Qt::LeftButton);  // boat 5 marked by the user
        QCoreApplication::processEvents();
        QVERIFY(s.w->options().BoatMarked[5]);
        s.c<QRadioButton>("dataViewRadio")->click();
        s.c<QRadioButton>("manoeuvreTableRadio")->click();
        QTableWidget* t = table(s);
        const Manoeuvre& tack2 = s.session().coach().manoeuvres[2][0];
        const int row = rowWith(t, 0, QString::fromStdString(s.race().Boats[2].BoatName));
        QVERIFY(row >= 0);
        clickRow(t, row);
        QCOMPARE(s.clock().RaceTime, tack2.time);
        QCOMPARE(s.bar()->cursorTime(), tack2.time);
        QVERIFY(s.c<QRadioButton>("stopRadio")->isChecked());
        for (int k = 1; k <= 10; ++k) QCOMPARE(s.w->options().BoatMarked[k], k == 2);
        QVERIFY(s.w->options().focused(2));
        QVERIFY(panel.marked(2) && !panel.marked(5));
        // The chart shows that moment, and stays there.
        s.c<QRadioButton>("trackViewRadio")->click();
        QCOMPARE(s.clock().RaceTime, tack2.time);
        QVERIFY(!s.c<QTimer>("replayTimer")->isActive());

        // A start row: the crossing; a leg row goes nowhere.
        s.c<QRadioButton>("dataViewRadio")->click();
        s.c<QRadioButton>("startTableRadio")->click();
        clickRow(t, 6);
        QCOMPARE(s.clock().RaceTime, 8.0);  // boat 7 crossed a second after its number
        QVERIFY(s.w->options().BoatMarked[7]);
        // From the keyboard: down a row, then Enter.
        t->setFocus();
        QTest::keyClick(t, Qt::Key_Down);
        QCOMPARE(s.clock().RaceTime, 8.0);  // moving along the rows does not jump
        QTest::keyClick(t, Qt::Key_Return);
        QCOMPARE(s.clock().RaceTime, 9.0);
        QVERIFY(s.w->options().BoatMarked[8] && !s.w->options().BoatMarked[7]);
        s.c<QRadioButton>("legStatsTableRadio")->click();
        clickRow(t, 1);
        QCOMPARE(s.clock().RaceTime, 9.0);
        QVERIFY(s.w->options().BoatMarked[8]);
    }

    void theChartMarksTheFocusedBoatsManoeuvresWhenAsked() {
        Screen s(kDemo, 1, 1, kDemoRace, nullptr, demoAnalysis);
        QVERIFY(s.showOnScreen());
        auto* box = s.c<QCheckBox>("manoeuvresCheck");
        QCOMPARE(box->text(), QStringLiteral("Manoeuvres"));
        QVERIFY(!box->isChecked());
        s.jump(0);
        s.stop();
        s.c<QCheckBox>("wakeCheck")->click();  // no whole tracks under the symbols
        BoatPanel& panel = *s.c<BoatPanel>("BoatPanel");
        QTest::mouseClick(panel.markBox(0), Qt::LeftButton);  // boat 1 focused
        QCoreApplication::processEvents();
        const std::vector<ManoeuvreMark>& marks = s.session().manoeuvreMarks();
        QVERIFY(marks.empty());
        const QImage off = Screen::rendered(s.map());

        box->click();
        QVERIFY(s.w->options().Manoeuvres);
        QCOMPARE(marks.size(), size_t(2));  // boat 1's tack and gybe only
        const QImage on = Screen::rendered(s.map());
        const QColor boat1 = toQColor(s.w->options().BoatColour[1]);
        const auto& tracked = s.session().coach().manoeuvres[1];
        for (size_t i = 0; i < 2; ++i) {
            const ManoeuvreMark& m = marks[i];
            const ScreenPoint want = s.w->view().toScreen(tracked[i].lat, tracked[i].lon);
            QCOMPARE(m.x, want.x);
            QCOMPARE(m.y, want.y);
            QCOMPARE(m.kind, tracked[i].kind);
            const QPoint c(int(m.x), int(m.y));
            QCOMPARE(on.pixelColor(c), boat1);
            QVERIFY(off.pixelColor(c) != boat1);
        }

        // The mouse over the tack tells its kind and loss.
        const ManoeuvreMark& tack = marks[0];
        QTest::mouseMove(s.map(), QPoint(qRound(tack.x), qRound(tack.y)));
        auto* hint = s.c<QLabel>("hintBox");
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(), QString::fromStdString(s.race().Boats[1].BoatName) +
                                   QStringLiteral(": tack ") +
                                   QString::fromStdString(raceClockText(tracked[0].time)) +
                                   QStringLiteral(", loss 100.0 m (20.0 s)"));

        // Another boat focused instead: its symbols; the box off: none.
        QTest::mouseClick(panel.markBox(0), Qt::LeftButton);
        QTest::mouseClick(panel.markBox(2), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(marks.size(), size_t(1));
        QCOMPARE(marks[0].kind, ManoeuvreKind::Penalty);
        box->click();
        QVERIFY(marks.empty());
        QCOMPARE(Screen::rendered(s.map()).pixelColor(QPoint(int(tack.x), int(tack.y))),
                 off.pixelColor(QPoint(int(tack.x), int(tack.y))));
    }

    void theSpeedGraphMarksTheShownBoatsManoeuvres() {
        Screen s(kDemo, 1, 1, kDemoRace, nullptr, demoAnalysis);
        s.c<QRadioButton>("speedGraphRadio")->click();
        const SpeedGraphScale& g = s.w->analysis().graphScale();
        const double x = kSpeedPanelLeft + kManoeuvreTickSize / 2 + 1;
        auto colourAt = [&](const QImage& img, double t) {
            return img.pixelColor(int(x), int(g.yForTime(t)));
        };
        const double tack1 = s.session().coach().manoeuvres[1][0].time;
        const double tack2 = s.session().coach().manoeuvres[2][0].time;
        QImage graph = picture(s, "speedGraphPicture");
        QCOMPARE(colourAt(graph, tack1), toQColor(s.w->options().BoatColour[1]));
        QCOMPARE(colourAt(graph, tack2), toQColor(s.w->options().BoatColour[2]));
        QCOMPARE(graph.pixelColor(int(kDirPanelLeft + kManoeuvreTickSize / 2 + 1),
                                  int(g.yForTime(tack2))),
                 toQColor(s.w->options().BoatColour[2]));
        QVERIFY(colourAt(graph, 300) != toQColor(s.w->options().BoatColour[1]));
        // Boat 1 unticked: its marks go, boat 2's stay.
        QTest::mouseClick(s.c<BoatPanel>("BoatPanel")->nameBox(0), Qt::LeftButton);
        QCoreApplication::processEvents();
        graph = picture(s, "speedGraphPicture");
        QVERIFY(colourAt(graph, tack1) != toQColor(s.w->options().BoatColour[1]));
        QCOMPARE(colourAt(graph, tack2), toQColor(s.w->options().BoatColour[2]));
    }

    void anEstimatedWindIsDrawnDashedInItsOwnColourAndNamed() {
        int named = 0;
        for (int lang : {0, 1}) {
            Screen s(kDemo, 1, lang, kDemoRace, nullptr, estimatedWind);
            s.c<QRadioButton>("speedGraphRadio")->click();
            const QImage graph = picture(s, "speedGraphPicture");
            const SpeedGraphScale& g = s.w->analysis().graphScale();
            // 250 true is 257 magnetic with the demo's 7 degrees west.
            const int x = qRound(g.xForDirection(257)) - 1;
            int coloured = 0, gaps = 0, changes = 0;
            bool last = false;
            for (int y = qRound(g.yForTime(2400)); y < qRound(g.yForTime(600)); ++y) {
                const bool c = graph.pixelColor(x, y) == kEstimatedWindColour;
                coloured += c;
                gaps += !c;
                if (y > qRound(g.yForTime(2400)) && c != last) ++changes;
                last = c;
            }
            const QString counts = QStringLiteral("%1 coloured, %2 gaps, %3 changes")
                                       .arg(coloured)
                                       .arg(gaps)
                                       .arg(changes);
            QVERIFY2(coloured > gaps && gaps > 10 && changes > 20, qPrintable(counts));
            named = lang == 0 ? orangeAtTheTop(graph) : std::min(named, orangeAtTheTop(graph));
        }
        // Measured wind: no such line, and no name at the top of the panel.
        Screen s(kDemo, 1, 1, kDemoRace, nullptr, demoAnalysis);
        s.c<QRadioButton>("speedGraphRadio")->click();
        const QImage graph = picture(s, "speedGraphPicture");
        QVERIFY2(named > orangeAtTheTop(graph) + 20,
                 qPrintable(QStringLiteral("%1 against %2").arg(named).arg(orangeAtTheTop(graph))));
        int estimated = 0;
        for (int y = 0; y < graph.height(); ++y)
            for (int x = 0; x < graph.width(); ++x)
                estimated += graph.pixelColor(x, y) == kEstimatedWindColour;
        QCOMPARE(estimated, 0);
    }
};

QTEST_MAIN(TstCoachViews)
#include "tst_coachviews.moc"
