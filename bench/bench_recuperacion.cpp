// The recovery copy of the generated model of 1001 nodes and 100 variable
// lines: what the window waits for at each tick of its timer, and the whole
// copy on disk.
#include "analysis/Rollback.h"
#include "bench/ArbolGenerado.h"
#include "tree/Arbol.h"
#include "tree/Recuperacion.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

struct Banco {
    std::unique_ptr<Arbol> a = bench::ArbolGrande();
    std::filesystem::path carpeta =
        std::filesystem::temp_directory_path() / ("nemor_bench_recuperacion_" + std::to_string(::getpid()));
    Recuperacion r{carpeta.string()};

    Banco() { ResuelveArbol(*a); }
    ~Banco()
    {
        r.Quita();
        std::filesystem::remove_all(carpeta);
    }
};

// Goal: under 2 ms. The window's part: the copy's text made and handed to
// the writer, which does the disk on its own thread.
void BM_CopiaRecuperacionVentana1001(benchmark::State& estado)
{
    Banco b;
    for (auto _ : estado) {
        ++b.a->Modificaciones; // a change since the last tick
        benchmark::DoNotOptimize(b.r.Escribe(*b.a));
        estado.PauseTiming();
        b.r.Espera();
        estado.ResumeTiming();
    }
    if (auto e = b.r.TomaError())
        estado.SkipWithError(e->c_str());
}
BENCHMARK(BM_CopiaRecuperacionVentana1001)->Unit(benchmark::kMillisecond);

// Goal: under 50 ms, far below the shortest sensible interval between
// copies. The whole copy on disk: the tree and its record, each written to a
// temporary file, synced and renamed, on the writer's thread. Wall time is
// mostly the two syncs, which the window never waits for.
void BM_CopiaRecuperacionEntera1001(benchmark::State& estado)
{
    Banco b;
    for (auto _ : estado) {
        ++b.a->Modificaciones;
        b.r.Escribe(*b.a);
        b.r.Espera();
    }
    if (auto e = b.r.TomaError())
        estado.SkipWithError(e->c_str());
}
BENCHMARK(BM_CopiaRecuperacionEntera1001)->Unit(benchmark::kMillisecond);

} // namespace
