// The map mouse on the race screen, driven as a user does: zoom clicks, drag and wheel, range
// and bearing, marks, lines and the course set on the chart and written to the race file with
// its ".bak" kept once, the overview's clicks and the hints that the HINT box turns off.
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include "interact/mapmouse.h"
#include "racescreen.h"
#include "ui/interact/racehints.h"
#include "ui/widgets/picturewidget.h"
#include "util/numbers.h"

using namespace brisko;
using namespace brisko::test;

namespace {

// A full-mode screen on a copy of the demo that the test may change.
struct EditableDemo {
    QTemporaryDir tmp;
    QString app;
    QString raceFile;
    QByteArray original;
    std::unique_ptr<Screen> s;
    explicit EditableDemo(int lang = 1, const QByteArray& from = {}, const QByteArray& to = {}) {
        app = tmp.path() + QStringLiteral("/app");
        if (!copyTree(kDemo, app)) qFatal("no copy of the demo");
        raceFile = app + QStringLiteral("/RaceAdmin/enoshima_0607.txt");
        if (!from.isEmpty()) writeAll(raceFile, readAll(raceFile).replace(from, to));
        original = readAll(raceFile);
        s = std::make_unique<Screen>(app, 2, lang);
        s->stop();
    }
    QByteArray onDisk() const { return readAll(raceFile); }
    QString bak() const { return raceFile + QStringLiteral(".bak"); }
    QPoint pixelOf(double lat, double lon) const {
        const ScreenPoint p = s->w->view().toScreen(lat, lon);
        return QPoint(qRound(p.x), qRound(p.y));
    }
    void click(QPoint at, Qt::MouseButton b = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseClick(s->map(), b, mods, at);
    }
};

}  // namespace

class TstMapMouse : public QObject {
    Q_OBJECT
private slots:
    void marksLinesAndCourseAreSetOnTheChartAndWrittenAtOnce() {
        EditableDemo d;
        Screen& s = *d.s;
        QVERIFY(s.c("setMarkButton")->isEnabled());
        QVERIFY(!QFile::exists(d.bak()));

        s.c<QPushButton>("setMarkButton")->click();
        QCOMPARE(s.w->mapMouse().MarkMode, true);
        QCOMPARE(s.c("setMarkButton")->palette().color(QPalette::Button), QColor(255, 255, 0));
        const QPoint at(300, 250);
        const GeoPoint where = s.w->view().toLatLon(at.x(), at.y());
        d.click(at);
        QCOMPARE(s.race().MarkCount, 3);
        QVERIFY(!s.w->mapMouse().MarkMode);  // one mark a press
        QVERIFY(std::abs(s.race().Marks[3].MarkLat - where.lat) < 1e-3);
        QVERIFY(d.onDisk().contains(
            "MK, " + QByteArray::fromStdString(shortestDecimal(s.race().Marks[3].MarkLat))));
        QCOMPARE(readAll(d.bak()), d.original);  // the race file as it was, beside it

        // A line: two clicks, the rubber line following the cursor between them.
        s.c<QPushButton>("setLineButton")->click();
        d.click(QPoint(100, 100));
        QVERIFY(s.w->mapMouse().RubberLineShown);
        d.click(QPoint(160, 120));
        QCOMPARE(s.race().LineCount, 3);
        QVERIFY(!s.w->mapMouse().RubberLineShown);
        QCOMPARE(d.onDisk().count("\r\nLN, "), 3);

        // Course mode: the panel lists the course, a click on the new mark appends MK3.
        s.c<QPushButton>("setCourseButton")->click();
        QWidget* panel = s.c("coursePanel");
        auto* list = s.c<QListWidget>("courseList");
        QVERIFY(panel->isVisible());
        QCOMPARE(list->count(), 5);
        QCOMPARE(list->item(0)->text(), QStringLiteral(" 1  L1"));
        const QPoint mark3 = d.pixelOf(s.race().Marks[3].MarkLat, s.race().Marks[3].MarkLon);
        QTest::mouseMove(s.map(), mark3 + QPoint(1, 0));
        QCOMPARE(s.c<QLabel>("hintBox")->text(), QStringLiteral("MK3"));
        // The name just above the pointer, across it.
        const QRect name = s.c("hintBox")->geometry();
        const QPoint pointer = s.map()->mapToGlobal(mark3 + QPoint(1, 0));
        QVERIFY(name.left() < pointer.x() && pointer.x() < name.right());
        QVERIFY(name.bottom() < pointer.y() && name.bottom() > pointer.y() - 10);
        d.click(mark3);
        QCOMPARE(s.race().CourseCount, 6);
        QCOMPARE(s.race().Course[6], std::string("MK3"));
        QCOMPARE(list->count(), 6);
        QVERIFY(d.onDisk().contains("CRS, L1, MK1, MK2, MK1, L2, MK3"));
        d.click(QPoint(5, 795));  // nothing there: nothing changes
        QCOMPARE(s.race().CourseCount, 6);

        QTest::mouseClick(s.c<QPushButton>("clearCourseButton"), Qt::LeftButton);
        QCOMPARE(s.race().CourseCount, 0);
        QCOMPARE(panel->height(), 70);  // an empty course
        QCOMPARE(list->count(), 0);
        QVERIFY(!d.onDisk().contains("CRS"));

        // Deleting (right click in mark mode) renumbers the marks; the course goes with it.
        s.c<QPushButton>("setCourseButton")->click();
        QVERIFY(!panel->isVisible());
        s.c<QPushButton>("setCourseButton")->click();
        d.click(d.pixelOf(s.race().Marks[1].MarkLat, s.race().Marks[1].MarkLon));
        QCOMPARE(s.race().CourseCount, 1);
        s.c<QPushButton>("setMarkButton")->click();
        QVERIFY(!panel->isVisible());
        const double oldMark2 = s.race().Marks[2].MarkLat;
        d.click(d.pixelOf(s.race().Marks[1].MarkLat, s.race().Marks[1].MarkLon), Qt::RightButton);
        QCOMPARE(s.race().MarkCount, 2);
        QCOMPARE(s.race().Marks[1].MarkLat, oldMark2);
        QCOMPARE(s.race().CourseCount, 0);
        QVERIFY(s.w->mapMouse().MarkMode);  // deleting keeps the mode
        QCOMPARE(d.onDisk().count("\r\nMK, "), 2);
        QCOMPARE(readAll(d.bak()), d.original);  // kept once, before the first change only
        QVERIFY(s.sink.messages.empty());
    }

    void aFullListRefusesWithAShortMessage() {
        EditableDemo d;
        Screen& s = *d.s;
        while (s.race().MarkCount < kMaxMarks) {
            s.c<QPushButton>("setMarkButton")->click();
            d.click(QPoint(200 + s.race().MarkCount * 5, 300));
        }
        const QByteArray full = d.onDisk();
        s.c<QPushButton>("setMarkButton")->click();
        d.click(QPoint(400, 400));
        QCOMPARE(s.race().MarkCount, kMaxMarks);
        QCOMPARE(d.onDisk(), full);
        QCOMPARE(s.sink.messages.size(), size_t(1));
        QCOMPARE(s.sink.messages.front().text, std::string("No more than 30 marks"));
    }

    void clicksZoomMoveAndDrag() {
        EditableDemo d;
        Screen& s = *d.s;
        const MapView& v = s.w->view();
        const double z0 = v.ZoomHome;
        d.click(QPoint(500, 300));
        QCOMPARE(v.ZoomHome, z0 * 1.4);
        d.click(QPoint(500, 300), Qt::RightButton);
        QVERIFY(std::abs(v.ZoomHome - z0) < 1e-9 || v.ZoomHome == 1.0);
        // Shift + left moves the area without zooming.
        const double z1 = v.ZoomHome;
        const GeoPoint target = v.toLatLon(200, 600);
        d.click(QPoint(200, 600), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(v.ZoomHome, z1);
        QVERIFY(std::abs(v.CenterLat - target.lat) < 1e-9);
        // A drag pans and does not zoom.
        const GeoPoint grabbed = v.toLatLon(300, 300);
        QTest::mousePress(s.map(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
        QTest::mouseMove(s.map(), QPoint(330, 310));
        QTest::mouseMove(s.map(), QPoint(360, 340));
        QTest::mouseRelease(s.map(), Qt::LeftButton, Qt::NoModifier, QPoint(360, 340));
        QCOMPARE(v.ZoomHome, z1);
        const ScreenPoint now = v.toScreen(grabbed);
        QVERIFY2(std::abs(now.x - 360) < 1 && std::abs(now.y - 340) < 1,
                 qPrintable(QStringLiteral("%1 %2").arg(now.x).arg(now.y)));
        // The wheel zooms by the same step around the cursor.
        const GeoPoint under = v.toLatLon(600, 200);
        QWheelEvent wheel(QPointF(600, 200), s.map()->mapToGlobal(QPointF(600, 200)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(s.map(), &wheel);
        QCOMPARE(v.ZoomHome, z1 * 1.4);
        const ScreenPoint stays = v.toScreen(under);
        QVERIFY(std::abs(stays.x - 600) < 1 && std::abs(stays.y - 200) < 1);
        // Shift + right: the whole area at zoom 1.
        d.click(QPoint(10, 10), Qt::RightButton, Qt::ShiftModifier);
        QCOMPARE(v.ZoomHome, 1.0);
        QCOMPARE(v.CenterLat, v.HomeLat);
    }

    void rangeAndBearingWithThePositionInTheTitle() {
        EditableDemo d;
        Screen& s = *d.s;
        QVERIFY(s.c("rangeBearingCheck")->isEnabled());
        s.c<QCheckBox>("rangeBearingCheck")->click();
        s.c<QRadioButton>("northUpRadio")->click();  // north up: south is straight down
        QTest::mouseMove(s.map(), QPoint(400, 500));
        QVERIFY(!s.w->mapMouse().RubberLineShown);  // no origin yet: nothing
        const double zoom = s.w->view().ZoomHome;
        d.click(QPoint(400, 300));
        QCOMPARE(s.w->view().ZoomHome, zoom);         // measuring does not zoom
        QTest::mouseMove(s.map(), QPoint(400, 520));  // a move to where the mouse was is none
        QVERIFY(s.w->mapMouse().RubberLineShown);
        // The demo race gives MG, -7: magnetic is true + 7.
        QVERIFY2(s.c<QLabel>("hintBox")->text().startsWith(QString::fromUtf8(" 180度／187mag  ")),
                 qPrintable(s.c<QLabel>("hintBox")->text()));
        QCOMPARE(s.c("hintBox")->pos(), s.map()->mapToGlobal(QPoint(10, 10)));  // top left
        QVERIFY(s.w->windowTitle().contains(QStringLiteral("N 35:")));
        QVERIFY(s.w->windowTitle().contains(QStringLiteral("/E 139:")));
        d.click(QPoint(400, 300), Qt::RightButton);  // any other button ends measuring
        QVERIFY(!s.c<QCheckBox>("rangeBearingCheck")->isChecked());
        QVERIFY(!s.w->mapMouse().RubberLineShown);
    }

    void overviewClicksTurnTheWindAndMoveTheMap() {
        EditableDemo d(1, "WD,  205", "WD,  200");
        Screen& s = *d.s;
        s.c<QRadioButton>("windUpRadio")->click();
        auto* ov = s.c<PictureWidget>("overviewPicture");
        const QPoint c(ov->width() / 2, ov->height() / 2);
        QTest::mouseClick(ov, Qt::RightButton, Qt::NoModifier, c + QPoint(40, 0));
        QCOMPARE(s.race().MeanWindDir, 290.0);
        QCOMPARE(s.w->view().ViewRotation, 290.0);
        QVERIFY(d.onDisk().contains("WD,  290"));
        QTest::mouseClick(ov, Qt::RightButton, Qt::NoModifier, c + QPoint(-40, 0));  // 290 + 270
        QCOMPARE(s.race().MeanWindDir, 200.0);
        QTest::mouseClick(ov, Qt::RightButton, Qt::NoModifier, c + QPoint(0, 40));
        QCOMPARE(s.race().MeanWindDir, 20.0);
        s.c<QRadioButton>("northUpRadio")->click();  // north up: the right click does nothing
        QTest::mouseClick(ov, Qt::RightButton, Qt::NoModifier, c + QPoint(40, 0));
        QCOMPARE(s.race().MeanWindDir, 20.0);
        // The left click moves the map's centre there, at the zoom chosen.
        d.click(QPoint(400, 400));
        const double zoom = s.w->view().ZoomHome;
        QTest::mouseClick(ov, Qt::LeftButton, Qt::NoModifier, c + QPoint(20, 20));
        QCOMPARE(s.w->view().Zoom, zoom);
        QVERIFY(s.w->view().CenterLat < s.w->view().HomeLat);
    }

    void hintsOnlyWithTheHintBox() {
        EditableDemo d;
        Screen& s = *d.s;
        auto* hint = s.c<QLabel>("hintBox");
        QVERIFY(s.showOnScreen());  // the side panel laid out where the mouse goes
        QTest::mouseMove(s.c("seaSwatch1"), QPoint(5, 5));
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(), QStringLiteral("Change sea color"));
        QTest::mouseMove(s.c("autoTraceCheck"), QPoint(5, 5));
        QCOMPARE(hint->text(), QStringLiteral("On-off the auto trace mode"));
        s.c<QCheckBox>("hintsCheck")->click();  // hints off
        QTest::mouseMove(s.c("seaSwatch2"), QPoint(5, 5));
        QVERIFY(!hint->isVisible());
        QTest::mouseMove(s.map(), QPoint(300, 300));
        QVERIFY(!hint->isVisible());                        // nor the map help
        QTest::mouseMove(s.c("hintsCheck"), QPoint(5, 5));  // shown always
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(), QStringLiteral("ON/OFF of HINT"));
        s.c<QCheckBox>("hintsCheck")->click();
        QTest::mouseMove(s.map(), QPoint(310, 300));
        QVERIFY(hint->text().startsWith(QStringLiteral("Click L-btn=> Enlarge Map")));

        // Both languages; the wind-entry button's hint is Japanese in both.
        AppSettings ja, en;
        en.Lang = 1;
        QCOMPARE(raceScreenHint(QStringLiteral("seaSwatch3"), ja, true)->text,
                 QString::fromUtf8("海面の色を変更します"));
        QCOMPARE(raceScreenHint(QStringLiteral("windEntryButton"), en, true)->text,
                 raceScreenHint(QStringLiteral("windEntryButton"), ja, true)->text);
        QVERIFY(
            raceScreenHint(QStringLiteral("overviewPicture"), en, true)->text.contains("R-btn"));
        QVERIFY(
            !raceScreenHint(QStringLiteral("overviewPicture"), en, false)->text.contains("R-btn"));
        QVERIFY(!raceScreenHint(QStringLiteral("mapPicture"), en, true));
        for (const char* c :
             {"rangeBearingCheck", "compareLinesCheck", "wakeCheck",         "coastlineCheck",
              "layLinesCheck",     "boatNamesCheck",    "enlargeBoatsCheck", "setMarkButton",
              "setLineButton",     "setCourseButton",   "showRaceButton",    "screenPictureButton",
              "referenceButton",   "infoLabel",         "allBoatsLabel",     "boatName_0",
              "boatMark_4",        "windPicture",       "replaySpeedLabel",  "helpButton",
              "windNowPanel",      "WindStrip",         "windEntryButton"}) {
            QVERIFY2(raceScreenHint(QString::fromLatin1(c), ja, true), c);
            QVERIFY2(raceScreenHint(QString::fromLatin1(c), en, true), c);
        }
    }

    void mapHelpBesideThePointerOnTheMap() {
        // A narrow font (the Latin letters of the CJK font): the help keeps its box's width.
        const QString narrowFont = QStringLiteral("Noto Sans CJK JP");
        if (!QFontDatabase::families().contains(narrowFont)) QSKIP("needs fonts-noto-cjk");
        AppSettings narrow = Screen::settingsFor(kDemo, 1, 1);
        narrow.UiFontName = narrowFont.toStdString();
        Screen s(narrow);
        s.stop();
        QVERIFY(s.showOnScreen());
        auto* help = s.c<QLabel>("hintBox");
        const QRect map(s.map()->mapToGlobal(QPoint(0, 0)), s.map()->size());
        QTest::mouseMove(s.map(), QPoint(300, 300));
        QVERIFY(help->text().startsWith(QStringLiteral("Click L-btn=> Enlarge Map")));
        QVERIFY(help->sizeHint().width() < 170);
        QCOMPARE(help->width(), 170);
        // Left of the pointer, or right of it by the map's left edge: on the map either way.
        QVERIFY(help->geometry().right() < map.left() + 300);
        QVERIFY(map.contains(help->geometry()));
        QTest::mouseMove(s.map(), QPoint(20, 300));
        QVERIFY(help->geometry().left() > map.left() + 20);
        QVERIFY(map.contains(help->geometry()));
    }

    void hintsOnDisabledControlsAndWhereTheyGo() {
        EditableDemo d;
        Screen& s = *d.s;
        auto* hint = s.c<QLabel>("hintBox");
        auto* boatHint = s.c<QLabel>("boatHintBox");
        QVERIFY(s.showOnScreen());
        // North up turns the comparison lines off; their hint still says why.
        s.c<QRadioButton>("northUpRadio")->click();
        QVERIFY(!s.c("compareLinesCheck")->isEnabled());
        QTest::mouseMove(s.c("compareLinesCheck"), QPoint(5, 5));
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(), QStringLiteral("Draw cross wind line\nto compare the height."));
        // A disabled control gets no leave: the next control without a hint ends it.
        QTest::mouseMove(s.c("timeMarksCheck"), QPoint(5, 5));
        QVERIFY(!hint->isVisible());
        // The side panel's background hides it, and so does the box itself.
        QTest::mouseMove(s.c("seaSwatch1"), QPoint(5, 5));
        QVERIFY(hint->isVisible());
        QTest::mouseMove(s.c("sidePanel"), QPoint(0, s.c("sidePanel")->height() / 2));
        QVERIFY(!hint->isVisible());
        QTest::mouseMove(s.c("seaSwatch2"), QPoint(5, 5));
        QVERIFY(hint->isVisible());
        {
            // The box is a window of its own, which the offscreen screen does not stack: the
            // pointer arriving on it is sent to it directly.
            QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), hint->mapToGlobal(QPointF(3, 3)));
            QCoreApplication::sendEvent(hint, &enter);
        }
        QVERIFY(!hint->isVisible());
        // The screen picture explains itself always; the wind entry in Japanese, in the boat
        // panel's hint box.
        s.c<QCheckBox>("hintsCheck")->click();  // hints off
        QTest::mouseMove(s.c("screenPictureButton"), QPoint(5, 5));
        QVERIFY(hint->isVisible());
        QVERIFY(hint->text().startsWith(QStringLiteral("Start up graphical software")));
        QTest::mouseMove(s.c("windEntryButton"), QPoint(5, 5));
        QVERIFY(!hint->isVisible());
        QVERIFY(!boatHint->isVisible());
        s.c<QCheckBox>("hintsCheck")->click();
        QTest::mouseMove(s.c("windEntryButton"), QPoint(6, 6));
        QVERIFY(boatHint->isVisible());
        QVERIFY(
            boatHint->text().startsWith(QString::fromUtf8("ここをクリックすると風向入力モード")));
        QTest::mouseMove(s.c("windPicture"), QPoint(20, 20));
        QVERIFY(!boatHint->isVisible());
        QCOMPARE(hint->text(), QStringLiteral("Indicate wind direction graph or not"));
    }

    void boatSymbolShowsNameAndSpeed() {
        EditableDemo d;
        Screen& s = *d.s;
        QVERIFY(s.showOnScreen());
        s.jump(600);
        const FrameState& f = s.session().frame();
        int boat = 0;
        QPoint at;
        for (int k = 1; k <= s.race().BoatCount && !boat; ++k) {
            if (!f.Boats[k].visible) continue;
            at = d.pixelOf(f.Boats[k].lat, f.Boats[k].lon);
            if (s.map()->rect().adjusted(10, 10, -10, -10).contains(at)) boat = k;
        }
        QVERIFY(boat > 0);
        QTest::mouseMove(s.map(), at);
        auto* hint = s.c<QLabel>("hintBox");
        QVERIFY(hint->isVisible());
        QVERIFY2(
            hint->text().startsWith(QString::fromStdString(s.race().Boats[boat].BoatName + " (")),
            qPrintable(hint->text()));
        // Off the boats the map help comes back.
        QTest::mouseMove(s.map(), at + QPoint(40, 40));
        QVERIFY(
            !hint->text().startsWith(QString::fromStdString(s.race().Boats[boat].BoatName + " (")));
    }
};

QTEST_MAIN(TstMapMouse)
#include "tst_mapmouse.moc"
