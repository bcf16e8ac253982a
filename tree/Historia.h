#pragma once
// Undo and redo. Every change of the tree runs through one entry, Ejecuta,
// which records it as a step: for each node slot and each document value the
// command changed, the value before and after (never whole copies of the
// tree). Deshacer puts back the values before, Rehacer those after, byte for
// byte: nodes with all their view data, the creation order, the counters
// (node numbers are never handed out twice, so UltimoIndice comes back too),
// the variables list, the node sizes, the copy mark and the editor link.
//
// The history finds out what changed by comparing the tree with a copy it
// keeps of the tree as it last saw it, so no command has to declare what it
// touches, and changes made outside it are noticed too:
// - Calculated values ("Calcular VEM"), a sweep's last solve, "Ver variables"
//   and anything else that is not a step belong to the step before them: its
//   undo brings the tree back exactly as it was before that step, values
//   shown included. Rehacer likewise brings back the tree exactly as it was
//   when Deshacer was chosen.
// - The copy mark and the editor link set outside a step are kept: an undo
//   never unmarks a node the user has just copied.
// - Zoom is not a step. Each step keeps the zoom factor its positions were
//   taken at; undone or redone at another zoom, the positions, branch stubs
//   and sizes it puts back are brought to the current zoom as zooming does.
// - A new tree or a file read (Arbol::Generacion moves on) empties the history.
// - Every change it records or notices, undo and redo included, moves
//   Arbol::Modificaciones on, so the recovery copy knows the tree changed; a
//   replaced tree does not (it comes in without unsaved changes).
// - Selection for alignment is not part of the history, nor are the settings
//   (colours, the options themselves) or the file name and date labels.
#include "tree/Arbol.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Names of the steps, as "Deshacer " and "Rehacer " followed by the name show them.
extern const char* const kPasoNodoDecision;    // "Nuevo nodo de &decisión ..."
extern const char* const kPasoNodoAzar;        // "Nuevo nodo de &azar ..."
extern const char* const kPasoNuevaRama;       // "Nueva &rama"
extern const char* const kPasoBorrarNodo;      // "&Borrar nodo"
extern const char* const kPasoTexto;           // "&Texto"
extern const char* const kPasoGanancia;        // "&Ganancia"
extern const char* const kPasoProbabilidad;    // "&Probabilidad"
extern const char* const kPasoPegar;           // "P&egar"
extern const char* const kPasoComentario;      // the comment pad
extern const char* const kPasoMoverNodo;       // dropping a dragged node
extern const char* const kPasoAlinearVertical; // "Alinear vertical"
extern const char* const kPasoAlinearHorizontal;
extern const char* const kPasoVariables;       // typing in the variables window
extern const char* const kPasoBorrarVariables; // the variables window's "Borrar todo"
extern const char* const kPasoBayes;           // "Calcula las formulas de Bayes"
extern const char* const kPasoValoresACero;    // "&Valores a cero"
extern const char* const kPasoOpciones;        // "&Aceptar" of "Opciones": sizes and labels
extern const char* const kPasoCambiarNombre;   // renaming an item of the outline

// What a command, an undo or a redo changed, for the views to refresh.
struct Cambios {
    bool Dibujo = false;     // some node or the node sizes: the drawing repaints
    bool Estructura = false; // nodes built or removed, a kind, a parent, the branches, the creation order
    bool Variables = false;  // the variables list
    bool Enlace = false;     // the copy mark or the linked editor document
    bool Nuevo = false;      // the tree was replaced (New, Open): the history started again

    bool Algo() const { return Dibujo || Estructura || Variables || Enlace || Nuevo; }
    Cambios& operator|=(const Cambios& o);
};

class Historia {
public:
    // Steps kept at most; the oldest go first.
    static constexpr size_t kMaxPasos = 1000;

    // Starts empty, with the tree as it stands as the start.
    explicit Historia(Arbol& arbol, size_t maxPasos = kMaxPasos);
    Historia(const Historia&) = delete;
    Historia& operator=(const Historia&) = delete;
    ~Historia();

    // Runs orden as one step called nombre and returns what it changed. A
    // command that changed nothing (refused, cancelled) leaves no step. If
    // orden raises, what it changed until then becomes the step (so an undo
    // takes it back) and the exception goes on; UltimosCambios() then says
    // what to refresh. A step with a non-empty fusion key right after a step
    // with the same key joins it: typing into one comment, one text or the
    // variables list is one step. A new step forgets what could be redone. A
    // command that replaced the tree (New, Open) empties the history.
    Cambios Ejecuta(const std::string& nombre, const std::function<void()>& orden,
                    const std::string& fusion = {});

    // Runs a command that is not a step ("Calcular VEM", zoom, "Ver
    // variables", "&Copiar") and returns what it changed. Its changes go with
    // the step before, as any change made outside the history does.
    Cambios EjecutaSinPaso(const std::function<void()>& orden);

    // Takes the last step back, or puts back the last step taken back, and
    // returns what changed. Refused, changing nothing, when there is nothing
    // to undo or redo (nullopt).
    std::optional<Cambios> Deshacer();
    std::optional<Cambios> Rehacer();

    bool PuedeDeshacer() const;
    bool PuedeRehacer() const;
    // The name of the step Deshacer or Rehacer would act on; empty when none.
    std::string NombreDeshacer() const;
    std::string NombreRehacer() const;

    // Forgets every step: the tree as it stands becomes the start.
    void Vacia();

    // What the last Ejecuta, EjecutaSinPaso, Deshacer or Rehacer changed, also
    // when its command raised.
    const Cambios& UltimosCambios() const { return ultimos_; }

    // Bytes held by the steps (both ways), and in all, with the copy of the
    // tree the history compares with.
    size_t MemoriaPasos() const;
    size_t Memoria() const;

private:
    struct Bloque;
    struct Paso;
    // The copy of the document values the history compares with.
    struct Sombra {
        std::array<std::unique_ptr<TNodo>, MaxNumeroNodo + 1> nodos;
        std::vector<uint16_t> orden; // ListaOrden positions 0..UltimaPosicion
        int32_t ultimoIndice = 0;
        int32_t tamanyoNodo = 0;
        int32_t separacionHorizontal = 0;
        int32_t separacionVertical = 0;
        int32_t tamanyoLetra = 0;
        uint16_t nodoCopiado = 0;
        std::string documentoEditor;
        std::vector<std::string> variables;
        double zoom = 1.0;
    };
    using Tocados = std::bitset<MaxNumeroNodo + 1>;

    // The tree as it stands becomes the copy; the steps are forgotten.
    void Reinicia();
    // Brings the copy to the current zoom as zooming does.
    void EscalaSombra();
    // Compares the tree with the copy (only the slots in solo, when given),
    // records the differences in a block and brings the copy up to date.
    Bloque Compara(const Tocados* solo);
    // Notices changes made since the history last looked: a replaced tree
    // empties it; other changes go with the step before (and with the step
    // to redo, so that redoing brings back the tree as it was). Returns them.
    Cambios Sincroniza();
    // Puts back the values before of the blocks, last block first.
    void AplicaAntes(const Paso& paso, Tocados& tocados);
    void AplicaBloque(const Bloque& b, Tocados& tocados);
    // Joins block b, taken right after the last block of paso, into it.
    void Une(Paso& paso, Bloque&& b);
    // Runs an undo or a redo: from one stack to the other.
    std::optional<Cambios> Mueve(std::vector<Paso>& de, std::vector<Paso>& a);
    // Records what the command just run changed as a step (or joins it to the last one).
    Cambios Registra(const std::string& nombre, const std::string& fusion, uint64_t generacion, bool fallo);
    // Puts the tree back as the copy holds it.
    void RestauraSombra();
    void Recorta();
    size_t MemoriaSombra() const;

    Arbol& a_;
    size_t maxPasos_;
    Sombra sombra_;
    uint64_t generacion_ = 0;
    std::vector<Paso> deshacer_; // oldest first
    std::vector<Paso> rehacer_;  // the next to redo last
    bool abierto_ = false;       // the last step may still take typing of the same key
    Cambios ultimos_;
    std::string tmpAntes_, tmpDespues_; // scratch of the block encoder
};
