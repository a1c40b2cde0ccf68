// The race file editor's captions and messages in both languages.
#include "ui/editor/raceeditortexts.h"

namespace brisko {

const std::vector<ControlCaption>& raceEditorCaptions() {
    static const std::vector<ControlCaption> table = {
        {"title1Label", "ﾀｲﾄﾙ1 (*)", "Title 1 <*>"},
        {"title2Label", "ﾀｲﾄﾙ2 (*)", "Title 2 <*>"},
        {"boatListLabel", "BOAT NAME　＆  GPS FILE　　　　　 (　Shift + ｸﾘｯｸで削除　）",
         "BOAT NAME　＆  GPS FILE　　　　　 (　Shift + ｸﾘｯｸで削除　）"},
        {"chooseGpsFileButton", "GPSﾃﾞｰﾀﾌｧｲﾙ選択", "Choose GPS file"},
        {"addBoatButton", "OK", "OK"},
        {"cancelGpsFileButton", "CANCEL", "CANCEL"},
        {"startTimeLabel", "ｽﾀｰﾄ日時", "Start Time"},
        {"finishTimeLabel", "ﾌｨﾆｯｼｭ日時", "FinishTime"},
        {"timeDiffLabel", "時差", "Time Diff"},
        {"windDirectionLabel", "平均風向", "Wind Direction"},
        {"boatLengthLabel", "LOA           m", "LOA           m"},
        {"magneticVariationLabel", "磁気偏差(W = - )", "Mag Variation <W=->"},
        {"upwindLayLineLabel", "ﾚｲﾗｲﾝ(UP)", "LayLine <UP>"},
        {"downwindLayLineLabel", "(DN)", "(DN)"},
        {"preStartMinutesLabel", "スタート前の表示時間         分", "Before Start Time <min>"},
        {"mapDirectionBox", "コース表示", "Map Direction"},
        {"northUpOption", "北が上", "NothWd"},
        {"windUpOption", "風向が上", "WindWd"},
        {"windFileLabel", "風ﾃﾞｰﾀﾌｧｲﾙ", "Wind Data"},
        {"chooseWindFileButton", "風データを選択", "Choose Wind Data File"},
        {"attachmentListLabel", "添付資料", "Attachment File"},
        {"addAttachmentButton", "添付資料選択", "Attachment File"},
        {"clearAttachmentsButton", "クリア", "Clear"},
        {"openRaceButton", "レース管理ファイル読込", "Open Race Control File"},
        {"editAsTextButton", "直接テキストを編集", "Compile Race Control File with NotePad"},
        {"saveButton", "データ保存→レース表示", "Save File and Show Race"},
        {"secondSaveButton", "データ保存→レース表示", "Save File amd Show Race"},
        {"exitButton", "戻　　　　る", "EXIT"},
        {"settingsNoteLabel", "この枠内のデータはレース表示画面で設定可能です。",
         "All data in this frame can be changed at Show Race Screen."},
    };
    return table;
}

QString editorHelpText(const AppSettings& s) {
    if (s.english())
        return QStringLiteral(
            "At least, GPS data are to be filled to show the race, (* can be ignored)  When all "
            "data are filled, click ' Save \nand Show Race' button. Mark ,Line and other data "
            "can be set in Race Screen.");
    return QStringLiteral(
        "最低限GPSファイルを選択、指定してください。　この枠内のデータを入力後"
        "「保存→レース表示ボタンで\nレースを表示してからマーク、ライン、"
        "スタート時刻などを入力可能です。　(*印は省略可)");
}

QString tooManyBoatsMessage(const AppSettings& s) {
    return QString::fromUtf8(s.tr("艇は50艇までです。", "A race holds at most 50 boats."));
}

QString tooManyAttachmentsMessage(const AppSettings& s) {
    return QString::fromUtf8(
        s.tr("添付資料は50件までです。", "A race holds at most 50 attachment files."));
}

QString gpsFileGoneMessage(const AppSettings& s, const QString& file) {
    if (s.english())
        return QStringLiteral(
                   "GPSfile -- %1 -- could not be found.\nPut the file back into the "
                   "GPS data folder or delete the boat (Shift + click); nothing was "
                   "saved.")
            .arg(file);
    return QStringLiteral(
               "GPSfile -- %1 -- はありませんでした。\nファイルを戻すか、艇を削除"
               "（Shift + クリック）してください。保存していません。")
        .arg(file);
}

}  // namespace brisko
