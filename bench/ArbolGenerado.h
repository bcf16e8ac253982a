#pragma once
// The generated model every benchmark shares: 1001 nodes whose every branch
// names a line of a 100-line nested list, laid out over the whole 3000 x 3000
// surface with texts, comments and the numbers shown, as a large real tree is.
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

// 1001 nodes: a decision root, 10 chance nodes, 99 terminals below each. The
// terminals run evenly down the surface, each chance node level with the
// middle of its own, the root level with the middle of them all.
inline std::unique_ptr<Arbol> ArbolGrande()
{
    auto a = std::make_unique<Arbol>();
    a->Raiz().Tipo = NodoDecision;
    ListaAnidada(*a);
    constexpr int kTerminales = 10 * 99;
    for (int k = 0; k < 10; ++k) {
        const uint16_t c = a->NuevoHijo(0, NodoAzar);
        TNodo& azar = *a->Nodo(c);
        azar.FormulaGanancia = Nombre(2, k);
        azar.Texto = azar.EtiquetaTexto.Caption = "Alternativa " + std::to_string(k);
        azar.Comentario = "Primera línea\tsegunda línea\t";
        azar.MarcaVisible = true;
        for (int j = 0; j < 99; ++j) {
            const uint16_t t = a->NuevoHijo(c, NodoTerminal);
            TNodo& n = *a->Nodo(t);
            n.FormulaGanancia = Nombre(3, (k * 99 + j) % 24);
            n.FormulaProbabilidad = "Q_";
            n.Texto = n.EtiquetaTexto.Caption = "Resultado " + std::to_string(j) + " ñ";
            a->SituarNodo(t, 600, 10 + (2950 * (k * 99 + j)) / kTerminales);
        }
        a->SituarNodo(c, 300, 10 + (2950 * (k * 99 + 49)) / kTerminales);
    }
    a->SituarNodo(0, 40, 1480);
    a->opciones.CheckBoxNumNodosVisibles = true;
    return a;
}

} // namespace bench
