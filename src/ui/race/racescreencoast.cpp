// The race screen's "Make coastline" button: makes the coastline tiles of the race area through
// gmt, names them in the race file and redraws the chart with its coast. See racescreen.h.
#include <QGuiApplication>

#include "session/racesession.h"
#include "ui/race/racecaptions.h"
#include "ui/race/racescreen.h"
#include "ui/race/racesetup.h"

namespace brisko {

namespace {

// A sentence that was written to follow a program's name, begun with a capital letter.
QString sentence(const std::string& text) {
    QString s = QString::fromStdString(text).trimmed();
    if (!s.isEmpty()) s[0] = s[0].toUpper();
    return s;
}

// What the user is told after the tiles were made, or could not be; empty when the chart
// showing its coast says it all.
QString coastMadeMessage(const AppSettings& s, const CoastTilesAdded& added) {
    const CoastMakeResult& made = added.made;
    QStringList lines;
    if (!made.ok()) {
        lines << QString::fromUtf8(
            s.tr("海岸線タイルを作れませんでした。", "The coastline tiles could not be made."));
        lines << sentence(made.message);
        // gmt's own words, which name what it could not find.
        if (!made.gmtError.empty()) lines << QString::fromStdString(made.gmtError).trimmed();
        lines << QString::fromUtf8(
            s.tr("レースファイルは変更していません。", "The race file is left unchanged."));
        return lines.join(QLatin1Char('\n'));
    }
    if (made.named(CoastTileOutcome::Written).empty() && made.named(CoastTileOutcome::Kept).empty())
        lines << QString::fromUtf8(
            s.tr("レース海域には海岸線がありません。", "No shoreline lies within the race area."));
    if (!added.raceFileNote.empty()) lines << QString::fromStdString(added.raceFileNote);
    if (!added.raceFile.ok)
        lines << saveFailedMessage(
            s, QString::fromStdString(writeFailureText(added.raceFile, s.english())));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

void RaceScreen::updateCoastButton() {
    setup_->setCoastlineAvailable(session_ && !session_->missingCoastTiles().empty());
}

void RaceScreen::makeCoastline() {
    if (!session_) return;
    hideHints();
    // gmt reads the shorelines of the whole area at once; the window waits for it.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    setup_->setCoastlineAvailable(false);
    const CoastTilesAdded added = session_->makeCoastTiles(coastRunner_);
    scene_.coast = RaceScene::coastOf(session_->coast());
    redrawBackground();
    redrawOverview();
    paintFrame();
    updateCoastButton();
    QGuiApplication::restoreOverrideCursor();
    const QString text = coastMadeMessage(settings_, added);
    if (!text.isEmpty()) sink_.show({text.toStdString(), {}, MessageButtons::Ok});
}

}  // namespace brisko
