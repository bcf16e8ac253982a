// Tree files from anywhere: the reader must reject or accept them without
// crashing, and whatever it accepts must write back to a file that reads back
// to the same bytes, also after what a user does next: colours and label
// digits of any value, zoom, an editing command, a drag, a solve. The tree
// read or edited keeps the promises the editing commands rely on.
#include "analysis/Rollback.h"
#include "common/Decimal.h"
#include "drawing/Interaccion.h"
#include "tree/Arbol.h"
#include "tree/Edicion.h"
#include "tree/FicheroArbol.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Says yes to every question and gives the same text to every input box.
class UsuarioSi : public IUsuario {
public:
    std::string respuesta = "0";
    Respuesta Pregunta(const std::string&, const std::string&, Botones, Icono) override { return Respuesta::Si; }
    bool PideTexto(const std::string&, const std::string&, std::string& texto) override
    {
        texto = respuesta;
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

// What happens to the tree after it is read, taken from the input's first bytes.
struct Acciones {
    uint32_t color = 0;
    int8_t zoom = 0;    // steps in (positive) or out (negative)
    uint8_t orden = 0;  // the editing command
    uint8_t nodo = 0;   // the node it acts on, as a position in the creation order
    uint8_t otro = 0;   // the marked node for a paste; the branch count; the drag's size
    int8_t digitos = 0; // label digits
};
static_assert(sizeof(Acciones) == 12, "the seeds hold the actions as 12 bytes");

[[noreturn]] void Falla(const char* paso, const std::string& detalle)
{
    std::fprintf(stderr, "%s: %s\n", paso, detalle.c_str());
    std::abort();
}

// What every editing command takes for granted: parents before children,
// each node once among its parent's branches, no branches on a terminal node.
void CompruebaArbol(const Arbol& a, const char* paso)
{
    std::array<int, MaxNumeroNodo + 1> posicion;
    posicion.fill(-1);
    for (int p = 0; p <= a.UltimaPosicion; ++p) {
        const uint16_t numero = a.ListaOrden[p];
        const TNodo* n = a.Nodo(numero);
        if (!n || posicion[numero] >= 0)
            Falla(paso, "position " + std::to_string(p) + " holds no node or a node twice");
        posicion[numero] = p;
        if (p > 0 && posicion[n->Padre] < 0)
            Falla(paso, "node " + std::to_string(numero) + " comes before its parent");
        if (n->NumHijos() > MaxHijos || (n->Tipo == NodoTerminal && n->NumHijos() > 0))
            Falla(paso, "node " + std::to_string(numero) + " has branches it cannot have");
        if (p > 0) {
            const TNodo& padre = *a.Nodo(n->Padre);
            int veces = 0;
            for (int h = 1; h <= padre.NumHijos(); ++h)
                veces += padre.Hijo(h) == numero;
            if (veces != 1)
                Falla(paso, "node " + std::to_string(numero) + " is not once among its parent's branches");
        }
    }
}

// The tree's file must read back and write the same bytes, in a program with
// the same options (the colours written are the program's, not the file's).
void IdaYVuelta(const Arbol& a, const char* paso)
{
    CompruebaArbol(a, paso);
    const std::string texto = TextoArbol(a, "r", "f");
    UsuarioSi u;
    Arbol b;
    b.usuario = &u;
    b.opciones = a.opciones;
    b.ColorDecision = a.ColorDecision;
    b.ColorAzar = a.ColorAzar;
    b.ColorTerminal = a.ColorTerminal;
    try {
        CargaContenido(b, AnalizaArbol(texto, false));
    } catch (const ENemor& e) {
        Falla(paso, std::string("a written file does not read back: ") + e.what());
    }
    if (TextoArbol(b, "r", "f") != texto)
        Falla(paso, "a written file reads back different");
}

uint16_t NodoEn(const Arbol& a, uint8_t k) { return a.ListaOrden[k % (a.UltimaPosicion + 1)]; }

void Edita(Arbol& a, Edicion& e, UsuarioSi& u, const Acciones& x)
{
    const uint16_t n = NodoEn(a, x.nodo);
    u.respuesta = std::to_string(x.otro % 8 + 1);
    switch (x.orden % 8) {
    case 1: e.CuadrodeDecisin1Click(n); break;
    case 2: e.NododeAzar1Click(n); break;
    case 3: e.Nuevarama1Click(n); break;
    case 4: e.Borrar1Click(n); break;
    case 5:
        e.Copiar1Click(NodoEn(a, x.otro));
        e.Pegar1Click(n);
        break;
    case 6: {
        // A drag as far as a mouse can go: well past the drawing's edges.
        EstadoArrastre arrastre;
        const int32_t paso = (x.otro & 0x7F) * 1000000 * ((x.otro & 0x80) ? -1 : 1);
        EmpiezaArrastre(a, arrastre, n, 0, 0);
        MueveArrastre(arrastre, paso, -paso);
        SueltaArrastre(a, arrastre, ModosMovimiento{(x.orden & 8) != 0, (x.orden & 16) != 0});
        break;
    }
    case 7:
        SeleccionaNodo(a, n);
        SeleccionaNodo(a, NodoEn(a, x.otro));
        AlinearVertical(a, ModosMovimiento{});
        break;
    default: break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamanyo)
{
    if (tamanyo < 1)
        return 0;
    // The first byte picks the older-layout option and the decimal separator;
    // with bit 2 set, the next bytes are the actions that follow the read.
    const bool v141 = datos[0] & 1;
    SeparadorTemporal sep((datos[0] & 2) ? ',' : '.');
    size_t inicio = 1;
    Acciones x;
    if ((datos[0] & 4) && tamanyo >= 1 + sizeof x) {
        std::memcpy(&x, datos + 1, sizeof x);
        inicio += sizeof x;
    }
    const std::string_view fichero(reinterpret_cast<const char*>(datos + inicio), tamanyo - inicio);

    UsuarioSi u;
    Arbol a;
    a.usuario = &u;
    a.ColorDecision = x.color;
    a.ColorAzar = ~x.color;
    a.ColorTerminal = x.color ^ 0x80000000u;
    a.opciones.EDigitosEtiquetas = std::to_string(x.digitos);
    a.opciones.CheckBoxVersion = v141;
    try {
        CargaContenido(a, AnalizaArbol(fichero, v141));
    } catch (const ENemor&) {
        return 0;
    }
    IdaYVuelta(a, "read");

    for (int i = 0; i < (x.zoom < 0 ? -x.zoom : x.zoom); ++i)
        x.zoom < 0 ? ZoomDisminuir(a) : ZoomAumentar(a);
    Edicion e(a);
    try {
        Edita(a, e, u, x);
    } catch (const ENemor&) {
        // A refused command must leave a tree that still saves.
    }
    IdaYVuelta(a, "edited");

    // A long variables list can take seconds to substitute (under the
    // sanitizers, a cycle of a dozen lines runs to the pass limit): a few
    // lines are enough to put computed values into the file.
    if (a.Variables.size() <= 4) {
        try {
            CalculaVEM(a);
        } catch (const ENemor&) {
        }
        IdaYVuelta(a, "solved");
    }
    return 0;
}
