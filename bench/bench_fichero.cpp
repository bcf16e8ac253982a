// Writing and reading back a full tree of 1001 nodes.
#include "tree/Arbol.h"
#include "tree/FicheroArbol.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// 1001 nodes: a decision root, 10 chance nodes, 99 terminals below each, with
// every field a file holds set to something other than its default.
std::unique_ptr<Arbol> ArbolGrande()
{
    auto a = std::make_unique<Arbol>();
    a->Raiz().Tipo = NodoDecision;
    for (int k = 0; k < 10; ++k) {
        const uint16_t c = a->NuevoIndice();
        a->CrearNodo(c, NodoAzar, 0);
        a->AnyadirHijo(0, c);
        a->Nodo(c)->Texto = "Alternativa " + std::to_string(k);
        a->Nodo(c)->Comentario = "Primera línea\tsegunda línea\t";
        a->SituarNodo(c, 170, 40 + 560 * k);
        for (int j = 0; j < 99; ++j) {
            const uint16_t t = a->NuevoIndice();
            a->CrearNodo(t, NodoTerminal, c);
            a->AnyadirHijo(c, t);
            TNodo& n = *a->Nodo(t);
            n.Ganancia = std::sin(t) * 12345.678;
            n.Probabilidad = 1.0 / 99;
            n.Valor = -1.0 / t;
            n.Texto = "Resultado " + std::to_string(j) + " ñ";
            n.FormulaGanancia = j % 3 ? "" : "G" + std::to_string(j);
            a->SituarNodo(t, 320, 40 + 5 * (k * 99 + j));
        }
    }
    for (int i = 0; i < 100; ++i)
        a->Variables.push_back("G" + std::to_string(i) + " = " + std::to_string(i) + ".25 * 3");
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
