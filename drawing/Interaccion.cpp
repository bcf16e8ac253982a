#include "drawing/Interaccion.h"

#include "common/Redondeo.h"

namespace {

// Round of an integer coordinate times the zoom factor, with the exact product.
int32_t Escala(int32_t v, double f)
{
    return static_cast<int32_t>(Round(static_cast<long double>(v) * static_cast<long double>(f)));
}

std::vector<uint16_t> Seleccionados(const Arbol& arbol)
{
    std::vector<uint16_t> r;
    for (int p = 1; p <= arbol.UltimaPosicion; ++p) {
        const TNodo* n = arbol.Nodo(arbol.ListaOrden[p]);
        if (n && n->Seleccionado)
            r.push_back(arbol.ListaOrden[p]);
    }
    return r;
}

// Round of the mean of the selected nodes' lefts or tops.
int32_t Media(const Arbol& arbol, const std::vector<uint16_t>& sel, bool lefts)
{
    long double suma = 0;
    for (uint16_t k : sel)
        suma += lefts ? arbol.Nodo(k)->Figura.Left : arbol.Nodo(k)->Figura.Top;
    return static_cast<int32_t>(Round(suma / static_cast<long double>(sel.size())));
}

void AnyadeHijos(const Arbol& arbol, uint16_t nodo, int nivel, std::vector<ElementoEsquema>& r, int profundidad)
{
    const TNodo* n = arbol.Nodo(nodo);
    // A damaged child list must not loop forever: no path is longer than the table.
    if (!n || profundidad > MaxNumeroNodo)
        return;
    for (int k = 1; k <= n->NumHijos() && k <= MaxHijos; ++k) {
        const uint16_t c = n->Hijo(k);
        const TNodo* h = arbol.Nodo(c);
        if (!h || c == nodo)
            continue;
        r.push_back({nivel, c, h->Tipo, h->Texto});
        AnyadeHijos(arbol, c, nivel + 1, r, profundidad + 1);
    }
}

} // namespace

bool QuitaSeleccion(Arbol& arbol)
{
    bool cambio = false;
    for (int p = 1; p <= arbol.UltimaPosicion; ++p) {
        TNodo* n = arbol.Nodo(arbol.ListaOrden[p]);
        if (n && n->Seleccionado) {
            n->Seleccionado = false;
            cambio = true;
        }
    }
    return cambio;
}

void SeleccionaNodo(Arbol& arbol, uint16_t numero)
{
    TNodo* n = arbol.Nodo(numero);
    if (n && numero != 0)
        n->Seleccionado = true;
}

void EmpiezaArrastre(Arbol& arbol, EstadoArrastre& estado, uint16_t numero, int32_t x, int32_t y)
{
    const TNodo* n = arbol.Nodo(numero);
    if (!n)
        return;
    QuitaSeleccion(arbol);
    estado.Arrastrando = true;
    estado.NodoArrastrado = numero;
    estado.Fantasma = n->Figura;
    estado.FantasmaVisible = true;
    estado.AgarreX = x;
    estado.AgarreY = y;
}

void MueveArrastre(EstadoArrastre& estado, int32_t x, int32_t y)
{
    if (!estado.Arrastrando)
        return;
    estado.Fantasma.Left = x - estado.AgarreX;
    estado.Fantasma.Top = y - estado.AgarreY;
}

bool SueltaArrastre(Arbol& arbol, EstadoArrastre& estado, const ModosMovimiento& modos)
{
    if (!estado.Arrastrando)
        return false;
    estado.Arrastrando = false;
    const Rect fantasma = estado.Fantasma;
    estado.Fantasma = Rect{};
    estado.FantasmaVisible = false;
    TNodo* n = arbol.Nodo(estado.NodoArrastrado);
    if (!n)
        return false;
    const uint16_t numero = static_cast<uint16_t>(estado.NodoArrastrado);
    const int64_t viejoX = n->Figura.Left;
    const int64_t viejoY = n->Figura.Top;
    arbol.SituarNodo(numero, fantasma.Left, fantasma.Top);
    // The move actually made: a drop beyond the limit stops at it.
    const int64_t dx = n->Figura.Left - viejoX;
    const int64_t dy = n->Figura.Top - viejoY;
    if (modos.Modo1)
        n->LongitudRama = static_cast<uint16_t>(n->LongitudRama + dx);
    if (modos.MueveHijos)
        arbol.MoverDescendientes(numero, static_cast<int32_t>(dx), static_cast<int32_t>(dy));
    return true;
}

void AlinearVertical(Arbol& arbol, const ModosMovimiento& modos)
{
    const auto sel = Seleccionados(arbol);
    if (sel.empty())
        return;
    const int32_t m = Media(arbol, sel, true);
    for (uint16_t k : sel) {
        TNodo* n = arbol.Nodo(k);
        if (modos.Modo1)
            n->LongitudRama = static_cast<uint16_t>(n->LongitudRama + (m - n->Figura.Left));
        arbol.SituarNodo(k, m, n->Figura.Top);
        n->Seleccionado = false;
    }
}

void AlinearHorizontal(Arbol& arbol)
{
    const auto sel = Seleccionados(arbol);
    if (sel.empty())
        return;
    const int32_t m = Media(arbol, sel, false);
    for (uint16_t k : sel) {
        TNodo* n = arbol.Nodo(k);
        arbol.SituarNodo(k, n->Figura.Left, m);
        n->Seleccionado = false;
    }
}

void Reescala(Arbol& arbol, double f)
{
    const int32_t lado = static_cast<int32_t>(Round(arbol.TamanyoNodo / 4.0));
    for (int p = 0; p <= arbol.UltimaPosicion; ++p) {
        TNodo* n = arbol.Nodo(arbol.ListaOrden[p]);
        if (!n)
            continue;
        for (Etiqueta* e : {&n->EtiquetaTexto, &n->EtiquetaGanancia, &n->EtiquetaProbabilidad, &n->EtiquetaValor})
            e->Tamanyo = arbol.TamanyoLetra;
        n->LongitudRama = static_cast<uint16_t>(Escala(n->LongitudRama, f));
        n->Figura.Width = arbol.TamanyoNodo;
        n->Figura.Height = arbol.TamanyoNodo;
        n->Figura.Top = Escala(n->Figura.Top, f);
        n->Figura.Left = Escala(n->Figura.Left, f);
        n->MarcaComentario.Width = lado;
        n->MarcaComentario.Height = lado;
        n->MarcaComentario.Top = Escala(n->MarcaComentario.Top, f);
        n->MarcaComentario.Left = Escala(n->MarcaComentario.Left, f);
    }
}

void AplicaZoom(Arbol& arbol, double f)
{
    const double nuevo = arbol.FactorZoom * f;
    // Beyond these, positions would overflow the drawing's 32-bit sums (or
    // the factor would end at zero after many steps out).
    if (!(nuevo >= kZoomMinimo && nuevo <= kZoomMaximo))
        return;
    arbol.FactorZoom = nuevo;
    arbol.TamanyoLetra = static_cast<int32_t>(Trunc(8 * arbol.FactorZoom));
    arbol.TamanyoNodo = Escala(arbol.TamanyoNodo, f);
    arbol.SeparacionHorizontal = 4 * arbol.TamanyoNodo;
    arbol.SeparacionVertical = Escala(arbol.TamanyoNodo, 1.2);
    Reescala(arbol, f);
}

void ZoomAumentar(Arbol& arbol) { AplicaZoom(arbol, kZoomAumentar); }

void ZoomDisminuir(Arbol& arbol) { AplicaZoom(arbol, kZoomDisminuir); }

void ZoomOriginal(Arbol& arbol)
{
    // The quotient in extended precision, then rounded to a double.
    const double f = static_cast<double>(1.0L / static_cast<long double>(arbol.FactorZoom));
    AplicaZoom(arbol, f);
}

std::vector<ElementoEsquema> ConstruyeEsquema(const Arbol& arbol)
{
    std::vector<ElementoEsquema> r;
    r.push_back({0, 0, NodoDecision, "Nodo Inicial"});
    AnyadeHijos(arbol, 0, 1, r, 0);
    return r;
}
