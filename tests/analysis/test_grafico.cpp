#include "analysis/Grafico.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Round ticks for any range, including the ranges a zoom or a pan leaves.
TEST(MarcasEje, PasosRedondos)
{
    struct Caso {
        double desde, hasta;
        int maximo;
        double paso;
        int decimales;
        std::vector<double> valores;
    } casos[] = {
        {0, 1, 10, 0.2, 1, {0, 0.2, 0.4, 0.6, 0.8, 1}},
        {-30, 0, 10, 5, 0, {-30, -25, -20, -15, -10, -5, 0}},
        // What a zoom leaves: odd ends, round ticks inside.
        {-0.0112354, 0.0312, 8, 0.01, 2, {-0.01, 0, 0.01, 0.02, 0.03}},
        {19.579, 33.2, 6, 5, 0, {20, 25, 30}},
        // Both ends are ticks although 0.3 / 0.05 is not quite 6 in binary.
        {0.1, 0.3, 5, 0.05, 2, {0.1, 0.15, 0.2, 0.25, 0.3}},
        {1e6, 5e6, 5, 1e6, 0, {1e6, 2e6, 3e6, 4e6, 5e6}},
        {-7e-5, 7e-5, 3, 5e-5, 5, {-5e-5, 0, 5e-5}},
        {0, 1, 1, 1, 0, {0, 1}}, // never fewer than two allowed
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(testing::Message() << c.desde << " .. " << c.hasta << " / " << c.maximo);
        const MarcasEje m = CalculaMarcas(c.desde, c.hasta, c.maximo);
        EXPECT_EQ(m.Paso, c.paso);
        EXPECT_EQ(m.Decimales, c.decimales);
        EXPECT_EQ(m.Valores, c.valores); // exactly: 0.3 and not 0.30000000000000004
        for (const double v : m.Valores)
            EXPECT_FALSE(std::signbit(v) && v == 0); // never "-0"
    }
}

TEST(MarcasEje, RangosSinMarcas)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double rangos[][2] = {{1, 1}, {2, 1}, {0, inf}, {-inf, 0}, {nan, 1}, {-1e308, 1e308}};
    for (const auto& r : rangos) {
        const MarcasEje m = CalculaMarcas(r[0], r[1], 10);
        EXPECT_EQ(m.Paso, 0) << r[0] << " .. " << r[1];
        EXPECT_TRUE(m.Valores.empty()) << r[0] << " .. " << r[1];
    }
}

// A fitted axis: the data's range widened to round ticks.
TEST(MarcasEje, RangoRedondo)
{
    struct Caso {
        double desde, hasta;
        int maximo;
        double desdeR, hastaR;
    } casos[] = {
        {20, 32.50666, 8, 20, 34},
        {-30, 0, 10, -30, 0},
        {0.0003, 0.00098, 5, 0.0002, 0.001},
        {5, 5, 5, 4.5, 5.5}, // one value: opened by a tenth around it
        {0, 0, 5, -1, 1},
        {3, -2, 6, -2, 3},   // ends in either order
    };
    for (const auto& c : casos) {
        double a = c.desde, b = c.hasta;
        RedondeaRango(a, b, c.maximo);
        EXPECT_EQ(a, c.desdeR) << c.desde << " .. " << c.hasta;
        EXPECT_EQ(b, c.hastaR) << c.desde << " .. " << c.hasta;
    }
}

std::vector<PuntoGrafico> Serie(int n, double (*y)(int))
{
    std::vector<PuntoGrafico> r;
    for (int i = 0; i < n; ++i)
        r.push_back({static_cast<double>(i), y(i)});
    return r;
}

std::vector<double> Xs(const std::vector<PuntoGrafico>& puntos)
{
    std::vector<double> r;
    for (const auto& p : puntos)
        r.push_back(p.X);
    return r;
}

TEST(PuntosDibujados, PocosTalCualYVecinosFuera)
{
    const auto serie = Serie(10, [](int i) { return i * 2.0; });
    EXPECT_EQ(PuntosDibujados(serie, 0, 9, 100), serie);
    // A zoomed range keeps the nearest point beyond each end, so the line reaches the edges.
    EXPECT_EQ(Xs(PuntosDibujados(serie, 3.5, 6.5, 100)), (std::vector<double>{3, 4, 5, 6, 7}));
    EXPECT_EQ(Xs(PuntosDibujados(serie, 20, 30, 100)), (std::vector<double>{9}));
    EXPECT_TRUE(PuntosDibujados({}, 0, 1, 100).empty());
}

// Many points: per column the first, the lowest, the highest and the last,
// so a spike and a dip one point wide are still drawn.
TEST(PuntosDibujados, MuchosSeQuedanEnLosQueDibujanLaLinea)
{
    const auto serie = Serie(100, [](int i) { return i == 42 ? 100.0 : i == 77 ? -50.0 : 0.0; });
    const auto r = PuntosDibujados(serie, 0, 99, 5); // 100 points on 5 columns of 19.8
    EXPECT_EQ(Xs(r), (std::vector<double>{0, 19, 20, 39, 40, 42, 59, 60, 77, 79, 80, 98, 99}));

    // A million points on 600 columns: at most four a column, the extremes kept.
    const auto grande = Serie(1000000, [](int i) { return std::sin(i * 0.001) * 1000; });
    const auto d = PuntosDibujados(grande, 0, 999999, 600);
    EXPECT_LE(d.size(), 4u * 600 + 2);
    EXPECT_EQ(d.front(), grande.front());
    EXPECT_EQ(d.back(), grande.back());
    double bajo = d[0].Y, alto = d[0].Y;
    for (size_t i = 1; i < d.size(); ++i) {
        EXPECT_LT(d[i - 1].X, d[i].X);
        bajo = std::min(bajo, d[i].Y);
        alto = std::max(alto, d[i].Y);
    }
    double bajoSerie = grande[0].Y, altoSerie = grande[0].Y;
    for (const auto& p : grande) {
        bajoSerie = std::min(bajoSerie, p.Y);
        altoSerie = std::max(altoSerie, p.Y);
    }
    EXPECT_EQ(alto, altoSerie);
    EXPECT_EQ(bajo, bajoSerie);
}

} // namespace
