// Arranging a large tree by hand: a zoom step and dropping a node that takes
// its whole subtree along, on the generated model of 1001 nodes.
#include "bench/ArbolGenerado.h"
#include "drawing/Interaccion.h"
#include "tree/Arbol.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using bench::ArbolGrande;

// Goal: a zoom in followed by a zoom out under 2 ms, well below a repaint.
void BM_ZoomIdaYVuelta1001(benchmark::State& estado)
{
    auto a = ArbolGrande();
    for (auto _ : estado) {
        ZoomAumentar(*a);
        ZoomDisminuir(*a);
    }
}
BENCHMARK(BM_ZoomIdaYVuelta1001)->Unit(benchmark::kMicrosecond);

// Goal: dropping the root with the whole tree in tow under 2 ms. The scan
// for children is the costly part: every level looks through the whole order list.
void BM_SueltaConHijos1001(benchmark::State& estado)
{
    auto a = ArbolGrande();
    const ModosMovimiento modos;
    int paso = 0;
    for (auto _ : estado) {
        EstadoArrastre e;
        EmpiezaArrastre(*a, e, 0, 5, 5);
        const int d = (paso++ % 2) ? -7 : 7;
        MueveArrastre(e, a->Raiz().Figura.Left + 5 + d, a->Raiz().Figura.Top + 5 + d);
        benchmark::DoNotOptimize(SueltaArrastre(*a, e, modos));
    }
}
BENCHMARK(BM_SueltaConHijos1001)->Unit(benchmark::kMicrosecond);

} // namespace
