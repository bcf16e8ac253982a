// A sweep of 1000 steps on the generated 1001-node model. Goal: under 2 s.
#include "analysis/Variacion.h"
#include "bench/ArbolGenerado.h"

#include <benchmark/benchmark.h>

namespace {

// Nothing is drawn: only what the sweep itself costs.
struct VistaVacia : IVistaVariacion {
    size_t lineas = 0;
    void Limpia() override { lineas = 0; }
    void AnyadePunto(double, double) override {}
    void AnyadeLinea(const std::string&) override { ++lineas; }
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

} // namespace
