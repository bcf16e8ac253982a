#include "common/Decimal.h"

#include "common/Errores.h"

#include <atomic>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale>

namespace {

std::atomic<char> g_separador{'.'};

} // namespace

bool FormaReal(const std::string& t, char sep, std::string& limpio, bool blancosDetras)
{
    size_t i = 0, n = t.size();
    while (i < n && t[i] == ' ')
        ++i;
    while (blancosDetras && n > i && t[n - 1] == ' ')
        --n;
    limpio.clear();
    if (i < n && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-')
            limpio += '-';
        ++i;
    }
    int digitos = 0;
    while (i < n && EsDigito(t[i])) {
        limpio += t[i++];
        ++digitos;
    }
    if (i < n && t[i] == sep) {
        limpio += '.';
        ++i;
        while (i < n && EsDigito(t[i])) {
            limpio += t[i++];
            ++digitos;
        }
    }
    if (digitos == 0)
        return false;
    if (i < n && (t[i] == 'E' || t[i] == 'e')) {
        limpio += 'e';
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            limpio += t[i++];
        int exp = 0;
        while (i < n && EsDigito(t[i])) {
            limpio += t[i++];
            ++exp;
        }
        if (exp == 0)
            return false;
    }
    return i == n;
}

namespace {

enum class Lectura { Bien, Mal, Desborde };

Lectura LeeExtendido(const std::string& texto, long double& v)
{
    std::string limpio;
    if (!FormaReal(texto, SeparadorDecimal(), limpio, true))
        return Lectura::Mal;
    const char* ini = limpio.data();
    const char* fin = ini + limpio.size();
    auto r = std::from_chars(ini, fin, v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small underflows silently to zero; too large cannot be held at all.
        const auto e = limpio.find('e');
        if (e != std::string::npos && e + 1 < limpio.size() && limpio[e + 1] == '-') {
            v = limpio[0] == '-' ? -0.0L : 0.0L;
            return Lectura::Bien;
        }
        return Lectura::Mal;
    }
    if (r.ec != std::errc() || r.ptr != fin)
        return Lectura::Mal;
    return Lectura::Bien;
}

} // namespace

char SeparadorDecimal() { return g_separador.load(std::memory_order_relaxed); }

void FijaSeparadorDecimal(char separador) { g_separador.store(separador, std::memory_order_relaxed); }

char SeparadorDecimalDelEntorno()
{
    const char* nombres[] = {"LC_ALL", "LC_NUMERIC", "LANG"};
    std::string loc;
    for (const char* n : nombres) {
        const char* v = std::getenv(n);
        if (v && *v) {
            loc = v;
            break;
        }
    }
    // The C locale and its UTF-8 forms need no locale files to tell.
    if (loc.empty() || loc == "C" || loc == "POSIX" || loc.rfind("C.", 0) == 0)
        return '.';
    try {
        std::locale l(loc.c_str());
        const char c = std::use_facet<std::numpunct<char>>(l).decimal_point();
        if (c == ',' || c == '.')
            return c;
    } catch (...) {
        // The locale is not generated on this machine: decide by its language.
    }
    const std::string idioma = loc.substr(0, loc.find_first_of("_.@"));
    const std::string pais = loc.find('_') == std::string::npos ? "" : loc.substr(loc.find('_') + 1, 2);
    static const char* const puntos[] = {"en", "ja", "zh", "ko", "he", "th", "hi", "ga", "mt"};
    for (const char* p : puntos)
        if (idioma == p)
            return '.';
    if (idioma == "es" && (pais == "MX" || pais == "US" || pais == "PR" || pais == "GT" || pais == "HN" ||
                           pais == "NI" || pais == "PA" || pais == "SV" || pais == "DO"))
        return '.';
    if (idioma == "de" && (pais == "CH" || pais == "LI"))
        return '.';
    return ',';
}

bool TryStrToFloatExtendido(const std::string& texto, long double& valor)
{
    return LeeExtendido(texto, valor) == Lectura::Bien;
}

bool TryStrToFloat(const std::string& texto, double& valor)
{
    long double v;
    if (LeeExtendido(texto, v) != Lectura::Bien)
        return false;
    if (std::fabs(v) > static_cast<long double>(DBL_MAX))
        return false;
    valor = static_cast<double>(v);
    return true;
}

double StrToFloat(const std::string& texto)
{
    long double v;
    if (LeeExtendido(texto, v) != Lectura::Bien)
        throw EConvertError("'" + texto + "' is not a valid floating point value");
    if (std::fabs(v) > static_cast<long double>(DBL_MAX))
        throw EOverflow();
    return static_cast<double>(v);
}

bool TryStrToInt(const std::string& texto, int32_t& valor) { return LeeEntero(texto, valor, false); }

bool LeeEntero(const std::string& t, int32_t& valor, bool conX)
{
    size_t i = 0;
    const size_t n = t.size();
    while (i < n && t[i] == ' ')
        ++i;
    bool negativo = false;
    if (i < n && (t[i] == '+' || t[i] == '-')) {
        negativo = t[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && (t[i] == '$' || (conX && (t[i] == 'x' || t[i] == 'X')))) {
        hex = true;
        ++i;
    } else if (i + 1 < n && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    uint64_t acum = 0;
    for (; i < n; ++i) {
        const int d = hex ? ValorHex(t[i]) : (EsDigito(t[i]) ? t[i] - '0' : -1);
        if (d < 0)
            return false;
        acum = acum * (hex ? 16 : 10) + static_cast<uint64_t>(d);
        if (acum > 0xFFFFFFFFull)
            return false;
    }
    // Hexadecimal digits are the integer's 32 bits as they stand.
    if (!hex && acum > (negativo ? 2147483648ull : 2147483647ull))
        return false;
    const uint32_t v = static_cast<uint32_t>(acum);
    valor = static_cast<int32_t>(negativo ? 0u - v : v);
    return true;
}

int32_t StrToInt(const std::string& texto)
{
    int32_t v;
    if (!TryStrToInt(texto, v))
        throw EConvertError("'" + texto + "' is not a valid integer value");
    return v;
}

std::string NormalizarDecimal(const std::string& texto)
{
    double v;
    if (TryStrToFloat(texto, v))
        return texto;
    std::string r = texto;
    const auto coma = r.find(',');
    if (coma != std::string::npos) {
        r[coma] = '.';
    } else {
        const auto punto = r.find('.');
        if (punto != std::string::npos)
            r[punto] = ',';
    }
    return r;
}
