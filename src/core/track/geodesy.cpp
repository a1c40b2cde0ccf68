// Geodesy for the chart: metric factors at the race's latitude and the Tokyo -> WGS datum shift.
// Used by the track loader (factors) and the coastline loader (datum shift).
#include "track/geodesy.h"

#include <cmath>

#include "util/angles.h"
#include "util/units.h"

namespace brisko {

namespace {

double eccentricitySquared(double inverseFlattening) {
    const double f = 1.0 / inverseFlattening;
    return 2.0 * f - f * f;
}

}  // namespace

GeoFactors getCodeLength(double centerLatMinutes) {
    GeoFactors g;
    g.DegRad = kDegToRad;
    const double e2 = eccentricitySquared(kWgsInverseFlattening);
    const double phi = centerLatMinutes / kMinutesPerDegree;
    const double s = std::sin(phi * g.DegRad);
    const double w = 1.0 - e2 * s * s;
    const double m = kFactorSemiMajorAxis / std::pow(w, 1.5);
    const double n = kFactorSemiMajorAxis / std::sqrt(w);
    g.MPerMinLat = (g.DegRad / kMinutesPerDegree) * m * (1.0 - e2) * kLatMetresCorrection;
    g.MPerMinLon =
        (g.DegRad / kMinutesPerDegree) * n * std::cos(phi * g.DegRad) * kLonMetresCorrection;
    return g;
}

void tokyoToWgs(double latMin, double lonMin, double& outLatMin, double& outLonMin) {
    const double rad = kDegToRad;
    const double e2 = eccentricitySquared(kBesselInverseFlattening);
    const double e2Wgs = eccentricitySquared(kWgsInverseFlattening);
    const double phi = latMin / kMinutesPerDegree * rad;
    const double lambda = lonMin / kMinutesPerDegree * rad;
    const double h = 0.0;

    const double sinPhi = std::sin(phi);
    const double n = kBesselSemiMajorAxis / std::sqrt(1.0 - e2 * sinPhi * sinPhi);
    const double x = (n + h) * std::cos(phi) * std::cos(lambda) + kTokyoShiftX;
    const double y = (n + h) * std::cos(phi) * std::sin(lambda) + kTokyoShiftY;
    const double z = (n * (1.0 - e2) + h) * sinPhi + kTokyoShiftZ;

    // The longitude from both axis components and the distance from the axis as their
    // hypotenuse: the same values as arctangent(Y/X) folded into 0..180 and Y / sin(lambda) for
    // eastern longitudes, without the division by zero on the prime meridian.
    const double lambdaOut = std::atan2(y, x);
    const double p = std::hypot(x, y);
    // A single step on the latitude (height taken as zero on the new ellipsoid).
    const double phiOut = std::atan2(z / (1.0 - e2Wgs), p);

    outLatMin = phiOut / rad * kMinutesPerDegree;
    outLonMin = lambdaOut / rad * kMinutesPerDegree;
}

void wgsToTokyo(double latMin, double lonMin, double& outLatMin, double& outLonMin) {
    double lat = latMin, lon = lonMin;
    for (int i = 0; i < 20; ++i) {
        double fLat = 0, fLon = 0;
        tokyoToWgs(lat, lon, fLat, fLon);
        const double dLat = latMin - fLat, dLon = lonMin - fLon;
        lat += dLat;
        lon += dLon;
        if (std::fabs(dLat) < 1e-10 && std::fabs(dLon) < 1e-10) break;
    }
    outLatMin = lat;
    outLonMin = lon;
}

}  // namespace brisko
