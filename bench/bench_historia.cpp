// Undo and redo on the generated 1001-node model: what one edit costs when it
// runs through the history, how long undoing and redoing a step takes, and
// how much memory a history of 100 steps holds.
#include "analysis/Rollback.h"
#include "bench/ArbolGenerado.h"
#include "common/Usuario.h"
#include "drawing/Interaccion.h"
#include "tree/Arbol.h"
#include "tree/Edicion.h"
#include "tree/Historia.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>

namespace {

using bench::ArbolGrande;

// Answers every question with Yes and every text box from a queue.
class UsuarioFijo : public IUsuario {
public:
    std::deque<std::string> textos;

    Respuesta Pregunta(const std::string&, const std::string&, Botones, Icono) override { return Respuesta::Si; }
    bool PideTexto(const std::string&, const std::string&, std::string& texto) override
    {
        if (textos.empty())
            return false;
        texto = textos.front();
        textos.pop_front();
        return true;
    }
    void Error(const std::string&) override {}
    void Mensaje(const std::string&, const std::string&, Icono) override {}
    std::optional<std::string> AbrirFichero(const DialogoFichero&) override { return std::nullopt; }
    std::optional<std::string> GuardarFichero(const DialogoFichero&) override { return std::nullopt; }
    void ProgresoMostrar(const std::string&) override {}
    void ProgresoPosicion(int) override {}
    void ProgresoOcultar() override {}
};

// The model, solved, with its user, commands and history.
struct Banco {
    std::unique_ptr<Arbol> a = ArbolGrande();
    UsuarioFijo u;
    Edicion e{*a};
    std::unique_ptr<Historia> h;

    Banco()
    {
        a->usuario = &u;
        ResuelveArbol(*a);
        h = std::make_unique<Historia>(*a);
    }
};

// Chance node k (0..9) and its j-th terminal (0..98) in the model's numbering.
uint16_t Azar(int k) { return static_cast<uint16_t>(1 + 100 * k); }
uint16_t Terminal(int k, int j) { return static_cast<uint16_t>(Azar(k) + 1 + j); }

void Arrastra(Arbol& a, uint16_t n, int32_t dx, int32_t dy)
{
    EstadoArrastre e;
    const Rect f = a.Nodo(n)->Figura;
    EmpiezaArrastre(a, e, n, 5, 5);
    MueveArrastre(e, f.Left + 5 + dx, f.Top + 5 + dy);
    SueltaArrastre(a, e, ModosMovimiento{});
}

// Edit i of a realistic mix, each through the history: texts, payoffs and
// probabilities typed, comments, single nodes and whole structures dragged,
// alignment, the variables list typed, a branch deleted; every tenth edit
// either deletes a chance node with its 99 branches or drags the whole tree.
// The model has used every node number, so nothing new can be built.
void Edita(Banco& b, int i)
{
    Arbol& a = *b.a;
    const int k = (i / 10) % 5; // chance nodes 0..4 are edited; 5..9 are deleted one by one
    const int j = i / 10;       // their first terminals are edited, their last ones deleted
    switch (i % 10) {
    case 0:
        b.u.textos.push_back("Resultado revisado " + std::to_string(i));
        b.h->Ejecuta(kPasoTexto, [&] { b.e.Texto1Click(Terminal(k, j)); });
        break;
    case 1:
        b.u.textos.push_back(std::to_string(100 + i) + ".5");
        b.h->Ejecuta(kPasoGanancia, [&] { b.e.Coste3Click(Terminal(k, j)); });
        break;
    case 2:
        b.u.textos.push_back("0.0101");
        b.h->Ejecuta(kPasoProbabilidad, [&] { b.e.Probabilidad1Click(Terminal(k, j)); });
        break;
    case 3:
        b.h->Ejecuta(kPasoComentario, [&] {
            b.e.AbrirComentario(Terminal(k, j));
            b.e.NotaCambiada();
            b.e.GuardarComentario({"Revisar con el cliente", "paso " + std::to_string(i)});
        });
        break;
    case 4:
        b.h->Ejecuta(kPasoMoverNodo, [&] { Arrastra(a, Terminal(k, j), 12, -3); });
        break;
    case 5:
        b.h->Ejecuta(kPasoMoverNodo, [&] { Arrastra(a, Azar(k), -8, 20); });
        break;
    case 6:
        b.h->Ejecuta(kPasoAlinearVertical, [&] {
            for (int d = 0; d < 3; ++d)
                SeleccionaNodo(a, Terminal(k, j + d));
            AlinearVertical(a, ModosMovimiento{});
        });
        break;
    case 7:
        b.h->Ejecuta(kPasoVariables, [&] {
            const int linea = i % 25;
            a.Variables[static_cast<size_t>(linea)] = bench::Nombre(0, linea) + " = " + std::to_string(i) + ".25";
        });
        break;
    case 8:
        b.h->Ejecuta(kPasoBorrarNodo, [&] { b.e.Borrar1Click(Terminal(k, 98 - i / 10)); });
        break;
    default:
        if ((i / 10) % 2 == 0)
            b.h->Ejecuta(kPasoBorrarNodo, [&] { b.e.Borrar1Click(Azar(5 + i / 20)); });
        else
            b.h->Ejecuta(kPasoMoverNodo, [&] { Arrastra(a, 0, 6, -6); });
        break;
    }
}

constexpr int kEdiciones = 100;

// Goal: an edit through the history costs well under a millisecond or two
// more than the bare command: the history compares the tree with its copy
// before and after. Here the text of one terminal, alternating.
void BM_EdicionConHistoria(benchmark::State& estado)
{
    Banco b;
    int i = 0;
    for (auto _ : estado) {
        b.u.textos.push_back(i++ % 2 ? "uno" : "dos");
        b.h->Ejecuta(kPasoTexto, [&] { b.e.Texto1Click(Terminal(0, 0)); });
    }
}
BENCHMARK(BM_EdicionConHistoria)->Unit(benchmark::kMicrosecond);

// The bare command, for comparison.
void BM_EdicionSinHistoria(benchmark::State& estado)
{
    Banco b;
    int i = 0;
    for (auto _ : estado) {
        b.u.textos.push_back(i++ % 2 ? "uno" : "dos");
        b.e.Texto1Click(Terminal(0, 0));
    }
}
BENCHMARK(BM_EdicionSinHistoria)->Unit(benchmark::kMicrosecond);

// The 100 edits of the mix, each through the history, from the solved model.
void BM_CienEdiciones(benchmark::State& estado)
{
    for (auto _ : estado) {
        estado.PauseTiming();
        auto b = std::make_unique<Banco>();
        estado.ResumeTiming();
        for (int i = 0; i < kEdiciones; ++i)
            Edita(*b, i);
        estado.PauseTiming();
        estado.counters["pasos_MB"] = static_cast<double>(b->h->MemoriaPasos()) / 1e6;
        estado.counters["total_MB"] = static_cast<double>(b->h->Memoria()) / 1e6;
        b.reset();
        estado.ResumeTiming();
    }
    estado.counters["por_edicion"] =
        benchmark::Counter(kEdiciones, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CienEdiciones)->Unit(benchmark::kMillisecond);

// Goals: each undo and each redo under 1 ms; the history of 100 steps under
// 5 MB. One iteration undoes the 100 edits and redoes them all. pasos_MB is
// what the steps hold, total_MB adds the copy of the tree the history keeps.
void BM_DeshacerYRehacerCien(benchmark::State& estado)
{
    Banco b;
    for (int i = 0; i < kEdiciones; ++i)
        Edita(b, i);
    double maxPasos = static_cast<double>(b.h->MemoriaPasos());
    double maxTotal = static_cast<double>(b.h->Memoria());
    for (auto _ : estado) {
        while (b.h->Deshacer()) {
        }
        while (b.h->Rehacer()) {
        }
        maxPasos = std::max(maxPasos, static_cast<double>(b.h->MemoriaPasos()));
        maxTotal = std::max(maxTotal, static_cast<double>(b.h->Memoria()));
    }
    estado.counters["por_paso"] = benchmark::Counter(
        2 * kEdiciones, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    estado.counters["pasos_MB"] = maxPasos / 1e6;
    estado.counters["total_MB"] = maxTotal / 1e6;
}
BENCHMARK(BM_DeshacerYRehacerCien)->Unit(benchmark::kMillisecond);

} // namespace
