#include "analysis/Riesgo.h"

#include <cmath>
#include <limits>

double EquivalenteCierto(const Lance* lances, size_t n, double r)
{
    // Work relative to the worst outcome m: every exponent (m - x) / r is at
    // most 0, so nothing overflows, and the expm1/log1p pair keeps the small
    // differences a large r makes:
    //   CE = m - r * ln(sum q * exp((m - x) / r)) = m - r * log1p(sum q * expm1((m - x) / r)),
    // with q = p / W and W the sum of the probabilities.
    long double peso = 0;
    long double peor = 0;
    bool alguno = false;
    for (size_t i = 0; i < n; ++i) {
        const double p = lances[i].Probabilidad;
        if (p < 0 || std::isnan(p))
            return std::numeric_limits<double>::quiet_NaN();
        if (p == 0)
            continue;
        peso += p;
        if (!alguno || lances[i].Valor < peor)
            peor = lances[i].Valor;
        alguno = true;
    }
    if (!alguno)
        return 0;
    // Long double: (m - x) / r stays finite even for r among the smallest doubles.
    // Two forms of the same sum: near 1 (a large r) its distance from 1 keeps the
    // precision; far below 1 (a small r) the sum itself does, as it never falls
    // under the worst branch's share.
    long double t = 0, s = 0;
    for (size_t i = 0; i < n; ++i) {
        const double p = lances[i].Probabilidad;
        if (p == 0)
            continue;
        const long double q = p / peso;
        const long double d = (peor - lances[i].Valor) / static_cast<long double>(r);
        t += q * std::expm1(d);
        s += q * std::exp(d);
    }
    const long double logaritmo = s < 0.5L ? std::log(s) : std::log1p(t);
    const long double equivalente = peor - static_cast<long double>(r) * logaritmo;
    return static_cast<double>(peso * equivalente);
}
