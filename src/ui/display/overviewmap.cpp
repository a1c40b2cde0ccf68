// The overview map (see overviewmap.h).
#include "ui/display/overviewmap.h"

#include <QPainter>
#include <algorithm>

#include "ui/display/backgroundrenderer.h"

namespace brisko {

MapView OverviewMap::overviewView(const MapView& map, double height, double /*width*/) {
    MapView v = map;
    v.MapSize = height > 0 ? height : 0;
    v.Zoom = 1;
    v.FitFactor = MapView::kFitFactor;
    v.CenterLat = map.HomeLat;
    v.CenterLon = map.HomeLon;
    v.recompute();
    return v;
}

MapView OverviewMap::fleetView(const RaceScene& scene, double height, double width) {
    MapView v = overviewView(*scene.view, height, width);
    const FleetBox b = scene.racingFleetBox();
    if (!b.valid) return v;
    constexpr double kMinSpan = 0.1;
    v.CenterLat = (b.south + b.north) / 2;
    v.CenterLon = (b.west + b.east) / 2;
    v.TrackSpan = std::max({b.north - b.south, (b.east - b.west) * v.LonFactor, kMinSpan});
    v.recompute();
    return v;
}

OverviewState OverviewMap::overviewState(const MapView& map, double height, double width) {
    const MapView v = overviewView(map, height, width);
    OverviewState s;
    s.OvHeight = height;
    s.OvWidth = width;
    s.OvPxPerMinLat = v.PxPerMinLat;
    s.OvPxPerMinLon = v.PxPerMinLon;
    s.OvCx = v.ScreenCx;
    s.OvCy = v.ScreenCy;
    return s;
}

void OverviewMap::draw(QPainter& p, const RaceScene& scene, double width, double height) {
    if (!scene.view || !scene.options) return;
    view_ = fleetView(scene, height, width);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(0, 0, width, height), toQColor(scene.options->SeaColour));
    if (scene.tracks)
        BackgroundRenderer::drawTracks(p, *scene.tracks, *scene.options, view_, 0, 0, true);
    BackgroundRenderer::drawCoastline(p, scene.coast, view_, toQColor(scene.options->InkColour), 1,
                                      width, height);
    p.restore();
}

QPointF OverviewMap::dotPosition(GeoPoint pos) const {
    const ScreenPoint s = view_.toScreen(pos);
    return {s.x, s.y};
}

void OverviewMap::drawDots(QPainter& p, const RaceScene& scene) const {
    if (!scene.frame || !scene.options) return;
    const FrameState& fs = *scene.frame;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int k = 1; k <= std::min(fs.boatCount, kMaxBoats); ++k) {
        const BoatFrame& bf = fs.Boats[k];
        if (!bf.visible) continue;
        const QPointF c = dotPosition({bf.lat, bf.lon});
        const QRectF r(c.x() - kDotHalf, c.y() - kDotHalf, 2 * kDotHalf + 1, 2 * kDotHalf + 1);
        p.fillRect(r, toQColor(scene.options->BoatColour[k]));
        p.setPen(Qt::white);
        p.drawRect(r);
    }
    p.restore();
}

void OverviewMap::drawPreview(QPainter& p, const RaceScene& scene,
                              const FrameLayout& layout) const {
    if (!scene.options) return;
    for (const PreviewDot& d : layout.preview) {
        const QPointF c = dotPosition(d.at);
        const QRectF dot(c.x() - kDotHalf, c.y() - kDotHalf, 2 * kDotHalf + 1, 2 * kDotHalf + 1);
        p.fillRect(dot, toQColor(scene.options->BoatColour[std::clamp(d.boat, 0, kMaxBoats)]));
        p.setPen(Qt::white);
        p.drawRect(dot);
    }
}

}  // namespace brisko
