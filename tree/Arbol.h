#pragma once
// The single tree and everything the main window keeps beside it: the node
// table, the creation-order list, the document values, the options, the
// variables list and the user port. The GUI's main window holds one Arbol.
#include "common/Usuario.h"
#include "drawing/Opciones.h"
#include "tree/Nodo.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Arbol {
public:
    Arbol();
    Arbol(const Arbol&) = delete;
    Arbol& operator=(const Arbol&) = delete;

    // --- The table -------------------------------------------------------
    std::array<std::unique_ptr<TNodo>, MaxNumeroNodo + 1> TablaNodos;
    std::array<uint16_t, MaxNumeroNodo + 1> ListaOrden{};
    int32_t UltimaPosicion = 0;
    int32_t UltimoIndice = 0;
    // Moves on whenever the whole tree is replaced (a new tree, a file read),
    // so whoever keeps something about its nodes knows it no longer applies.
    uint64_t Generacion = 0;
    // Changes not yet in the tree's file. Modificaciones moves on with every
    // change of the tree (the history counts each one it records or notices;
    // code that changes the tree outside the history bumps it itself);
    // Guardado is the count the file holds. A new tree and a tree just read
    // are in their file; a save to NombreFichero brings Guardado up to date.
    // The recovery copy is written while the two differ.
    uint64_t Modificaciones = 0;
    uint64_t Guardado = 0;
    bool SinGuardar() const { return Modificaciones != Guardado; }

    // The node in slot n, or nullptr for an empty slot or a number outside the table.
    TNodo* Nodo(int n);
    const TNodo* Nodo(int n) const;
    TNodo& Raiz() { return *TablaNodos[0]; }

    // --- Document values -------------------------------------------------
    int32_t TamanyoNodo = 30;
    int32_t SeparacionHorizontal = 120;
    int32_t SeparacionVertical = 36;
    int32_t TamanyoLetra = 8;
    double FactorZoom = 1.0;
    Color ColorDecision = RGB(255, 255, 130);
    Color ColorAzar = RGB(136, 255, 136);
    Color ColorTerminal = RGB(147, 147, 255);
    Color ColorElegido = RGB(255, 0, 0);
    int32_t GrosorElegido = 2;
    Color ColorComentario = RGB(255, 0, 0);
    std::string NombreFichero;
    std::string DocumentoEditor;
    uint16_t NodoCopiado = 0;

    // The two identifier labels of the drawing, at (8, 8) and (8, 24).
    Etiqueta Archivo;
    Etiqueta Fecha;

    // The recent-files items F1..F4 of the "&Archivo" menu, most recent
    // first; an empty entry hides its item.
    std::array<std::string, 4> Recientes;

    // Height of the main window in pixels: a new tree's root sits at (20, H/2 - 50).
    int32_t AltoVentana = 768;

    // --- What other windows keep -----------------------------------------
    Opciones opciones;
    // The variables list: the lines of the variables window's memo, and its hidden backup.
    std::vector<std::string> Variables;
    std::vector<std::string> VariablesRespaldo;
    // The two substitution lists of the variables.
    std::vector<std::string> NombresVariables;
    std::vector<std::string> DefinicionesVariables;

    // What the computed values are: 0 when expected values (as after a file
    // read, a new tree or "Valores a cero"), else the risk tolerance R under
    // which the last solve gave certainty equivalents.
    double ToleranciaValores = 0;

    // Where the core asks and tells; never null once the program runs.
    IUsuario* usuario = nullptr;
    // The main window's "Ver variables" button (down at start): branch labels
    // show the names of the lines they refer to instead of their numbers.
    bool VerVariables = true;

    // --- Operations on the table -----------------------------------------
    // Hands out UltimoIndice + 1 and appends it to ListaOrden. Raises
    // ELimiteArbol, changing nothing, when no number is left.
    uint16_t NuevoIndice();
    // Builds the node record and its view data in slot numero. Does not touch
    // ListaOrden or the parent's children, and does not place the figure.
    void CrearNodo(uint16_t numero, uint8_t tipo, uint16_t padre);
    // Frees the node; ListaOrden and the parent's children are the caller's.
    void DestruirNodo(uint16_t numero);
    // Places the figure's top-left corner and the comment mark at its top-right
    // corner. A position beyond kLimitePosicion (at the current zoom) stops at it.
    void SituarNodo(uint16_t numero, int64_t x, int64_t y);
    void QuitarDeOrden(uint16_t numero);
    void QuitarDeHijos(uint16_t numero);
    // Removes every descendant, deepest first; the node itself stays.
    void BorrarDescendientes(uint16_t numero);
    void MoverDescendientes(uint16_t numero, int32_t dx, int32_t dy);
    // Renames the node whose figure carries the number; nothing when none does.
    void PonerTexto(uint16_t numero, const std::string& texto);
    // Appends hijo to the children of padre. Raises ELimiteArbol, changing
    // nothing, when padre already has the maximum number of branches.
    void AnyadirHijo(uint16_t padre, uint16_t hijo);
    // A new node of kind tipo below padre, at (x, y), as its last branch: the
    // next number, the node built, placed and appended to the parent's
    // children. Raises ELimiteArbol, changing nothing, when no number or
    // branch is left (and the label options' conversion error likewise).
    uint16_t NuevoHijo(uint16_t padre, uint8_t tipo = NodoTerminal, int64_t x = 0, int64_t y = 0);
    // Checks, before anything changes, that nuevos more node numbers are
    // left and that padre can take ramas more branches; raises ELimiteArbol otherwise.
    void CompruebaEspacio(int nuevos, uint16_t padre, int ramas) const;

    // Starts an empty tree: only a terminal root at (20, H/2 - 50), the
    // document values back at their start (colours and width kept).
    void NuevoArbolVacio();

    // Copies the source's values, label captions and kind into the target.
    void CopiarNodo(uint16_t destino, uint16_t origen);

    // Rewrites a node's probability, payoff and value captions from its
    // values with the label options (raises the conversion error of a bad digits text).
    void EtiquetasNumericas(TNodo& nodo);

    // Number of nodes in the tree.
    int NumeroNodos() const { return UltimaPosicion + 1; }
};

// Texts of the two limits, shared by every caller that refuses.
extern const char* const kMensajeSinNumeros;
extern const char* const kMensajeSinRamas;
