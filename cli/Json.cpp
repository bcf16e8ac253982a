#include "cli/Json.h"

#include <charconv>
#include <cmath>
#include <ostream>
#include <stdexcept>

void EscritorJson::AntesDeValor()
{
    if (terminado_)
        throw std::logic_error("JSON: document already closed");
    if (niveles_.empty())
        return;
    Nivel& n = niveles_.back();
    if (n.objeto) {
        if (!n.claveEscrita)
            throw std::logic_error("JSON: value without a key");
        n.claveEscrita = false;
    } else {
        if (!n.vacio)
            out_ << ',';
        n.vacio = false;
    }
}

void EscritorJson::FinSiSuelto()
{
    // A document that is a single number or text ends with it.
    if (niveles_.empty()) {
        out_ << '\n';
        terminado_ = true;
    }
}

void EscritorJson::AbreObjeto()
{
    AntesDeValor();
    out_ << '{';
    niveles_.push_back({true});
}

void EscritorJson::AbreLista()
{
    AntesDeValor();
    out_ << '[';
    niveles_.push_back({false});
}

void EscritorJson::Cierra()
{
    if (niveles_.empty() || niveles_.back().claveEscrita)
        throw std::logic_error("JSON: nothing to close");
    out_ << (niveles_.back().objeto ? '}' : ']');
    niveles_.pop_back();
    if (niveles_.empty()) {
        out_ << '\n';
        terminado_ = true;
    }
}

void EscritorJson::Clave(std::string_view clave)
{
    if (niveles_.empty() || !niveles_.back().objeto || niveles_.back().claveEscrita)
        throw std::logic_error("JSON: key outside an object");
    Nivel& n = niveles_.back();
    if (!n.vacio)
        out_ << ',';
    n.vacio = false;
    n.claveEscrita = true;
    out_ << Cadena(clave) << ':';
}

void EscritorJson::Numero(double x)
{
    AntesDeValor();
    out_ << TextoNumero(x);
    FinSiSuelto();
}

void EscritorJson::Entero(int64_t n)
{
    AntesDeValor();
    out_ << n;
    FinSiSuelto();
}

void EscritorJson::Texto(std::string_view texto)
{
    AntesDeValor();
    out_ << Cadena(texto);
    FinSiSuelto();
}

void EscritorJson::Logico(bool b)
{
    AntesDeValor();
    out_ << (b ? "true" : "false");
    FinSiSuelto();
}

void EscritorJson::Nulo()
{
    AntesDeValor();
    out_ << "null";
    FinSiSuelto();
}

std::string EscritorJson::TextoNumero(double x)
{
    if (!std::isfinite(x))
        return "null";
    if (x == 0)
        return "0"; // also -0: JSON readers differ on "-0"
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}

namespace {

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not valid
// (overlong forms, surrogates and values above U+10FFFF included).
size_t LargoUtf8(std::string_view s, size_t i)
{
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    size_t n;
    uint32_t cp;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4, cp = c & 0x07;
    else
        return 0;
    if (i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return n;
}

} // namespace

std::string EscritorJson::Cadena(std::string_view t)
{
    std::string r;
    r.reserve(t.size() + 2);
    r += '"';
    for (size_t i = 0; i < t.size();) {
        const unsigned char c = static_cast<unsigned char>(t[i]);
        if (c >= 0x80) {
            const size_t n = LargoUtf8(t, i);
            if (n == 0) {
                r += "\xEF\xBF\xBD";
                ++i;
            } else {
                r.append(t.substr(i, n));
                i += n;
            }
            continue;
        }
        switch (c) {
        case '"': r += "\\\""; break;
        case '\\': r += "\\\\"; break;
        case '\n': r += "\\n"; break;
        case '\r': r += "\\r"; break;
        case '\t': r += "\\t"; break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                r += "\\u00";
                r += hex[c >> 4];
                r += hex[c & 15];
            } else {
                r += static_cast<char>(c);
            }
        }
        ++i;
    }
    r += '"';
    return r;
}
