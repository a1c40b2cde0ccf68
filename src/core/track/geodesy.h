// Geodesy for the chart: metres per minute of arc at the race's latitude, and the shift of a
// position from the old Tokyo datum (coastline data) to the WGS datum of the GPS tracks.
#pragma once

namespace brisko {

// Reference ellipsoid used for the metric factors (semi-major axis a little short of WGS-84's).
constexpr double kFactorSemiMajorAxis = 6378136.0;
constexpr double kWgsInverseFlattening = 298.257222101;
// The fixed corrections applied to the two metric factors.
constexpr double kLatMetresCorrection = 0.99854;
constexpr double kLonMetresCorrection = 0.99794;

// Tokyo datum (Bessel ellipsoid) and its three-parameter geocentric shift to WGS.
constexpr double kBesselSemiMajorAxis = 6377397.155;
constexpr double kBesselInverseFlattening = 299.152813;
constexpr double kTokyoShiftX = -148.0;  // metres
constexpr double kTokyoShiftY = 508.0;
constexpr double kTokyoShiftZ = 680.0;

struct GeoFactors {
    double DegRad = 0, MPerMinLat = 0, MPerMinLon = 0;
};

// Radians per degree and metres per minute of latitude and of longitude at the given latitude
// (minutes of arc, north positive). The track loader calls it for the tracks' centre.
GeoFactors getCodeLength(double centerLatMinutes);

// Converts a position (minutes of arc) given in the Tokyo datum to the WGS datum.
void tokyoToWgs(double latMin, double lonMin, double& outLatMin, double& outLonMin);

// The inverse of tokyoToWgs, found by fixed-point iteration on the forward shift; agrees with
// it to well below a millimetre. Used when coastline data in WGS are written in Tokyo datum.
void wgsToTokyo(double latMin, double lonMin, double& outLatMin, double& outLonMin);

}  // namespace brisko
