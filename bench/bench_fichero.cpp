// Writing and reading back the generated model of 1001 nodes and 100 variable lines.
#include "analysis/Rollback.h"
#include "bench/ArbolGenerado.h"
#include "tree/Arbol.h"
#include "tree/FicheroArbol.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// The shared model, solved, so that every value the file holds is set.
std::unique_ptr<Arbol> ArbolGrande()
{
    auto a = bench::ArbolGrande();
    ResuelveArbol(*a);
    return a;
}

std::string Temporal()
{
    return (std::filesystem::temp_directory_path() / ("nemor_bench_" + std::to_string(::getpid()) + ".nmr")).string();
}

// Goal: under 5 ms, the file on disk included.
void BM_EscribeArbol1001(benchmark::State& estado)
{
    auto a = ArbolGrande();
    const std::string ruta = Temporal();
    for (auto _ : estado)
        EscribeArbol(*a, ruta);
    std::filesystem::remove(ruta);
}
BENCHMARK(BM_EscribeArbol1001)->Unit(benchmark::kMillisecond);

// Goal: under 5 ms from the file's text to the built tree with its labels.
void BM_LeeArbol1001(benchmark::State& estado)
{
    auto a = ArbolGrande();
    const std::string texto = TextoArbol(*a, "r", "f");
    Arbol b;
    for (auto _ : estado) {
        CargaContenido(b, AnalizaArbol(texto, false));
        benchmark::DoNotOptimize(b.UltimaPosicion);
    }
}
BENCHMARK(BM_LeeArbol1001)->Unit(benchmark::kMillisecond);

// The text alone, without the disk.
void BM_TextoArbol1001(benchmark::State& estado)
{
    auto a = ArbolGrande();
    for (auto _ : estado)
        benchmark::DoNotOptimize(TextoArbol(*a, "r", "f"));
}
BENCHMARK(BM_TextoArbol1001)->Unit(benchmark::kMillisecond);

} // namespace
