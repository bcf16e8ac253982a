#pragma once
// What the node pop-up menu offers for the node it was opened on.
#include "tree/Arbol.h"

#include <array>
#include <string>

// The items of the node menu, top to bottom.
enum ItemMenuNodo : int {
    ICuadrodeDecisin1,
    INododeAzar1,
    INuevarama1,
    IBorrar1,
    ITexto1,
    ICoste3,
    IProbabilidad1,
    ICopiar1,
    IPegar1,
    IComentario1,
    NumItemsMenuNodo
};

struct EstadoItem {
    bool Visible = true;
    bool Enabled = true;
};

struct EstadoMenuNodo {
    std::array<EstadoItem, NumItemsMenuNodo> Items{};
    std::string CaptionPegar; // "P&egar", or "P&egar nodo N" while node N is marked
};

// Every item's state for node numero, whatever the menu showed before.
EstadoMenuNodo PreparaMenuNodo(const Arbol& arbol, uint16_t numero);
