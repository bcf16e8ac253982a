#include "drawing/FormatoEtiqueta.h"

#include "common/Decimal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

std::string FormatoEtiqueta(double x, int32_t digitos, int32_t precision)
{
    const int D = digitos < 2 ? 2 : (digitos > 18 ? 18 : digitos);
    const int P = (precision < 0 || precision > 4) ? 0 : precision;

    if (std::isinf(x))
        return x < 0 ? "-INF" : "INF";
    if (std::isnan(x))
        return "NAN";

    // |x| to 18 significant digits, then rounded half up to D of them. Every
    // label and every number the tool prints comes here, so no allocation and
    // no printf: to_chars gives the same correctly rounded digits as "%.17e".
    char dig[20];
    int n = 0;
    int E = 0;
    if (x != 0.0) {
        char buf[64];
        *std::to_chars(buf, buf + sizeof buf - 1, std::fabs(x), std::chars_format::scientific, 17).ptr = '\0';
        // buf: d.ddddddddddddddddde[+-]XX
        dig[0] = buf[0];
        for (int i = 2; i < 19; ++i)
            dig[i - 1] = buf[i];
        dig[18] = '\0'; // with 18 digits asked for, nothing is dropped
        E = std::atoi(buf + 20) + 1;
        const bool arriba = dig[D] >= '5';
        n = D;
        if (arriba) {
            int i = D - 1;
            while (i >= 0 && dig[i] == '9') {
                dig[i] = '0';
                --i;
            }
            if (i < 0) {
                // 99.95 -> 100: one more digit in front, the last one dropped.
                for (int k = D - 1; k > 0; --k)
                    dig[k] = dig[k - 1];
                dig[0] = '1';
                ++E;
            } else {
                ++dig[i];
            }
        }
        while (n > 0 && dig[n - 1] == '0')
            --n;
        if (n == 0)
            E = 0;
    }

    const char sep = SeparadorDecimal();
    std::string r;
    r.reserve(static_cast<size_t>(n + 12));
    if (x < 0 && n > 0)
        r += '-';
    if (E > D || E < -3) {
        r += dig[0];
        if (n > 1) {
            r += sep;
            r.append(dig + 1, static_cast<size_t>(n - 1));
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
            r.append(static_cast<size_t>(-E), '0');
            r.append(dig, static_cast<size_t>(n));
        }
    } else {
        for (int i = 0; i < E; ++i)
            r += i < n ? dig[i] : '0';
        if (n > E) {
            r += sep;
            r.append(dig + E, static_cast<size_t>(n - E));
        }
    }
    return r;
}
