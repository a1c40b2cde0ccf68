// The race screen's hint table and the box that shows it; see racehints.h.
#include "ui/interact/racehints.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <vector>

namespace brisko {

namespace {

constexpr int kAboveGap = 5;
constexpr int kRightOfLeft = 20;

struct Row {
    const char* control;  // object name; a trailing '*' matches a control array
    bool guarded;
    bool boatBox;
    int widthEn, widthJa, height;
    std::vector<const char*> en;  // empty: the Japanese text in both languages
    std::vector<const char*> ja;
};

const std::vector<Row>& table() {
    static const std::vector<Row> rows = {
        {"seaSwatch*", true, false, 160, 160, 17, {"Change sea color"}, {"海面の色を変更します"}},
        {"helpButton", false, false, 100, 150, 17, {"Show HELP"}, {"操作マニュアルを表示します。"}},
        {"rangeBearingCheck",
         false,
         false,
         220,
         240,
         0,
         {"Range and bearing from first clicked", "point to present mouse point can be",
          "measured when checked.", "< Uncheck to exit measuring mode>"},
         {"地図で距離・方位を測定します。", "このボタンを押すと測定モードになります",
          "測定モードの状態で地図をクリックすると", "測定の基点が設定され、マウスを移動して",
          "そこからの距離・方位を測定します", "（再度押すと測定モードを解除）"}},
        {"hintsCheck", false, false, 170, 170, 16, {"ON/OFF of HINT"}, {"ヒントをON/OFFします"}},
        {"compareLinesCheck",
         true,
         false,
         170,
         170,
         32,
         {"Draw cross wind line", "to compare the height."},
         {"各艇の高さを比較します", "（風上が上の時に有効です）"}},
        {"autoTraceCheck",
         true,
         false,
         170,
         170,
         16,
         {"On-off the auto trace mode"},
         {"自動追尾をON/OFFします"}},
        {"wakeCheck",
         true,
         false,
         170,
         170,
         32,
         {"Draw all tracks.", "( When auto trace is off )"},
         {"航跡描画をON/OFFします", "（自動追尾時は無効です）"}},
        {"coastlineCheck",
         false,
         false,
         170,
         170,
         16,
         {"Draw coast line or not"},
         {"海岸線の表示をon-offします"}},
        {"layLinesCheck",
         false,
         false,
         150,
         170,
         15,
         {"Draw lay line or not"},
         {"レイラインの表示をon-offします"}},
        {"boatNamesCheck",
         false,
         false,
         150,
         150,
         15,
         {"Show all boat name or not"},
         {"全艇名の表示をon-offします"}},
        {"enlargeBoatsCheck",
         true,
         true,
         200,
         200,
         30,
         {"Enlarge minimum boat size", "when checked"},
         {"艇の最低表示サイズを拡大します。", "ﾁｪｯｸを外すと実ｻｲｽﾞで表示します。"}},
        {"manoeuvresCheck",
         true,
         false,
         220,
         220,
         32,
         {"Mark the focused boats' tacks and gybes", "on the map ( point to one for its loss )"},
         {"注目艇のタック・ジャイブを地図に表示します", "（記号にマウスを置くと損失を表示）"}},
        {"setMarkButton",
         true,
         false,
         200,
         200,
         45,
         {"Click this button and Set the", "Mark on the Map.", "< Auto trace is to be Off >"},
         {"このボタンを押してから地図をクリック", "するとマークを設定できます。",
          "<自動追尾をOffにすること>"}},
        {"setLineButton",
         true,
         false,
         220,
         220,
         45,
         {"Click this button, then click the End Of", "Line on the map.   < 2Pnts >",
          "< Auto trace is to be Off >"},
         {"このボタンを押してから地図を2点クリック", "するとラインを設定できます。",
          "<自動追尾をOffにすること>"}},
        {"setCourseButton",
         true,
         false,
         220,
         220,
         45,
         {"Click this button, then click Lines", "and Marks to set the course order",
          "< Auto trace is to be Off >"},
         {"このボタンを押してから地図上のライン、", "マークを押してコースを設定します。",
          "<自動追尾をOffにすること>"}},
        {"showRaceButton",
         true,
         false,
         230,
         230,
         32,
         {"Choose Race File in Left Box.", "Then Click Here to Show."},
         {"左の窓でレースを選択してからこの", "ボタンを押せば選択したレースが見れます"}},
        {"screenPictureButton",
         false,
         false,
         220,
         220,
         40,
         {"Start up graphical software", "and show present screen on it.",
          "（to retouch, print, save ）"},
         {"画像処理ソフトを立ち上げて現在", "表示されている画面の画像を表示します。",
          "（書き加え、修正、保存など可能）"}},
        {"windEntryButton",
         true,
         true,
         300,
         300,
         0,
         {},
         {"ここをクリックすると風向入力モードになります。",
          "入力モードにしてからグラフをクリックして風向を", "入力していきます",
          "（時間軸の順序は問いませんので途中追加もＯＫです）",
          "再度このボタンを押すとデータが記録されて入力モード", "から脱出できます。"}},
        {"referenceButton",
         false,
         false,
         220,
         220,
         32,
         {"Show Reffernce Data.", "<ex. Saling Notice, Race Results >"},
         {"関係する資料を参照します。", "<　例.　帆走指示書、レース結果、写真>"}},
        {"makeCoastlineButton",
         true,
         false,
         240,
         240,
         32,
         {"Make the coastline of the race area", "(needs the packages gmt gmt-gshhg-full)"},
         {"レース海域の海岸線データを作ります", "（gmt と gmt-gshhg-full が必要です）"}},
        {"infoLabel",
         false,
         false,
         240,
         280,
         32,
         {"Link to Quillon Ltd site", "( for latest information )"},
         {"ｸｲﾛﾝ（QLN）のﾎｰﾑﾍﾟｰｼﾞを開きます", "ここから最新データをﾀﾞｳﾝﾛｰﾄﾞできます(準備中)"}},
        {"allBoatsLabel",
         true,
         true,
         200,
         280,
         17,
         {"Click to focus all boats"},
         {"ここをクリックすると全艇にチェックが入ります"}},
        {"boatName_*",
         true,
         true,
         240,
         240,
         0,
         {"Cecked boats are focused.", "Unchecked boats are out of focus.",
          "Right button to focus only 1 boat."},
         {"チェックを入れた艇をフォーカスします", "フォーカスを外すと航跡、速度グラフなどが",
          "除外されてフォーカス艇が見やすくなります", "右ｸﾘｯｸで1艇だけのﾌｫｰｶｽも可能です。"}},
        {"boatMark_*",
         true,
         true,
         240,
         240,
         30,
         {"Cecked boat is focused and his", "name are shown during it is checked."},
         {"チェックを入れた艇をフォーカスします", "これにより常時艇名,艇速が表示されます"}},
        {"windPicture",
         true,
         false,
         200,
         170,
         17,
         {"Indicate wind direction graph or not"},
         {"ｸﾘｯｸで風向ｸﾞﾗﾌをOn-Off"}},
        {"windNowPanel",
         true,
         false,
         200,
         170,
         17,
         {"Indicate wind direction graph or not"},
         {"ｸﾘｯｸで風向ｸﾞﾗﾌをOn-Off"}},
        {"WindStrip",
         true,
         false,
         200,
         170,
         17,
         {"Indicate wind direction graph or not"},
         {"ｸﾘｯｸで風向ｸﾞﾗﾌをOn-Off"}},
        {"overviewPicture",
         true,
         false,
         180,
         150,
         0,
         {"L-btn => Move center of map"},
         {"左ｸﾘｯｸで地図中心を移動"}},
        {"replaySpeedLabel",
         false,
         false,
         270,
         270,
         16,
         {"Change Playback Speed with the Right Slide Bar"},
         {"早送り速度を右のスライドバーで変更します"}},
    };
    return rows;
}

bool matches(const char* pattern, const QString& name) {
    const QString p = QString::fromLatin1(pattern);
    if (p.endsWith(QLatin1Char('*'))) return name.startsWith(p.chopped(1));
    return name == p;
}

QString joined(const std::vector<const char*>& lines) {
    QStringList out;
    for (const char* l : lines) out << QString::fromUtf8(l);
    return out.join(QLatin1Char('\n'));
}

}  // namespace

std::optional<HintText> raceScreenHint(const QString& control, const AppSettings& settings,
                                       bool fullMode) {
    for (const Row& r : table()) {
        if (!matches(r.control, control)) continue;
        const bool english = settings.english() && r.en.size() > 0;
        HintText h;
        h.text = english ? joined(r.en) : joined(r.ja);
        if (control == QLatin1String("overviewPicture") && fullMode)
            h.text +=
                QString::fromUtf8(english ? "\nR-btn => change Wind Dir\n（Select Windward btn）"
                                          : "\n右ｸﾘｯｸで風向を回転\n（「風向が上」にする）");
        h.width = settings.english() ? r.widthEn : r.widthJa;
        h.height = r.height;
        h.guarded = r.guarded;
        h.boatBox = r.boatBox;
        return h;
    }
    return std::nullopt;
}

RaceHints::RaceHints(QWidget* form, QWidget* sidePanel, QLabel* hintBox, QLabel* boatHintBox,
                     const AppSettings& settings, std::function<bool()> hintsOn,
                     std::function<bool()> fullMode)
    : QObject(form),
      form_(form),
      panel_(sidePanel),
      hintBox_(hintBox),
      boatHintBox_(boatHintBox),
      settings_(settings),
      hintsOn_(std::move(hintsOn)),
      fullMode_(std::move(fullMode)) {}

bool RaceHints::showFor(QWidget* control) {
    const auto hint = raceScreenHint(control->objectName(), settings_, fullMode_());
    if (!hint || (hint->guarded && !hintsOn_())) return false;
    QLabel* box = hint->boatBox ? boatHintBox_ : hintBox_;
    (hint->boatBox ? hintBox_ : boatHintBox_)->hide();
    box->setText(hint->text);
    // The designed size, grown where this font needs more room than the design's.
    const QSize need = box->sizeHint();
    const QSize size(std::max(hint->width, need.width()), std::max(hint->height, need.height()));
    box->resize(size);
    // Just above the control, inside the side panel; below it when there is no room above.
    const QPoint at = control->mapToGlobal(QPoint(0, 0));
    const QRect panel(panel_->mapToGlobal(QPoint(0, 0)), panel_->size());
    int left = at.x() + kRightOfLeft;
    int top = at.y() - size.height() - kAboveGap;
    if (left + size.width() > panel.right()) left = panel.right() - size.width();
    if (left < panel.left()) left = panel.left();
    if (top < panel.top()) top = at.y() + control->height() + kAboveGap;
    box->move(left, top);
    box->show();
    box->raise();
    shownFor_ = control;
    return true;
}

void RaceHints::hide() {
    if (!shownFor_) return;
    hintBox_->hide();
    boatHintBox_->hide();
    shownFor_ = nullptr;
}

bool RaceHints::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type t = e->type();
    if (t != QEvent::Enter && t != QEvent::Leave && t != QEvent::MouseMove) return false;
    if (watched == hintBox_ || watched == boatHintBox_) {
        // The mouse on the map-side box itself takes it away.
        if (watched == hintBox_ && t != QEvent::Leave) {
            hintBox_->hide();
            if (shownFor_ && !boatHintBox_->isVisible()) shownFor_ = nullptr;
        }
        return false;
    }
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != form_) return false;
    if (t == QEvent::Leave) {
        if (w == shownFor_) hide();
        return false;
    }
    // A widget's ancestors are entered along with it, so only the moves, which go to the
    // widget under the mouse alone, tell the background or a control without a hint.
    const bool move = t == QEvent::MouseMove;
    // A move a child left unhandled goes on to its parent: the child has seen it already.
    if (move && w->childAt(static_cast<QMouseEvent*>(e)->position().toPoint())) return false;
    if (move && (w == form_ || w == panel_)) {
        // The window background and the side panel hide every box, whoever showed it.
        hintBox_->hide();
        boatHintBox_->hide();
        shownFor_ = nullptr;
        return false;
    }
    if (move && isBoatListBackground(w)) {
        boatHintBox_->hide();
        if (shownFor_ && !hintBox_->isVisible()) shownFor_ = nullptr;
        return false;
    }
    if (shownFor_ && (w == shownFor_ || shownFor_->isAncestorOf(w))) return false;
    // Disabled controls get no leave event, so the move onto the next control ends their hint;
    // they get the moves, so a control that is off still explains itself.
    const bool hasHint = raceScreenHint(w->objectName(), settings_, true).has_value();
    if (hasHint && showFor(w)) return false;
    if (move || hasHint) hide();
    return false;
}

bool RaceHints::isBoatListBackground(const QWidget* w) {
    const QString name = w->objectName();
    if (name == QLatin1String("BoatPanel") || name == QLatin1String("boatScroll") ||
        name == QLatin1String("speedBars"))
        return true;
    // The scrolled list's viewport.
    return w->parentWidget() && w->parentWidget()->objectName() == QLatin1String("boatScroll");
}

}  // namespace brisko
