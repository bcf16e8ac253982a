// Painting the generated model of 1001 nodes: the whole 3000 x 3000 surface,
// and one screenful of it.
// Goal: the whole surface with 1001 nodes in under 30 ms on one core.
#include "analysis/Rollback.h"
#include "bench/ArbolGenerado.h"
#include "drawing/PintaArbol.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

void Pinta(benchmark::State& estado, QRect expuesto)
{
    // The shared model, solved: values above the figures, chosen branches in colour.
    auto modelo = bench::ArbolGrande();
    ResuelveArbol(*modelo);
    const Arbol& a = *modelo;
    QImage img(3000, 3000, QImage::Format_RGB32);
    MedidorEtiquetas medidor;
    {
        // The canvas keeps its laid-out captions between paints: start warm.
        QPainter p(&img);
        PintaArbol(p, a, img.rect(), medidor);
    }
    for (auto _ : estado) {
        QPainter p(&img);
        PintaArbol(p, a, expuesto, medidor);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
    estado.counters["nodos"] = a.NumeroNodos();
}

void BM_PintaArbolEntero(benchmark::State& estado) { Pinta(estado, QRect(0, 0, 3000, 3000)); }
void BM_PintaUnaPantalla(benchmark::State& estado) { Pinta(estado, QRect(600, 1000, 1280, 800)); }

BENCHMARK(BM_PintaArbolEntero)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PintaUnaPantalla)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
