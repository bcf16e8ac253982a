#pragma once
// The editing commands of a node's pop-up menu. Each acts on node n of the
// tree, asks through the tree's user port and returns true when it changed
// the tree, so the caller knows to repaint. Errors (a text that is not a
// number, a full tree) are raised before anything changes, except where noted.
#include "tree/Arbol.h"

#include <cstdint>
#include <string>
#include <vector>

// Which pop-up commands apply to node n: the handlers below refuse quietly
// (returning false) when called for a node they do not apply to.
bool PuedeConvertir(const Arbol& a, uint16_t n, uint8_t tipo); // decision: terminal; chance: terminal, not the root
bool PuedeAnyadirRama(const Arbol& a, uint16_t n);             // decision or chance node
bool PuedeBorrar(const Arbol& a, uint16_t n);                  // any node but the root
bool PuedeEditarRama(const Arbol& a, uint16_t n);              // text and payoff: any node but the root
bool PuedeEditarProbabilidad(const Arbol& a, uint16_t n);      // the parent is a chance node
bool PuedeCopiar(const Arbol& a, uint16_t n);                  // decision or chance node, not the root
bool PuedePegar(const Arbol& a, uint16_t n);                   // terminal, not the root, a live node marked

// Tops of the N children of a node whose top is y: child 1 lowest, child N
// highest, S + G pixels apart and centred on y (S node size, G vertical spacing).
std::vector<int32_t> TopesHijos(int32_t y, int n, int32_t tamanyo, int32_t separacionVertical);

// A comment's lines: the pieces ending in a tab (text after the last tab is dropped).
std::vector<std::string> LineasDeComentario(const std::string& comentario);
// The stored form of the lines: each followed by one tab (a tab inside a line becomes a blank).
std::string ComentarioDeLineas(const std::vector<std::string>& lineas);

// The commands, with the state the value dialog, the paste item and the
// comment pad keep between uses. The main window holds one.
class Edicion {
public:
    explicit Edicion(Arbol& arbol) : a_(arbol) {}

    // "Nuevo nodo de &decisión ..." and "Nuevo nodo de &azar ...": asks for
    // the number of branches and rebuilds the terminal node n with that many children.
    bool CuadrodeDecisin1Click(uint16_t n);
    bool NododeAzar1Click(uint16_t n);
    // "Nueva &rama": one more terminal child below the lowest one.
    bool Nuevarama1Click(uint16_t n);
    // "&Borrar nodo": after confirmation, removes what hangs below n; a
    // terminal n goes too, any other n becomes terminal again.
    bool Borrar1Click(uint16_t n);
    // "&Texto": the node's one-line text.
    bool Texto1Click(uint16_t n);
    // "&Ganancia" and "&Probabilidad": the value dialog; a picked line of the
    // variables list makes the branch refer to that variable, anything else is read as a number.
    bool Coste3Click(uint16_t n);
    bool Probabilidad1Click(uint16_t n);
    // "&Copiar": marks n; the paste copies it as it is at the time of pasting.
    bool Copiar1Click(uint16_t n);
    // "P&egar": turns the terminal node n into a copy of the marked structure.
    bool Pegar1Click(uint16_t n);

    // The comment pad. AbrirComentario gives the lines to show and remembers
    // the node; NotaCambiada records an edit; GuardarComentario stores the
    // edited lines into the remembered node when there was an edit and the
    // node still exists, and returns whether it stored them.
    std::vector<std::string> AbrirComentario(uint16_t n);
    void NotaCambiada() { notaCambiada_ = true; }
    bool GuardarComentario(const std::vector<std::string>& lineas);
    uint16_t NodoNota() const { return nodoNota_; }
    bool NotaConCambios() const { return notaCambiada_; }

    // The paste item's caption: "P&egar", then "P&egar nodo " and the last node copied.
    const std::string& CaptionPegar() const { return captionPegar_; }
    // The value dialog's last accepted text, shared by payoff and probability.
    const std::string& UltimoDato() const { return ultimoDato_; }

    Arbol& arbol() { return a_; }

private:
    bool Convertir(uint16_t n, uint8_t tipo, const char* titulo, const char* rotulo);
    bool ValorRama(uint16_t n, bool probabilidad);

    Arbol& a_;
    std::string ultimoDato_;
    std::string captionPegar_ = "P&egar";
    uint16_t nodoNota_ = 0;
    bool notaCambiada_ = false;
};

