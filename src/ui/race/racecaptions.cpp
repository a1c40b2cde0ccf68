// The race screen's captions and message texts in Japanese and English.
#include "ui/race/racecaptions.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <iterator>

namespace brisko {

namespace {

constexpr ControlCaption kCaptions[] = {
    {"orientationBox", "表示方向", "Direction"},
    {"windUpRadio", "風向が上", "Windwd"},
    {"northUpRadio", "北が上", "Northwd"},
    {"viewBox", "図選択", "Screen"},
    {"trackViewRadio", "軌跡", "Track"},
    {"speedGraphRadio", "ｸﾞﾗﾌ", "Graph"},
    {"dataViewRadio", "ﾃﾞｰﾀ", "Data"},
    {"raceFileLabel", "ﾚｰｽﾌｧｲﾙ", "Race File"},
    {"setLineButton", "ライン設定", "Set Line"},
    {"setCourseButton", "コース設定", "Set Course"},
    {"showRaceButton", "表示", "Show"},
    {"startTimeLabel", "ｽﾀｰﾄ日時", "Start"},
    {"finishTimeLabel", "ﾌｨﾆｯｼｭ", "Finish"},
    {"confirmTimesButton", "時刻設定OK", "Above time OK"},
    {"boatNamesCheck", "艇名", "Name"},
    {"compareLinesCheck", "比較ライン", "Ref Line"},
    {"autoTraceCheck", "自動追尾", "AutoTrace"},
    {"coastlineCheck", "地図", "Map"},
    {"wakeCheck", "航跡", "Wake"},
    {"timeMarksCheck", "時間点", "TimeMk"},
    {"enlargeBoatsCheck", "艇拡大", "Enlarge"},
    {"manoeuvresCheck", "タック・ジャイブ", "Manoeuvres"},
    {"rangeBearingCheck", "距離方位", "R/B"},
    {"layLinesCheck", "ﾚｲﾗｲﾝ", "LayLine"},
    {"screenPictureButton", "画像処理", "Save/Print"},
    {"referenceButton", "資料参照", "Refference"},
    {"exitButton", "戻る", "EXIT"},
    {"infoLabel", "お問い合わせ  www.brisko-sailing.example",
     "Further Info: www.brisko-sailing.example"},
    {"timeTableRadio", "時間", "Time"},
    {"distanceTableRadio", "距離", "Dist"},
    {"speedTableRadio", "速度", "SPD"},
    {"factorTableRadio", "解析", "ANA"},
    {"startTableRadio", "スタート", "Start"},
    {"manoeuvreTableRadio", "タック・ジャイブ", "Manoeuvres"},
    {"legStatsTableRadio", "レグ毎", "Legs"},
    {"dataViewExitButton", "戻る", "Exit"},
    {"clearCourseButton", "ﾃﾞｰﾀ消去", "Delete Order"},
    {"courseOrderLabel", "レースコース", "Course Order"},
    {"setMarkButton", "マーク設定", "Set Mark"},
    {"windEntryButton", "風データ手動作成", "Make Wind Data"},
    {"makeCoastlineButton", "海岸線を作る", "Make coastline"},
};

constexpr double kEnglishViewOptionPointSize = 7;

}  // namespace

const ControlCaption* raceScreenCaptions(int& count) {
    count = static_cast<int>(std::size(kCaptions));
    return kCaptions;
}

void applyRaceScreenCaptions(QWidget* root, const AppSettings& settings) {
    applyCaptions(root, kCaptions, settings);
    if (!settings.english()) return;
    for (const char* name : {"trackViewRadio", "speedGraphRadio", "dataViewRadio"}) {
        if (auto* w = root->findChild<QWidget*>(QString::fromLatin1(name))) {
            QFont f = w->font();
            f.setPointSizeF(scaledPointSize(kEnglishViewOptionPointSize, settings));
            w->setFont(f);
        }
    }
}

QString sizeLabelText(bool enlarged, const AppSettings& s) {
    return QString::fromUtf8(enlarged ? s.tr("変形サイズ", "Enlarged")
                                      : s.tr("実サイズ", "Real Size"));
}

QStringList timeBarHelp(const AppSettings& s) {
    if (s.english())
        return {QStringLiteral("Click to change the time."),
                QStringLiteral("(White zone =UpWind  Gray zone= DownWind )"),
                QStringLiteral("Shift+ Drag & drop to focus play back period."),
                QStringLiteral("Shift+Right click to cancel play back period.")};
    return {
        QStringLiteral("クリックで時間を瞬時に変更します"),
        QStringLiteral("(白はUpWind、灰色はDownWind )"),
        QStringLiteral("Shiftを押しながらマウス左でドラッグ＆ドロップすると時間帯を限定できます"),
        QStringLiteral("Shift+右クリックで時間帯を解除します")};
}

QString raceWindowTitle(const AppSettings& s, const QString& t1, const QString& t2,
                        const QString& t3, const QString& fileName) {
    QString title =
        s.english()
            ? QStringLiteral("\"%1\" Race Browser").arg(QString::fromStdString(s.ProductTitle))
            : QString::fromStdString(s.ProductTitle);
    for (const QString& t : {t1, t2, t3})
        if (!t.isEmpty()) title += QStringLiteral("   ") + t;
    title += QStringLiteral("   (") + fileName + QStringLiteral(")");
    return title;
}

QString alreadyShownMessage(const AppSettings& s) {
    return QString::fromUtf8(s.tr("既に表示されています", "Choose Other File"));
}

QString badTimesMessage(const AppSettings& s) {
    return QString::fromUtf8(
        s.tr("日時のﾃﾞｰﾀが正しくありません。必ず同じスタイルで入力してください。",
             "Incorrect data format !  Be sure the date format "));
}

QString noTracksMessage(const AppSettings& s, const QString& fileName) {
    return QString::fromUtf8(
               s.tr("表示できる艇の航跡がありません。(", "No boat tracks to show. (")) +
           fileName + QStringLiteral(")");
}

QString noFixesMessage(const AppSettings& s, const QString& fileName) {
    return QString::fromUtf8(s.tr("スタートからフィニッシュまでの航跡データがありません。(",
                                  "No track data between the start and the finish. (")) +
           fileName + QStringLiteral(")");
}

QString raceStaysMessage(const AppSettings& s, const QString& shownFile) {
    return QString::fromUtf8(s.tr("表示中のレースのままです。(", "The race shown stays. (")) +
           shownFile + QStringLiteral(")");
}

QString meanWindHeading(const AppSettings& s) {
    return QString::fromUtf8(s.tr("平均風向", "Mean wind"));
}

QString windNowHeading(const AppSettings& s) {
    return QString::fromUtf8(s.tr("風向・風速", "Wind now"));
}

QStringList boatListHeadings(const AppSettings& s) {
    return {QString::fromUtf8(s.tr("艇名", "Boat")), QString::fromUtf8(s.tr("艇速", "Speed")),
            QString::fromUtf8(s.tr("風角", "TWA")),
            QString::fromUtf8(s.tr("速度バー", "Speed bar"))};
}

QString saveQuestion(const AppSettings& s) {
    return QString::fromUtf8(
        s.tr("管理ファイルを保存しますか？", "Do you want to save Race Cintrol File？"));
}

QString leaveSaveQuestion(const AppSettings& s) {
    return QString::fromUtf8(s.tr("管理ファイルを保存しますか？", "Save Race Control File？"));
}

QString fileNamePrompt(const AppSettings& s, bool leaving) {
    if (!s.english())
        return QStringLiteral("レース管理ファイル名を入力してください\n（ex. JapanCup2004_R2)");
    return leaving ? QStringLiteral("Input Race Control File Name\n（ex. JapanCup2005_R2)")
                   : QStringLiteral("Input race control file name\n（ex. JapanCup2004_R2)");
}

QString fileNameTitle(const AppSettings& s, bool leaving) {
    if (!s.english()) return QStringLiteral("レース管理ファイル名");
    return leaving ? QStringLiteral("Race Control File name") : QStringLiteral("File Name");
}

QString badFileNameMessage(const AppSettings& s) {
    return QString::fromUtf8(
        s.tr("ファイル名にフォルダや使えない文字を含めないでください。保存しませんでした。",
             "The file name must not name a folder or hold characters a file name cannot "
             "have. Nothing was saved."));
}

QString saveFailedMessage(const AppSettings& s, const QString& why) {
    return QString::fromUtf8(s.tr("レース管理ファイルを保存できませんでした。\n",
                                  "The race control file could not be saved.\n")) +
           why;
}

}  // namespace brisko
