#pragma once
// The generated model several benchmarks share: 1001 nodes whose every branch
// names a line of a 100-line nested list.
#include "tree/Arbol.h"

#include <memory>
#include <string>

namespace bench {

inline std::string Nombre(int nivel, int i) { return "V" + std::to_string(nivel) + "_" + std::to_string(i) + "_"; }

// 100 lines, 25 per level, each level built on the one below (three levels above the numbers).
inline void ListaAnidada(Arbol& a)
{
    a.Variables.clear();
    for (int i = 0; i < 25; ++i)
        a.Variables.push_back(Nombre(0, i) + " = " + std::to_string(i) + ".5");
    for (int i = 0; i < 25; ++i)
        a.Variables.push_back(Nombre(1, i) + " = " + Nombre(0, i) + " * 2 + " + Nombre(0, (i + 1) % 25));
    for (int i = 0; i < 25; ++i)
        a.Variables.push_back(Nombre(2, i) + " = " + Nombre(1, i) + " - " + Nombre(1, (i + 3) % 25) + " / 4");
    for (int i = 0; i < 24; ++i)
        a.Variables.push_back(Nombre(3, i) + " = (" + Nombre(2, i) + " + " + Nombre(2, (i + 7) % 25) + ") * 0.5");
    a.Variables.push_back("Q_ = 1 / 99");
}

// 1001 nodes: a decision root, 10 chance nodes, 99 terminals below each.
inline std::unique_ptr<Arbol> ArbolGrande()
{
    auto a = std::make_unique<Arbol>();
    a->Raiz().Tipo = NodoDecision;
    ListaAnidada(*a);
    for (int k = 0; k < 10; ++k) {
        const uint16_t c = a->NuevoIndice();
        a->CrearNodo(c, NodoAzar, 0);
        a->AnyadirHijo(0, c);
        a->Nodo(c)->FormulaGanancia = Nombre(2, k);
        for (int j = 0; j < 99; ++j) {
            const uint16_t t = a->NuevoIndice();
            a->CrearNodo(t, NodoTerminal, c);
            a->AnyadirHijo(c, t);
            a->Nodo(t)->FormulaGanancia = Nombre(3, (k * 99 + j) % 24);
            a->Nodo(t)->FormulaProbabilidad = "Q_";
        }
    }
    return a;
}

} // namespace bench
