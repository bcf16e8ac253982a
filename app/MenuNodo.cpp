#include "app/MenuNodo.h"

EstadoMenuNodo PreparaMenuNodo(const Arbol& a, uint16_t numero)
{
    EstadoMenuNodo m;
    auto& it = m.Items;
    m.CaptionPegar = a.NodoCopiado != 0 ? "P&egar nodo " + std::to_string(a.NodoCopiado) : "P&egar";
    const TNodo* n = a.Nodo(numero);
    if (!n) {
        for (auto& i : it)
            i = {false, false};
        return m;
    }
    auto muestra = [&](std::initializer_list<int> items, bool visible) {
        for (int i : items)
            it[i].Visible = visible;
    };
    if (numero == 0) {
        // The root has no incoming branch: it can neither be deleted nor get a text,
        // payoff or probability, and it is never copied or pasted onto.
        const bool terminal = n->Tipo == NodoTerminal;
        muestra({ICuadrodeDecisin1}, terminal);
        muestra({INuevarama1}, !terminal);
        muestra({INododeAzar1, IBorrar1, ITexto1, ICoste3, IProbabilidad1}, false);
        it[ICopiar1].Enabled = false;
        it[IPegar1].Enabled = false;
        return m;
    }
    muestra({ITexto1, IBorrar1}, true);
    if (n->Tipo == NodoTerminal) {
        muestra({ICuadrodeDecisin1, INododeAzar1}, true);
        muestra({INuevarama1}, false);
        it[ICopiar1].Enabled = false;
        it[IPegar1].Enabled = a.NodoCopiado != 0;
    } else {
        muestra({INuevarama1}, true);
        muestra({ICuadrodeDecisin1, INododeAzar1}, false);
        it[ICopiar1].Enabled = true;
        it[IPegar1].Enabled = false;
    }
    const TNodo* padre = a.Nodo(n->Padre);
    const bool bajoAzar = padre && padre->Tipo == NodoAzar;
    muestra({ICoste3}, true);
    muestra({IProbabilidad1}, bajoAzar);
    return m;
}
