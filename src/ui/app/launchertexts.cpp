// The launcher's hints and messages in both languages.
#include "ui/app/launchertexts.h"

#include <QStringList>

namespace brisko {

namespace {
QString lines(std::initializer_list<const char*> parts) {
    QStringList out;
    for (const char* p : parts) out << QString::fromUtf8(p);
    return out.join(QLatin1Char('\n'));
}
}  // namespace

QString coverHint(const QString& control, const AppSettings& s) {
    const bool en = s.english();
    if (control == QLatin1String("gpsDownloadButton"))
        return en ? lines({"Receive Track Data From GPS", "Compile GPS data"})
                  : lines({"GPSからﾃﾞｰﾀをﾀﾞｳﾝﾛｰﾄﾞ", "軌跡ﾃﾞｰﾀﾌｧｲﾙを読んで編集"});
    if (control == QLatin1String("editorButton"))
        return en ? lines({"Compile each boat data.", "", "Select GPS data and set",
                           "start and finish time."})
                  : lines({"複数艇のﾃﾞｰﾀを編集", "", "各艇のﾃﾞｰﾀを選択し,ｽﾀｰﾄ時刻,",
                           "ﾌｨﾆｯｼｭ時刻などを指定します"});
    if (control == QLatin1String("raceScreenButton"))
        return en ? lines({"Race scene can be seen", "if compile data."})
                  : lines({"編集データを選択すると", "複数艇のレースが見れます"});
    // The other buttons have one hint for both languages.
    if (control == QLatin1String("oneBoatButton")) return lines({"1艇のみの軌跡を表示"});
    if (control == QLatin1String("windToolButton"))
        return lines({"ZEPHYR_T1を起動して風データを", "編集し、選定データの保存します。",
                      "( CSVファイルを作成 )"});
    if (control == QLatin1String("distributionButton"))
        return lines({"配布するファイルを自動的に", "作成します。（WEB配信、CD焼付） "});
    if (control == QLatin1String("exitButton")) return lines({"プログラムを終了します"});
    return {};
}

QString siblingToolMissingMessage(const AppSettings& s, const QString& what,
                                  const QString& program) {
    if (s.english())
        return QStringLiteral(
                   "The %1 (%2) is not installed: it is neither in the application "
                   "folder nor on the PATH.")
            .arg(what, program);
    return QStringLiteral(
               "%1（%2）がインストールされていません。アプリケーションフォルダにも"
               "PATHにも見つかりません。")
        .arg(what, program);
}

QString siblingToolFailedMessage(const AppSettings& s, const QString& program) {
    if (s.english()) return QStringLiteral("%1 could not be started.").arg(program);
    return QStringLiteral("%1 を起動できませんでした。").arg(program);
}

QString distributionNotReadyMessage(const AppSettings& s) {
    return QString::fromUtf8(s.tr("配布ファイル作成はこの版ではまだ使えません。",
                                  "Creating distribution files is not available in this "
                                  "version yet."));
}

}  // namespace brisko
