// The screen picture; see screenpicture.h.
#include "ui/analysis/screenpicture.h"

#include <QFontMetrics>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>

namespace brisko {

namespace {
constexpr int kEdge = 5;
constexpr int kLegendGap = 35;
}  // namespace

int legendTop(const ScreenPictureParts& parts) {
    const int lh = QFontMetrics(parts.font).height();
    // The two text lines under the overview, then the gap.
    return kEdge + parts.overview.height() + std::max(kLegendGap, 2 * lh + 4);
}

QImage composeScreenPicture(const ScreenPictureParts& parts) {
    const int x0 = parts.main.width() + 10;
    const int top = legendTop(parts);
    const int legendBottom = top + kLegendPitch * static_cast<int>(parts.legend.size()) + kEdge;
    const int width = parts.main.width() + parts.overview.width() + 15;
    const int height = std::max(parts.main.height() + 10, legendBottom);
    QImage out(width, height, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setFont(parts.font);
    const int lh = QFontMetrics(parts.font).height();

    p.drawImage(x0, kEdge, parts.overview);
    int y = kEdge + parts.overview.height();
    const int textWidth = std::max(parts.overview.width(), 10);
    p.setPen(Qt::black);
    const Qt::TextElideMode elide = Qt::ElideMiddle;
    const QFontMetrics fm(parts.font);
    p.drawText(QRect(x0, y, textWidth, lh), Qt::AlignLeft | Qt::AlignTop,
               fm.elidedText(QStringLiteral("ファイル名： ") + parts.raceFile, elide, textWidth));
    p.drawText(QRect(x0, y + lh, textWidth, lh), Qt::AlignLeft | Qt::AlignTop,
               fm.elidedText(QStringLiteral("日時： ") + parts.dateTime, elide, textWidth));
    y = top;
    for (size_t b = 0; b < parts.legend.size(); ++b) {
        const int rowTop = y + kLegendPitch * static_cast<int>(b);
        const QRect swatch(x0, rowTop, parts.overview.width() - 2, kLegendRowHeight);
        p.fillRect(swatch, parts.legend[b].colour);
        p.setPen(Qt::white);
        p.drawText(swatch.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(parts.legend[b].name, Qt::ElideRight, swatch.width() - 5));
    }
    p.drawImage(kEdge, kEdge, parts.main);
    return out;
}

WriteResult saveBitmap(const QImage& picture, const std::string& path) {
    WriteResult r;
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "BMP") || !file.commit()) {
        r.ok = false;
        r.error = file.errorString().toStdString();
        if (r.error.empty()) r.error = "cannot write " + path;
    }
    return r;
}

}  // namespace brisko
