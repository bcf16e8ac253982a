#include "app/MenuNodo.h"

#include <gtest/gtest.h>

namespace {

// One letter per item, top to bottom: upper case shown and enabled, lower case
// shown but disabled, "." hidden.
std::string Resumen(const EstadoMenuNodo& m)
{
    const char* letras = "DARBTGPCEO";
    std::string s;
    for (int i = 0; i < NumItemsMenuNodo; ++i) {
        const EstadoItem& e = m.Items[i];
        s += !e.Visible ? '.' : e.Enabled ? letras[i] : static_cast<char>(std::tolower(letras[i]));
    }
    return s;
}

TEST(MenuNodo, ReglasPorNodo)
{
    // Items: Decisión Azar Rama Borrar Texto Ganancia Probabilidad Copiar pEgar cOmentario
    // 0 decision -> 1 chance -> (2 terminal, 3 decision -> 4 terminal); 0 -> 5 terminal
    Arbol a;
    Arbol nuevo;
    a.Raiz().Tipo = NodoDecision;
    a.NuevoHijo(0, NodoAzar);
    a.NuevoHijo(1, NodoTerminal);
    a.NuevoHijo(1, NodoDecision);
    a.NuevoHijo(3, NodoTerminal);
    a.NuevoHijo(0, NodoTerminal);
    // A file may hold a chance root: it gets what a decision root gets, never
    // deletion, text, payoff or probability (it has no incoming branch).
    Arbol azar;
    azar.Raiz().Tipo = NodoAzar;
    azar.NuevoHijo(0, NodoTerminal);
    struct Caso {
        const char* que;
        const Arbol* arbol;
        uint16_t nodo;
        uint16_t copiado;
        const char* esperado;
    };
    const Caso casos[] = {
        {"raíz de un árbol nuevo", &nuevo, 0, 0, "D......ceO"},
        {"raíz de decisión", &a, 0, 0, "..R....ceO"},
        {"raíz de decisión con nodo marcado", &a, 0, 1, "..R....ceO"},
        {"azar bajo decisión", &a, 1, 0, "..RBTG.CeO"},
        {"terminal bajo azar", &a, 2, 0, "DA.BTGPceO"},
        {"terminal bajo azar, con nodo marcado", &a, 2, 3, "DA.BTGPcEO"},
        {"decisión bajo azar", &a, 3, 1, "..RBTGPCeO"},
        {"terminal bajo decisión", &a, 4, 0, "DA.BTG.ceO"},
        {"terminal bajo decisión, con nodo marcado", &a, 5, 3, "DA.BTG.cEO"},
        {"raíz de azar", &azar, 0, 0, "..R....ceO"},
    };
    for (const Caso& c : casos) {
        const_cast<Arbol*>(c.arbol)->NodoCopiado = c.copiado;
        EXPECT_EQ(Resumen(PreparaMenuNodo(*c.arbol, c.nodo)), c.esperado) << c.que;
    }
}

TEST(MenuNodo, CaptionPegar)
{
    Arbol a;
    a.NuevoHijo(0, NodoDecision);
    EXPECT_EQ(PreparaMenuNodo(a, 1).CaptionPegar, "P&egar");
    a.NodoCopiado = 7;
    EXPECT_EQ(PreparaMenuNodo(a, 1).CaptionPegar, "P&egar nodo 7");
    a.NodoCopiado = 0;
    EXPECT_EQ(PreparaMenuNodo(a, 1).CaptionPegar, "P&egar");
}

} // namespace
