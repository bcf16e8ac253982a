// Painting a large tree: the whole 3000 x 3000 surface, and one screenful of it.
// Goal: the whole surface with 1001 nodes in under 30 ms on one core.
#include "drawing/FormatoEtiqueta.h"
#include "drawing/PintaArbol.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// 1001 nodes laid out as the program places them: each level SeparacionHorizontal
// to the right of the one before, the leaves spread evenly down the whole
// surface, each parent level with its children. A decision root, then chance and
// decision levels of up to seven branches, terminal leaves last.
void ArbolGrande(Arbol& a)
{
    a.Raiz().Tipo = NodoDecision;
    std::vector<std::vector<uint16_t>> niveles{{0}};
    while (a.NumeroNodos() < 1001) {
        const int profundidad = static_cast<int>(niveles.size());
        std::vector<uint16_t> siguiente;
        for (uint16_t padre : niveles.back()) {
            for (int i = 0; i < 7 && a.NumeroNodos() < 1001; ++i) {
                const uint16_t n = a.NuevoIndice();
                const uint8_t tipo = profundidad >= 4 ? NodoTerminal : (profundidad % 2 ? NodoAzar : NodoDecision);
                a.CrearNodo(n, tipo, padre);
                a.AnyadirHijo(padre, n);
                TNodo& t = *a.Nodo(n);
                t.Ganancia = 1000.0 / n;
                t.Probabilidad = 1.0 / 7;
                t.Valor = 12345.678 / n;
                t.Texto = t.EtiquetaTexto.Caption = "Alternativa " + std::to_string(n);
                a.EtiquetasNumericas(t);
                t.Elegido = i == 0;
                t.MarcaVisible = n % 10 == 0;
                siguiente.push_back(n);
            }
        }
        niveles.push_back(std::move(siguiente));
    }
    // Leaves (the last level and any childless node above it) evenly down the
    // surface; every parent at the middle of its children.
    const int x0 = 300;
    const auto& hojas = niveles.back();
    for (size_t i = 0; i < hojas.size(); ++i)
        a.SituarNodo(hojas[i], x0 + static_cast<int>(niveles.size() - 1) * a.SeparacionHorizontal,
                     10 + static_cast<int>((2950 * i) / hojas.size()));
    for (int d = static_cast<int>(niveles.size()) - 2; d >= 0; --d) {
        for (uint16_t n : niveles[d]) {
            const TNodo& t = *a.Nodo(n);
            int y = 1500;
            if (t.NumHijos() > 0)
                y = (a.Nodo(t.Hijo(1))->Figura.Top + a.Nodo(t.Hijo(t.NumHijos()))->Figura.Top) / 2;
            a.SituarNodo(n, x0 + d * a.SeparacionHorizontal, y);
        }
    }
    a.opciones.CheckBoxNumNodosVisibles = true;
}

void Pinta(benchmark::State& estado, QRect expuesto)
{
    Arbol a;
    ArbolGrande(a);
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
