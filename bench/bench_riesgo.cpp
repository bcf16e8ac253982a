// The risk analyses on the generated 1001-node model. Goals: the root's risk
// profile under 1 ms; a tornado over 100 input lines (200 solutions) under 0.5 s.
#include "analysis/PerfilRiesgo.h"
#include "analysis/Rollback.h"
#include "analysis/Tornado.h"
#include "bench/ArbolGenerado.h"
#include "drawing/FormatoEtiqueta.h"
#include "variables/Variables.h"

#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<Arbol> Resuelto()
{
    auto a = bench::ArbolGrande();
    ResuelveArbol(*a);
    return a;
}

// The root follows its chosen alternative: 99 outcomes.
void BM_PerfilRiesgoRaiz(benchmark::State& estado)
{
    auto a = Resuelto();
    for (auto _ : estado) {
        const PerfilRiesgo p = CalculaPerfilRiesgo(*a, 0);
        if (p.Resultados.empty())
            estado.SkipWithError("perfil vacío");
        benchmark::DoNotOptimize(p.Media);
    }
}
BENCHMARK(BM_PerfilRiesgoRaiz)->Unit(benchmark::kMicrosecond);

// Every alternative of the root: 10 profiles, 990 outcomes.
void BM_PerfilAlternativasRaiz(benchmark::State& estado)
{
    auto a = Resuelto();
    for (auto _ : estado)
        benchmark::DoNotOptimize(PerfilesAlternativas(*a, 0).size());
}
BENCHMARK(BM_PerfilAlternativasRaiz)->Unit(benchmark::kMicrosecond);

// The model's list holds 25 plain numbers under 75 formulas: 25 inputs, 50 solutions.
void BM_TornadoModelo(benchmark::State& estado)
{
    auto a = Resuelto();
    for (auto _ : estado) {
        if (CalculaTornado(*a, 10).Barras.size() != 25)
            estado.SkipWithError("el tornado no tuvo 25 entradas");
    }
}
BENCHMARK(BM_TornadoModelo)->Unit(benchmark::kMillisecond);

// The same model with each of its 100 lines written as the number it is worth,
// so every line is an input: 100 inputs, 200 solutions.
void BM_Tornado100Lineas(benchmark::State& estado)
{
    auto a = bench::ArbolGrande();
    CargaVariables(*a);
    std::vector<std::string> planas;
    for (const auto& l : a->Variables)
        planas.push_back(NombreDeLinea(l) + " = " + FormatoEtiqueta(EvaluaLinea(*a, l), 15, 0));
    a->Variables = planas;
    ResuelveArbol(*a);
    for (auto _ : estado) {
        if (CalculaTornado(*a, 10).Barras.size() != 100)
            estado.SkipWithError("el tornado no tuvo 100 entradas");
    }
}
BENCHMARK(BM_Tornado100Lineas)->Unit(benchmark::kMillisecond);

} // namespace
