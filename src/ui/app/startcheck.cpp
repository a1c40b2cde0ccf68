// The start check; see startcheck.h.
#include "ui/app/startcheck.h"

#include <QImage>
#include <QPixmap>
#include <QSaveFile>
#include <cstdio>

#include "session/racesession.h"
#include "ui/race/racescreen.h"

namespace brisko {

StartCheckRequest startCheckRequest(const QStringList& arguments) {
    StartCheckRequest r;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--check")) {
            r.wanted = true;
        } else if (a == QLatin1String("--screenshot") && i + 1 < arguments.size()) {
            r.wanted = true;
            r.screenshot = arguments[++i];
        } else if (a.startsWith(QLatin1String("--screenshot="))) {
            r.wanted = true;
            r.screenshot = a.mid(int(sizeof("--screenshot=")) - 1);
        }
    }
    return r;
}

int reportStartCheck(RaceScreen& raceScreen, const StartCheckRequest& request, int messages) {
    const RaceSession* s = raceScreen.session();
    std::printf("app_dir: %s\n", s ? s->settings().AppPath.c_str() : "");
    std::printf("race: %s\n", s ? s->shownFile().c_str() : "");
    std::printf("title: %s\n", s ? s->race().Title1.c_str() : "");
    std::printf("boats: %d\n", s ? s->boatCount() : 0);
    std::printf("messages: %d\n", messages);
    bool ok = s && s->boatCount() > 0;
    if (!request.screenshot.isEmpty()) {
        const QImage picture = raceScreen.grab().toImage();
        // Written beside and renamed over, so that an old picture stays whole on failure.
        QSaveFile file(request.screenshot);
        const bool saved = !picture.isNull() && file.open(QIODevice::WriteOnly) &&
                           picture.save(&file, "PNG") && file.commit();
        std::printf("screenshot: %s %dx%d%s\n", request.screenshot.toLocal8Bit().constData(),
                    picture.width(), picture.height(), saved ? "" : " (not written)");
        ok = ok && saved;
    }
    std::printf("status: %s\n", ok ? "shown" : "not shown");
    std::fflush(stdout);
    return ok ? 0 : 1;
}

}  // namespace brisko
