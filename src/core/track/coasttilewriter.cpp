// Coastline tile writer: cuts WGS 84 shoreline polylines at the borders of the second-level
// squares and writes each piece as an "L" polyline of its square. Used by brisko-coastline.
#include "track/coasttilewriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace brisko {

namespace {

constexpr int kStepsPerBand = 8;  // second-level squares along each side of a first-level one

using Square = std::pair<long long, long long>;  // row, column counted from 0 N and 100 E

Square squareOf(double lat, double lon) {
    return {static_cast<long long>(std::floor(lat / kSquareLatMinutes)),
            static_cast<long long>(std::floor((lon - kBandLonOriginMinutes) / kSquareLonMinutes))};
}

long long floorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Splits a polyline into pieces each inside one square: a piece that leaves its square ends on
// the border and the next piece starts at the same point.
void splitAtSquares(const CoastPolyline& pts, std::map<Square, std::vector<CoastPolyline>>& out) {
    CoastPolyline cur{pts.front()};
    Square curSq = squareOf(pts.front().lat, pts.front().lon);
    auto at = [](const CoastPoint& a, const CoastPoint& b, double t) {
        return CoastPoint{a.lat + (b.lat - a.lat) * t, a.lon + (b.lon - a.lon) * t};
    };
    for (size_t k = 1; k < pts.size(); ++k) {
        const CoastPoint a = pts[k - 1], b = pts[k];
        std::vector<double> ts{0.0, 1.0};
        auto crossings = [&](double pa, double pb, double size, double origin) {
            if (pa == pb) return;
            const double lo = std::min(pa, pb), hi = std::max(pa, pb);
            for (double e = origin + (std::floor((lo - origin) / size) + 1) * size; e < hi;
                 e += size) {
                const double t = (e - pa) / (pb - pa);
                if (t > 0 && t < 1) ts.push_back(t);
            }
        };
        crossings(a.lat, b.lat, kSquareLatMinutes, 0.0);
        crossings(a.lon, b.lon, kSquareLonMinutes, kBandLonOriginMinutes);
        std::sort(ts.begin(), ts.end());
        for (size_t i = 1; i < ts.size(); ++i) {
            const CoastPoint mid = at(a, b, (ts[i - 1] + ts[i]) / 2);
            const Square sq = squareOf(mid.lat, mid.lon);
            if (sq != curSq) {
                if (cur.size() >= 2) out[curSq].push_back(std::move(cur));
                cur = {at(a, b, ts[i - 1])};
                curSq = sq;
            }
            cur.push_back(at(a, b, ts[i]));
        }
    }
    if (cur.size() >= 2) out[curSq].push_back(std::move(cur));
}

std::string slot(long x, long y) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%5ld%5ld", x, y);
    return buf;
}

long offset(double v) {
    return std::clamp(std::lround(v * kSquareUnits), 0L, static_cast<long>(kSquareUnits));
}

}  // namespace

std::vector<CoastPolyline> readGmtSegments(std::string_view text, const std::vector<int>& levels,
                                           int* badLines) {
    std::vector<CoastPolyline> segs;
    CoastPolyline cur;
    bool keep = true;
    auto close = [&] {
        if (keep && !cur.empty()) segs.push_back(std::move(cur));
        cur.clear();
    };
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '>') {
            close();
            keep = true;
            const size_t lv = line.find("Level");
            if (lv != std::string_view::npos) {
                size_t i = lv + 5;
                while (i < line.size() && line[i] == ' ') ++i;
                int level = 0;
                const auto [p, ec] =
                    std::from_chars(line.data() + i, line.data() + line.size(), level);
                if (ec == std::errc() && p != line.data() + i)
                    keep = std::find(levels.begin(), levels.end(), level) != levels.end();
            }
            continue;
        }
        double v[2];
        size_t i = 0;
        bool ok = true;
        for (double& x : v) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
            const auto [p, ec] = std::from_chars(line.data() + i, line.data() + line.size(), x);
            if (ec != std::errc() || p == line.data() + i || !std::isfinite(x)) ok = false;
            i = static_cast<size_t>(p - line.data());
            if (!ok) break;
        }
        if (!ok || std::abs(v[1]) > 90 || std::abs(v[0]) > 360) {
            if (badLines) ++*badLines;
            continue;
        }
        cur.push_back({v[1] * 60.0, v[0] * 60.0});
    }
    close();
    return segs;
}

std::string makeCoastTile(const std::vector<CoastPolyline>& polylines, int latBand, int lonBand) {
    std::map<Square, std::vector<CoastPolyline>> squares;
    for (const CoastPolyline& line : polylines) {
        // Repeated points carry no shape.
        CoastPolyline pts;
        for (const CoastPoint& p : line)
            if (pts.empty() || p.lat != pts.back().lat || p.lon != pts.back().lon) pts.push_back(p);
        if (pts.size() >= 2) splitAtSquares(pts, squares);
    }
    std::string out;
    for (const auto& [sq, pieces] : squares) {
        const long long pp = floorDiv(sq.first, kStepsPerBand);
        const long long uu = floorDiv(sq.second, kStepsPerBand);
        if (pp != latBand || uu != lonBand) continue;
        const int q = static_cast<int>(sq.first - pp * kStepsPerBand);
        const int v = static_cast<int>(sq.second - uu * kStepsPerBand);
        if (out.empty()) out = std::string(kCoastWgsMarker) + "\r\n";
        char head[64];
        if (coastBandsHaveSquareCode(latBand, lonBand))
            std::snprintf(head, sizeof head, "M %02d%02d%d%d", latBand, lonBand, q, v);
        else
            std::snprintf(head, sizeof head, "N %d %d %d %d", latBand, lonBand, q, v);
        out += head;
        out += "\r\n";
        const double south = static_cast<double>(sq.first) * kSquareLatMinutes;
        const double west =
            kBandLonOriginMinutes + static_cast<double>(sq.second) * kSquareLonMinutes;
        for (const CoastPolyline& piece : pieces) {
            // Columns 1-49 carry nothing the reader needs; the count sits in columns 50-55.
            char count[16];
            std::snprintf(count, sizeof count, "%6zu", piece.size());
            out += "L" + std::string(48, ' ') + count + "\r\n";
            std::string row;
            int inRow = 0;
            for (const CoastPoint& p : piece) {
                row += slot(offset((p.lon - west) / kSquareLonMinutes),
                            offset((p.lat - south) / kSquareLatMinutes));
                if (++inRow == kCoastSlotsPerLine) {
                    out += row + "\r\n";
                    row.clear();
                    inRow = 0;
                }
            }
            if (inRow > 0) {
                // Padding on the last point line; not points.
                while (inRow++ < kCoastSlotsPerLine) row += slot(0, 0);
                out += row + "\r\n";
            }
        }
    }
    return out;
}

}  // namespace brisko
