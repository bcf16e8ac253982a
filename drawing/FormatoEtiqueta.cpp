#include "drawing/FormatoEtiqueta.h"

#include "common/Decimal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string FormatoEtiqueta(double x, int32_t digitos, int32_t precision)
{
    const int D = digitos < 2 ? 2 : (digitos > 18 ? 18 : digitos);
    const int P = (precision < 0 || precision > 4) ? 0 : precision;

    if (std::isinf(x))
        return x < 0 ? "-INF" : "INF";
    if (std::isnan(x))
        return "NAN";

    // |x| to 18 significant digits, then rounded half up to D of them.
    std::string dig;
    int E = 0;
    if (x != 0.0) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17e", std::fabs(x));
        // buf: d.ddddddddddddddddde[+-]XX
        dig += buf[0];
        for (int i = 2; i < 19; ++i)
            dig += buf[i];
        E = std::atoi(buf + 20) + 1;
        const bool arriba = dig[D] >= '5';
        dig.resize(D);
        if (arriba) {
            int i = D - 1;
            while (i >= 0 && dig[i] == '9') {
                dig[i] = '0';
                --i;
            }
            if (i < 0) {
                dig.insert(dig.begin(), '1');
                dig.pop_back();
                ++E;
            } else {
                ++dig[i];
            }
        }
        while (!dig.empty() && dig.back() == '0')
            dig.pop_back();
        if (dig.empty())
            E = 0;
    }

    const char sep = SeparadorDecimal();
    const int n = static_cast<int>(dig.size());
    std::string r;
    if (x < 0 && n > 0)
        r += '-';
    if (E > D || E < -3) {
        r += dig[0];
        if (n > 1) {
            r += sep;
            r.append(dig, 1, std::string::npos);
        }
        r += 'E';
        const int e = E - 1;
        if (e < 0)
            r += '-';
        std::string ex = std::to_string(std::abs(e));
        while (static_cast<int>(ex.size()) < P)
            ex.insert(ex.begin(), '0');
        r += ex;
    } else if (E <= 0) {
        r += '0';
        if (n > 0) {
            r += sep;
            r.append(-E, '0');
            r += dig;
        }
    } else {
        for (int i = 0; i < E; ++i)
            r += i < n ? dig[i] : '0';
        if (n > E) {
            r += sep;
            r.append(dig, E, std::string::npos);
        }
    }
    return r;
}
