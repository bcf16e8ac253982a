// A sweep of 1000 steps on the generated 1001-node model. Goal: under 2 s.
// What the chart draws of a sweep of ten million points, at every zoom or pan. Goal: under 50 ms.
#include "analysis/Grafico.h"
#include "analysis/Variacion.h"
#include "bench/ArbolGenerado.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// Nothing is drawn: only what the sweep itself costs.
struct VistaVacia : IVistaVariacion {
    size_t lineas = 0;
    void Limpia() override { lineas = 0; }
    void AnyadePunto(double, double) override { ++lineas; }
    void Muestra() override {}
};

void BM_Variacion1000Pasos(benchmark::State& estado)
{
    auto a = bench::ArbolGrande();
    // The payoff of the first chance node, a line two levels above the numbers.
    ParametrosVariacion p;
    for (const auto& l : a->Variables)
        if (l.rfind(bench::Nombre(2, 0) + " ", 0) == 0)
            p.Linea = l;
    p.Desde = "0";
    p.Hasta = "999";
    p.Incremento = "1";
    VistaVacia v;
    for (auto _ : estado) {
        if (!EjecutaVariaciones(*a, p, v) || v.lineas != 1000)
            estado.SkipWithError("la variación no dio 1000 puntos");
    }
}
BENCHMARK(BM_Variacion1000Pasos)->Unit(benchmark::kMillisecond);

// The whole sweep in view on a 600-pixel plot: every point is looked at once.
void BM_PuntosDibujados10Millones(benchmark::State& estado)
{
    std::vector<PuntoGrafico> puntos(10000000);
    for (size_t i = 0; i < puntos.size(); ++i)
        puntos[i] = {static_cast<double>(i), std::sin(i * 1e-5) * 100};
    for (auto _ : estado) {
        const auto r = PuntosDibujados(puntos, 0, static_cast<double>(puntos.size() - 1), 600);
        if (r.size() > 4 * 600 + 2)
            estado.SkipWithError("más de cuatro puntos por columna");
        benchmark::DoNotOptimize(r.data());
    }
}
BENCHMARK(BM_PuntosDibujados10Millones)->Unit(benchmark::kMillisecond);

} // namespace
