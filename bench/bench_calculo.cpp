// Solving a full tree whose every branch names a line of a nested list.
#include "analysis/Rollback.h"
#include "bench/ArbolGenerado.h"
#include "tree/Arbol.h"
#include "variables/Variables.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using bench::ArbolGrande;
using bench::Nombre;

void BM_RecalculaYCalculaVEM(benchmark::State& estado)
{
    auto a = ArbolGrande();
    for (auto _ : estado) {
        RecalculaFormulas(*a);
        CalculaVEM(*a);
        benchmark::DoNotOptimize(a->Raiz().Valor);
    }
}
BENCHMARK(BM_RecalculaYCalculaVEM)->Unit(benchmark::kMillisecond);

void BM_RecalculaFormulas(benchmark::State& estado)
{
    auto a = ArbolGrande();
    for (auto _ : estado)
        RecalculaFormulas(*a);
}
BENCHMARK(BM_RecalculaFormulas)->Unit(benchmark::kMicrosecond);

// One-off substitution, as the Bayes lookups do: the list is prepared on each call.
void BM_SustituyeLineaAnidada(benchmark::State& estado)
{
    auto a = ArbolGrande();
    CargaVariables(*a);
    for (auto _ : estado)
        benchmark::DoNotOptimize(SustituyeVariables(*a, Nombre(3, 5)));
}
BENCHMARK(BM_SustituyeLineaAnidada)->Unit(benchmark::kMicrosecond);

} // namespace
