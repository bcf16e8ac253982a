#include "analysis/Grafico.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A tick closer than this to an end of the range, in steps, counts as on it:
// 0.3 / 0.1 is 2.9999999999999996 in binary.
constexpr double kHolgura = 1e-9;
// Beyond this many steps from 0 the tick numbers are no longer exact integers.
constexpr double kMaximoPasos = 4503599627370496.0; // 2^52

// The step m × 10^k, m one of 1, 2, 5.
struct Paso {
    int m = 1;
    int k = 0;

    double Valor() const { return Multiplo(1); }
    // n × m × 10^k with one rounding: 3 × 0.1 is 3 / 10 = 0.3.
    double Multiplo(double n) const
    {
        const double nm = n * m;
        return k < 0 ? nm / std::pow(10.0, -k) : nm * std::pow(10.0, k);
    }
    // x in steps, with the same care.
    double EnPasos(double x) const { return k < 0 ? x * std::pow(10.0, -k) / m : x / (m * std::pow(10.0, k)); }
    Paso Siguiente() const
    {
        if (m == 1)
            return {2, k};
        if (m == 2)
            return {5, k};
        return {1, k + 1};
    }
};

// The smallest round step whose ticks, counted by cuenta(paso, &primero, &ultimo), are at most maximo.
template <class Cuenta> bool BuscaPaso(double desde, double hasta, int maximo, Paso& paso, double& n0, double& n1,
                                       Cuenta cuenta)
{
    const double ancho = hasta - desde;
    if (!std::isfinite(desde) || !std::isfinite(hasta) || !std::isfinite(ancho) || !(ancho > 0))
        return false;
    maximo = std::max(maximo, 2);
    // 10^k at or below ancho / maximo: no step below it can do.
    paso = Paso{1, static_cast<int>(std::floor(std::log10(ancho / maximo)))};
    for (int i = 0; i < 64; ++i, paso = paso.Siguiente()) {
        cuenta(paso, n0, n1);
        if (n1 - n0 + 1 <= maximo)
            return std::fabs(n0) <= kMaximoPasos && std::fabs(n1) <= kMaximoPasos;
    }
    return false;
}

} // namespace

MarcasEje CalculaMarcas(double desde, double hasta, int maximo)
{
    MarcasEje r;
    Paso paso;
    double n0 = 0, n1 = 0;
    const bool hallado = BuscaPaso(desde, hasta, maximo, paso, n0, n1, [&](const Paso& p, double& a, double& b) {
        a = std::ceil(p.EnPasos(desde) - kHolgura);
        b = std::floor(p.EnPasos(hasta) + kHolgura);
    });
    if (!hallado)
        return r;
    r.Paso = paso.Valor();
    r.Decimales = std::max(0, -paso.k);
    for (double n = n0; n <= n1; ++n)
        r.Valores.push_back(n == 0 ? 0.0 : paso.Multiplo(n));
    return r;
}

void RedondeaRango(double& desde, double& hasta, int maximo)
{
    if (desde > hasta)
        std::swap(desde, hasta);
    if (desde == hasta) {
        const double d = desde == 0 ? 1 : std::fabs(desde) * 0.1;
        desde -= d;
        hasta += d;
    }
    Paso paso;
    double n0 = 0, n1 = 0;
    const bool hallado = BuscaPaso(desde, hasta, maximo, paso, n0, n1, [&](const Paso& p, double& a, double& b) {
        a = std::floor(p.EnPasos(desde) + kHolgura);
        b = std::ceil(p.EnPasos(hasta) - kHolgura);
    });
    if (!hallado)
        return;
    desde = n0 == 0 ? 0.0 : paso.Multiplo(n0);
    hasta = n1 == 0 ? 0.0 : paso.Multiplo(n1);
}

std::vector<PuntoGrafico> PuntosDibujados(std::span<const PuntoGrafico> puntos, double desde, double hasta,
                                          int columnas)
{
    columnas = std::max(columnas, 1);
    const auto menorX = [](const PuntoGrafico& p, double x) { return p.X < x; };
    const auto xMenor = [](double x, const PuntoGrafico& p) { return x < p.X; };
    auto i0 = std::lower_bound(puntos.begin(), puntos.end(), desde, menorX);
    auto i1 = std::upper_bound(puntos.begin(), puntos.end(), hasta, xMenor);
    if (i0 != puntos.begin())
        --i0;
    if (i1 != puntos.end())
        ++i1;
    if (i1 <= i0)
        return {};
    if (i1 - i0 <= 4 * static_cast<long>(columnas))
        return std::vector<PuntoGrafico>(i0, i1);

    std::vector<PuntoGrafico> r;
    r.reserve(4 * static_cast<size_t>(columnas) + 2);
    const double ancho = (hasta - desde) / columnas;
    auto i = i0;
    // The neighbours outside the range stand alone.
    if (i->X < desde)
        r.push_back(*i++);
    const auto fin = (i1 != i && (i1 - 1)->X > hasta) ? i1 - 1 : i1;
    while (i < fin) {
        // One column: every point up to its right edge.
        const double columna = std::floor((i->X - desde) / ancho);
        const double borde = desde + (columna + 1) * ancho;
        auto j = i, bajo = i, alto = i;
        for (; j < fin && (j == i || j->X < borde); ++j) {
            if (j->Y < bajo->Y)
                bajo = j;
            if (j->Y > alto->Y)
                alto = j;
        }
        std::array<decltype(i), 4> elegidos{i, bajo, alto, j - 1};
        std::sort(elegidos.begin(), elegidos.end());
        for (size_t k = 0; k < elegidos.size(); ++k)
            if (k == 0 || elegidos[k] != elegidos[k - 1])
                r.push_back(*elegidos[k]);
        i = j;
    }
    if (fin != i1)
        r.push_back(*fin);
    return r;
}
