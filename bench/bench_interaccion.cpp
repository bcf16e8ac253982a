// Arranging a large tree by hand: a zoom step and dropping a node that takes
// its whole subtree along, on 1001 nodes.
#include "drawing/Interaccion.h"
#include "tree/Arbol.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// 1001 nodes: a decision root, 10 chance nodes, 99 terminals below each.
std::unique_ptr<Arbol> ArbolGrande()
{
    auto a = std::make_unique<Arbol>();
    a->Raiz().Tipo = NodoDecision;
    for (int k = 0; k < 10; ++k) {
        const uint16_t c = a->NuevoIndice();
        a->CrearNodo(c, NodoAzar, 0);
        a->AnyadirHijo(0, c);
        a->SituarNodo(c, 170, 40 + 560 * k);
        for (int j = 0; j < 99; ++j) {
            const uint16_t t = a->NuevoIndice();
            a->CrearNodo(t, NodoTerminal, c);
            a->AnyadirHijo(c, t);
            a->SituarNodo(t, 320, 40 + 5 * (k * 99 + j));
        }
    }
    return a;
}

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
