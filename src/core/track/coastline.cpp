// Coastline files: the choice of grid-square files for the race area and the column-layout
// reader that turns their points into one WGS point list. Used by the chart's background.
#include "track/coastline.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "track/geodesy.h"
#include "util/numbers.h"

namespace brisko {

namespace {

// Columns (0-based here) of the square code on an "M" line and of the count on an "L" line.
constexpr size_t kSquareCodeColumn = 2;
constexpr size_t kSquareCodeWidth = 6;
constexpr size_t kPointCountColumn = 49;
constexpr size_t kPointCountWidth = 6;
constexpr size_t kOffsetWidth = 5;
// An area reaching beyond the poles or half way round the globe is held at these limits.
constexpr double kMaxLatMinutes = 90 * 60.0;
constexpr double kMaxLonMinutes = 180 * 60.0;

std::string_view columns(std::string_view line, size_t from, size_t width) {
    if (from >= line.size()) return {};
    return line.substr(from, width);
}

// The whole part of a band value, or false when the value is not a usable number.
bool bandOf(double minutes, double limit, double bandMinutes, double origin, int& band) {
    if (std::isnan(minutes)) return false;
    minutes = std::clamp(minutes, -limit, limit);
    band = static_cast<int>(std::floor(minutes / bandMinutes) - origin);
    return true;
}

void edgesOf(int latBand, int lonBand, int q, int v, double& south, double& west) {
    south = latBand * kBandLatMinutes + q * kSquareLatMinutes;
    west = lonBand * kBandLonMinutes + kBandLonOriginMinutes + v * kSquareLonMinutes;
}

// South and west edges of a second-level square from its six-digit code "ppuuqv".
bool squareEdges(std::string_view code, double& south, double& west) {
    if (code.size() != kSquareCodeWidth) return false;
    int d[kSquareCodeWidth];
    for (size_t i = 0; i < kSquareCodeWidth; ++i) {
        if (code[i] < '0' || code[i] > '9') return false;
        d[i] = code[i] - '0';
    }
    edgesOf(d[0] * 10 + d[1], d[2] * 10 + d[3], d[4], d[5], south, west);
    return true;
}

// South and west edges from an "N" line: "N <latBand> <lonBand> <q> <v>", signed whole numbers
// apart by blanks. False for anything else, so that a damaged line reads no points.
bool extendedSquareEdges(std::string_view line, double& south, double& west) {
    constexpr int kMaxBand = 1000;  // far beyond the globe's bands; keeps the edges finite
    int v[4];
    size_t at = 1;
    for (int& value : v) {
        if (at >= line.size() || (line[at] != ' ' && line[at] != '\t')) return false;
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        const char* first = line.data() + at;
        const char* last = line.data() + line.size();
        if (first < last && *first == '+') ++first;  // from_chars takes no plus sign
        const auto [ptr, ec] = std::from_chars(first, last, value);
        if (ec != std::errc() || ptr == first) return false;
        at = static_cast<size_t>(ptr - line.data());
    }
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at != line.size()) return false;
    if (std::abs(v[0]) > kMaxBand || std::abs(v[1]) > kMaxBand) return false;
    if (v[2] < 0 || v[2] > 7 || v[3] < 0 || v[3] > 7) return false;
    edgesOf(v[0], v[1], v[2], v[3], south, west);
    return true;
}

// A "W" line: true when it names WGS 84 (the one datum besides the Tokyo datum).
bool namesWgs(std::string_view line) {
    line.remove_prefix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    return line == kCoastWgsMarker.substr(2);
}

// A 5-column offset: blanks and digits are read directly; anything else goes through the
// leading-number conversion (blank or non-numeric text reads as 0).
double offsetValue(std::string_view field) {
    int v = 0;
    size_t i = 0;
    while (i < field.size() && field[i] == ' ') ++i;
    if (i == field.size()) return 0;
    for (size_t k = i; k < field.size(); ++k) {
        const char c = field[k];
        if (c < '0' || c > '9') return numericPrefix(field);
        v = v * 10 + (c - '0');
    }
    return v;
}

// The Tokyo -> WGS shift over one second-level square. The shift changes by less than a
// millimetre per kilometre, so it is taken exactly at the square's four corners and
// interpolated in between (error far below the data's 1/10000-square resolution); this keeps
// the trigonometry out of the per-point loop.
// A square of a WGS 84 tile keeps its points as they are.
struct SquareShift {
    double south = 0, west = 0;
    bool wgs = false;
    double dLat[4] = {0, 0, 0, 0}, dLon[4] = {0, 0, 0, 0};  // SW, SE, NW, NE

    SquareShift() = default;
    SquareShift(double s, double w, bool inWgs) : south(s), west(w), wgs(inWgs) {
        if (wgs) return;
        const double lats[4] = {s, s, s + kSquareLatMinutes, s + kSquareLatMinutes};
        const double lons[4] = {w, w + kSquareLonMinutes, w, w + kSquareLonMinutes};
        for (int i = 0; i < 4; ++i) {
            double lat = 0, lon = 0;
            tokyoToWgs(lats[i], lons[i], lat, lon);
            dLat[i] = lat - lats[i];
            dLon[i] = lon - lons[i];
        }
    }

    // x, y: east and north offsets in 1/10000 of the square.
    void toWgs(double x, double y, double& lat, double& lon) const {
        const double fx = x / kSquareUnits, fy = y / kSquareUnits;
        const double tokyoLat = south + fy * kSquareLatMinutes;
        const double tokyoLon = west + fx * kSquareLonMinutes;
        if (wgs) {
            lat = tokyoLat;
            lon = tokyoLon;
            return;
        }
        if (fx < -1 || fx > 2 || fy < -1 || fy > 2) {
            // Far outside its square (damaged data): convert the point on its own.
            tokyoToWgs(tokyoLat, tokyoLon, lat, lon);
            return;
        }
        auto mix = [&](const double* d) {
            return (d[0] * (1 - fx) + d[1] * fx) * (1 - fy) + (d[2] * (1 - fx) + d[3] * fx) * fy;
        };
        lat = tokyoLat + mix(dLat);
        lon = tokyoLon + mix(dLon);
    }
};

}  // namespace

void CoastLine::clear() {
    capacity = 100;
    CoastCount = 0;
    CoastLat.assign(capacity + 1, 0.0);
    CoastLon.assign(capacity + 1, 0.0);
    CoastStart.assign(capacity + 1, 0);
}

void CoastLine::append(double lat, double lon, bool start) {
    const int n = CoastCount + 1;
    if (n > capacity - 10) capacity = n + 20;
    if (static_cast<int>(CoastLat.size()) < capacity + 1) {
        CoastLat.resize(capacity + 1, 0.0);
        CoastLon.resize(capacity + 1, 0.0);
    }
    if (static_cast<int>(CoastStart.size()) < capacity + 1) CoastStart.resize(capacity + 1, 0);
    CoastLat[n] = lat;
    CoastLon[n] = lon;
    CoastStart[n] = start ? 1 : 0;
    CoastCount = n;
}

bool coastBandsHaveSquareCode(int latBand, int lonBand) {
    return latBand >= 0 && latBand <= 99 && lonBand >= 0 && lonBand <= 99;
}

std::string coastTileName(int latBand, int lonBand) {
    if (coastBandsHaveSquareCode(latBand, lonBand))
        return std::to_string(latBand) + std::to_string(lonBand);
    return std::to_string(latBand) + (lonBand < 0 ? "" : "+") + std::to_string(lonBand);
}

std::vector<CoastBand> coastTileBands(double centerLat, double centerLon, double trackSpan,
                                      double lonFactor) {
    std::vector<CoastBand> bands;
    const double half = trackSpan / 2;
    if (!std::isfinite(centerLat) || !std::isfinite(centerLon) || !(lonFactor > 0)) return bands;
    int south = 0, north = 0, west = 0, east = 0;
    if (!bandOf(centerLat - half, kMaxLatMinutes, kBandLatMinutes, 0, south) ||
        !bandOf(centerLat + half, kMaxLatMinutes, kBandLatMinutes, 0, north) ||
        !bandOf(centerLon - half / lonFactor, kMaxLonMinutes, kBandLonMinutes,
                kBandLonOriginDegrees, west) ||
        !bandOf(centerLon + half / lonFactor, kMaxLonMinutes, kBandLonMinutes,
                kBandLonOriginDegrees, east)) {
        return bands;
    }
    for (int lat = south; lat <= north; ++lat) {
        for (int lon = west; lon <= east; ++lon) {
            // The list holds 20 names; an area that needs more keeps the first 20.
            if (static_cast<int>(bands.size()) >= kMaxCoastTiles) return bands;
            bands.push_back({lat, lon});
        }
    }
    return bands;
}

int chooseCoastTiles(double centerLat, double centerLon, double trackSpan, double lonFactor,
                     RaceDefinition& def) {
    def.CoastTileCount = 0;
    for (auto& t : def.CoastTiles) t.clear();
    for (const CoastBand& b : coastTileBands(centerLat, centerLon, trackSpan, lonFactor))
        def.CoastTiles[++def.CoastTileCount] = coastTileName(b.latBand, b.lonBand);
    return def.CoastTileCount;
}

CoastWindow coastDrawingWindow(double centerLat, double centerLon, double trackSpan,
                               double lonFactor) {
    return {centerLat - trackSpan, centerLat + trackSpan, centerLon - trackSpan / lonFactor,
            centerLon + trackSpan / lonFactor};
}

void readCoastlineText(std::string_view text, const CoastWindow& window, CoastLine& out) {
    if (out.CoastLat.size() < 2) out.clear();
    bool wanted = false;
    bool wgs = false;  // set by the WGS 84 marker for the squares after it
    SquareShift shift;
    long long pointCount = 0;  // N of the current polyline
    long long counter = 0;     // points of the current polyline seen so far
    bool startPending = false;

    // A byte-order mark left by a text editor would hide the first "M" line.
    size_t pos = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (pos < text.size()) {
        // One line, ended by CR LF, LF or a lone CR.
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        const std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;

        if (line.empty()) continue;
        if (line[0] == 'W') {
            if (namesWgs(line)) wgs = true;
            continue;
        }
        if (line[0] == 'M' || line[0] == 'N') {
            double south = 0, west = 0;
            const bool known =
                line[0] == 'M'
                    ? squareEdges(columns(line, kSquareCodeColumn, kSquareCodeWidth), south, west)
                    : extendedSquareEdges(line, south, west);
            wanted = known && south + kSquareLatMinutes > window.south && south < window.north &&
                     west < window.east && west + kSquareLonMinutes > window.west;
            if (wanted) shift = SquareShift(south, west, wgs);
            counter = 0;
            pointCount = 0;  // a square's points always follow an "L" line of their own
            continue;
        }
        if (line[0] == 'L') {
            const double n = numericPrefix(columns(line, kPointCountColumn, kPointCountWidth));
            pointCount = n > 0 ? static_cast<long long>(std::min(n, 1e15)) : 0;
            counter = 0;
            startPending = true;
            continue;
        }
        if (!wanted) continue;
        for (int j = 0; j < kCoastSlotsPerLine; ++j) {
            const size_t at = static_cast<size_t>(j) * kCoastSlotWidth;
            // A slot wholly past the end of a short line holds no point at all; reading it as
            // 0,0 would put a false point on the square's corner.
            if (at >= line.size()) break;
            if (++counter > pointCount) break;
            const double x = offsetValue(columns(line, at, kOffsetWidth));
            const double y = offsetValue(columns(line, at + kOffsetWidth, kOffsetWidth));
            double lat = 0, lon = 0;
            shift.toWgs(x, y, lat, lon);
            if (!std::isfinite(lat) || !std::isfinite(lon)) continue;
            if (startPending) lat = -lat;  // the first point stored opens a new polyline
            out.append(lat, lon, startPending);
            startPending = false;
        }
    }
}

void loadCoastTiles(const std::string& appPath, const CoastWindow& window,
                    const RaceDefinition& def, CoastLine& out) {
    const int count = std::min(def.CoastTileCount, kMaxCoastTiles);
    for (int i = 1; i <= count; ++i) {
        const std::string& name = def.CoastTiles[i];
        // A tile name taken from a race file must not lead out of the coastline folder.
        if (name.empty() || !isPlainFileName(name)) continue;
        const auto path = findPath(appPath, "\\coastline\\" + name + ".cst");
        if (!path || !fileExists(*path)) continue;
        const auto bytes = readFileBytes(*path);
        if (!bytes) continue;
        readCoastlineText(*bytes, window, out);
    }
}

void loadCoastline(const std::string& appPath, double centerLat, double centerLon, double trackSpan,
                   double lonFactor, RaceDefinition& def, CoastLine& out) {
    out.clear();
    chooseCoastTiles(centerLat, centerLon, trackSpan, lonFactor, def);
    loadCoastTiles(appPath, coastDrawingWindow(centerLat, centerLon, trackSpan, lonFactor), def,
                   out);
}

}  // namespace brisko
