// The generator's own elementary functions. The C library's sin, exp, pow,
// atan2 and the like may give a last bit that differs between processors
// and library versions, and the generated data would then differ too. These
// use nothing but additions, multiplications, divisions, square roots and
// exact scalings by powers of two, which IEEE 754 rounds the same way
// everywhere (with floating-point contraction off, as the generator is
// built), so they give the same bits on every machine.
//
// Each works in double precision to within a few units in the last place of
// a double. The float overloads work in double precision too, with series
// cut shorter (their error stays some thousand times below a float's last
// place), and round the result once.
#pragma once

#include <cmath>

namespace scenegen {

constexpr double PiD = 3.14159265358979323846;

namespace maths {

// Pi / 2 in three parts, each exact in a double with room to spare, so that
// x - k * (pi / 2) loses nothing for |x| up to about 1e9.
constexpr double HalfPi1 = 1.57079632673412561417e+00;
constexpr double HalfPi2 = 6.07710050630396597660e-11;
constexpr double HalfPi3 = 2.02226624879595063154e-21;
constexpr double Ln2Hi = 6.93147180369123816490e-01; // low bits clear: k * Ln2Hi is exact
constexpr double Ln2Lo = 1.90821492927058770002e-10;

// x - k * pi / 2 with |result| <= pi / 4 (a little more for huge x); k's
// lowest two bits pick the quadrant.
inline double ReduceQuarter(double x, long long& k) {
    const double q = std::nearbyint(x * (2.0 / PiD));
    k = (long long)q;
    return ((x - q * HalfPi1) - q * HalfPi2) - q * HalfPi3;
}

// Taylor series on |r| <= pi / 4, to well below a double's last place.
inline double SinKernel(double r) {
    const double r2 = r * r;
    double p = 1.0 / 355687428096000.0; // 1 / 17!
    p = p * r2 - 1.0 / 1307674368000.0;
    p = p * r2 + 1.0 / 6227020800.0;
    p = p * r2 - 1.0 / 39916800.0;
    p = p * r2 + 1.0 / 362880.0;
    p = p * r2 - 1.0 / 5040.0;
    p = p * r2 + 1.0 / 120.0;
    p = p * r2 - 1.0 / 6.0;
    return r + r * r2 * p;
}
inline double CosKernel(double r) {
    const double r2 = r * r;
    double p = -1.0 / 6402373705728000.0; // -1 / 18!
    p = p * r2 + 1.0 / 20922789888000.0;
    p = p * r2 - 1.0 / 87178291200.0;
    p = p * r2 + 1.0 / 479001600.0;
    p = p * r2 - 1.0 / 3628800.0;
    p = p * r2 + 1.0 / 40320.0;
    p = p * r2 - 1.0 / 720.0;
    p = p * r2 + 1.0 / 24.0;
    return 1.0 - 0.5 * r2 + r2 * r2 * p;
}

// atan on |x| <= 1: halved twice (atan x = 2 atan(x / (1 + sqrt(1 + x^2))))
// to |x| <= 0.2, then its series.
inline double AtanKernel(double x) {
    for (int i = 0; i < 2; ++i)
        x = x / (1.0 + std::sqrt(1.0 + x * x));
    const double x2 = x * x;
    double p = 0.0;
    for (int n = 25; n >= 3; n -= 2)
        p = p * x2 + ((n / 2) % 2 ? -1.0 : 1.0) / double(n);
    return 4.0 * (x + x * x2 * p);
}

// The float overloads' series, each to well below a float's last place.
inline double SinKernelF(double r) {
    const double r2 = r * r;
    double p = -1.0 / 39916800.0; // -1 / 11!
    p = p * r2 + 1.0 / 362880.0;
    p = p * r2 - 1.0 / 5040.0;
    p = p * r2 + 1.0 / 120.0;
    p = p * r2 - 1.0 / 6.0;
    return r + r * r2 * p;
}
inline double CosKernelF(double r) {
    const double r2 = r * r;
    double p = 1.0 / 479001600.0; // 1 / 12!
    p = p * r2 - 1.0 / 3628800.0;
    p = p * r2 + 1.0 / 40320.0;
    p = p * r2 - 1.0 / 720.0;
    p = p * r2 + 1.0 / 24.0;
    return 1.0 - 0.5 * r2 + r2 * r2 * p;
}
// atan on |x| <= 1, halved once to |x| <= 0.42.
inline double AtanKernelF(double x) {
    x = x / (1.0 + std::sqrt(1.0 + x * x));
    const double x2 = x * x;
    double p = 0.0;
    for (int n = 21; n >= 3; n -= 2)
        p = p * x2 + ((n / 2) % 2 ? -1.0 : 1.0) / double(n);
    return 2.0 * (x + x * x2 * p);
}

} // namespace maths

inline double Sin(double x) {
    long long k = 0;
    const double r = maths::ReduceQuarter(x, k);
    switch (k & 3) {
    case 0:
        return maths::SinKernel(r);
    case 1:
        return maths::CosKernel(r);
    case 2:
        return -maths::SinKernel(r);
    default:
        return -maths::CosKernel(r);
    }
}

inline double Cos(double x) {
    long long k = 0;
    const double r = maths::ReduceQuarter(x, k);
    switch (k & 3) {
    case 0:
        return maths::CosKernel(r);
    case 1:
        return -maths::SinKernel(r);
    case 2:
        return -maths::CosKernel(r);
    default:
        return maths::SinKernel(r);
    }
}

inline double Tan(double x) {
    return Sin(x) / Cos(x);
}

namespace maths {

// e^x by a series of `terms` terms after reduction to |r| <= 0.35.
inline double ExpSeries(double x, int terms) {
    if (x > 709.0) return HUGE_VAL;
    if (x < -745.0) return 0.0;
    const double k = std::nearbyint(x * 1.44269504088896340736);
    const double r = (x - k * Ln2Hi) - k * Ln2Lo; // |r| <= 0.35
    double p = 1.0;
    for (int n = terms; n >= 1; --n)
        p = 1.0 + p * r / double(n);
    return std::ldexp(p, int(k));
}

// ln x (NaN below 0, minus infinity at 0) by the series of atanh up to the
// power `last` after reduction to a mantissa in [0.71, 1.41).
inline double LogSeries(double x, int last) {
    if (!(x > 0.0)) return x == 0.0 ? -HUGE_VAL : NAN;
    if (std::isinf(x)) return x;
    int e = 0;
    double m = std::frexp(x, &e); // 0.5 <= m < 1
    if (m < 0.70710678118654752440) m *= 2.0, --e;
    const double s = (m - 1.0) / (m + 1.0), s2 = s * s; // |s| <= 0.172
    double p = 0.0;
    for (int n = last; n >= 3; n -= 2)
        p = p * s2 + 1.0 / double(n);
    return double(e) * Ln2Hi + (2.0 * s + 2.0 * s * s2 * p + double(e) * Ln2Lo);
}

} // namespace maths

inline double Exp(double x) {
    return maths::ExpSeries(x, 14);
}

// Natural logarithm; NaN below 0, minus infinity at 0.
inline double Log(double x) {
    return maths::LogSeries(x, 23);
}

// x to the power y, for x >= 0 (and whole y for x < 0).
inline double Pow(double x, double y) {
    if (y == 0.0) return 1.0;
    if (x == 0.0) return y > 0.0 ? 0.0 : HUGE_VAL;
    if (x < 0.0) {
        if (std::nearbyint(y) != y) return NAN;
        const double v = Exp(y * Log(-x));
        return std::fmod(y, 2.0) != 0.0 ? -v : v;
    }
    return Exp(y * Log(x));
}

inline double Atan(double x) {
    if (std::isnan(x)) return x;
    if (x > 1.0) return 0.5 * PiD - maths::AtanKernel(1.0 / x);
    if (x < -1.0) return -0.5 * PiD - maths::AtanKernel(1.0 / x);
    return maths::AtanKernel(x);
}

// The angle of (x, y) from the x axis, -pi..pi, as atan2(y, x).
inline double Atan2(double y, double x) {
    if (x == 0.0 && y == 0.0) return std::signbit(x) ? (std::signbit(y) ? -PiD : PiD) : y;
    if (std::fabs(y) <= std::fabs(x)) {
        const double a = maths::AtanKernel(y / x);
        if (x > 0.0) return a;
        return y < 0.0 || (y == 0.0 && std::signbit(y)) ? a - PiD : a + PiD;
    }
    const double a = maths::AtanKernel(x / y);
    return y > 0.0 ? 0.5 * PiD - a : -0.5 * PiD - a;
}

inline double Asin(double x) {
    if (std::fabs(x) > 1.0) return NAN;
    return Atan2(x, std::sqrt((1.0 - x) * (1.0 + x)));
}

inline double Hypot(double x, double y) {
    return std::sqrt(x * x + y * y);
}

inline float Sin(float x) {
    long long k = 0;
    const double r = maths::ReduceQuarter(double(x), k);
    const double v = (k & 1) ? maths::CosKernelF(r) : maths::SinKernelF(r);
    return float((k & 2) ? -v : v);
}
inline float Cos(float x) {
    long long k = 0;
    const double r = maths::ReduceQuarter(double(x), k);
    const double v = (k & 1) ? maths::SinKernelF(r) : maths::CosKernelF(r);
    return float(((k + 1) & 2) ? -v : v);
}
inline float Tan(float x) {
    return float(Tan(double(x)));
}
inline float Exp(float x) {
    return float(maths::ExpSeries(double(x), 10));
}
inline float Log(float x) {
    return float(maths::LogSeries(double(x), 13));
}
inline float Pow(float x, float y) {
    if (y == 0.0f) return 1.0f;
    if (x == 0.0f) return y > 0.0f ? 0.0f : HUGE_VALF;
    if (x < 0.0f) return float(Pow(double(x), double(y)));
    return float(maths::ExpSeries(double(y) * maths::LogSeries(double(x), 13), 10));
}
inline float Atan(float x) {
    return float(Atan(double(x)));
}
inline float Atan2(float y, float x) {
    if (x == 0.0f || y == 0.0f || std::isnan(x) || std::isnan(y)) return float(Atan2(double(y), double(x)));
    const double dy = y, dx = x;
    if (std::fabs(dy) <= std::fabs(dx)) {
        const double a = maths::AtanKernelF(dy / dx);
        return float(dx > 0.0 ? a : (dy < 0.0 ? a - PiD : a + PiD));
    }
    const double a = maths::AtanKernelF(dx / dy);
    return float(dy > 0.0 ? 0.5 * PiD - a : -0.5 * PiD - a);
}
inline float Asin(float x) {
    return float(Asin(double(x)));
}
inline float Hypot(float x, float y) {
    return float(Hypot(double(x), double(y)));
}

} // namespace scenegen
