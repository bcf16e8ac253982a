#include "common/Cp1252.h"

#include <cstdint>

namespace {

// 0x80..0x9F; the five unassigned bytes map to the C1 controls of the same
// value, as the platform's own conversion does, so every byte survives a round trip.
constexpr char32_t kAlto[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

void AnyadeUtf8(std::string& s, char32_t c)
{
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

char ACp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kAlto[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

std::string Cp1252AUtf8(std::string_view cp1252)
{
    // Most lines are plain ASCII, the same in both: one copy, no byte loop.
    size_t i = 0;
    while (i < cp1252.size() && static_cast<unsigned char>(cp1252[i]) < 0x80)
        ++i;
    if (i == cp1252.size())
        return std::string(cp1252);
    std::string r;
    r.reserve(cp1252.size() + cp1252.size() / 8);
    for (unsigned char b : cp1252) {
        if (b < 0x80)
            r += static_cast<char>(b);
        else if (b < 0xA0)
            AnyadeUtf8(r, kAlto[b - 0x80]);
        else
            AnyadeUtf8(r, b);
    }
    return r;
}

std::string Utf8ACp1252(const std::string& utf8)
{
    std::string r;
    r.reserve(utf8.size());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            r += static_cast<char>(b);
            ++i;
            continue;
        }
        int largo;
        char32_t c;
        if ((b & 0xE0) == 0xC0) {
            largo = 2;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            largo = 3;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            largo = 4;
            c = b & 0x07;
        } else {
            r += '?';
            ++i;
            continue;
        }
        bool valido = i + largo <= n;
        for (int k = 1; valido && k < largo; ++k) {
            const unsigned char cb = static_cast<unsigned char>(utf8[i + k]);
            if ((cb & 0xC0) != 0x80)
                valido = false;
            else
                c = (c << 6) | (cb & 0x3F);
        }
        // Overlong forms and surrogates are not characters.
        static constexpr char32_t kMinimo[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (!valido || c < kMinimo[largo] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            r += '?';
            ++i;
            continue;
        }
        r += ACp1252(c);
        i += largo;
    }
    return r;
}
