#include "drawing/Disposicion.h"

#include "common/Redondeo.h"

namespace {

int32_t Mitad(int32_t v) { return static_cast<int32_t>(Round(v / 2.0)); }

} // namespace

const Etiqueta& EtiquetaDe(const TNodo& n, int cual)
{
    switch (cual) {
    case ETexto: return n.EtiquetaTexto;
    case EProbabilidad: return n.EtiquetaProbabilidad;
    case EGanancia: return n.EtiquetaGanancia;
    case EValor: return n.EtiquetaValor;
    default: return n.EtiquetaNumero;
    }
}

std::array<bool, NumEtiquetas> EtiquetasVisibles(const Arbol& a, uint16_t numero)
{
    std::array<bool, NumEtiquetas> v{};
    const TNodo* n = a.Nodo(numero);
    if (!n)
        return v;
    for (int i = 0; i < ENumero; ++i)
        v[i] = EtiquetaDe(*n, i).Visible;
    v[ENumero] = a.opciones.CheckBoxNumNodosVisibles;
    if (numero == 0) {
        // No incoming branch, whatever the flags say.
        v[ETexto] = v[EProbabilidad] = v[EGanancia] = false;
        return v;
    }
    const TNodo* padre = a.Nodo(n->Padre);
    if (!padre || padre->Tipo != NodoAzar)
        v[EProbabilidad] = false;
    if (n->Tipo == NodoTerminal)
        v[EValor] = false;
    return v;
}

std::array<Rect, NumEtiquetas> SituaEtiquetas(const Arbol& a, uint16_t numero,
                                             const std::array<Medida, NumEtiquetas>& m)
{
    std::array<Rect, NumEtiquetas> r{};
    const TNodo* n = a.Nodo(numero);
    if (!n)
        return r;
    const Rect& f = n->Figura;
    const int32_t cy = f.Top + Mitad(f.Height);
    const int32_t lead = n->LongitudRama;
    auto pon = [&](int cual, int32_t left, int32_t top) { r[cual] = Rect{left, top, m[cual].Ancho, m[cual].Alto}; };
    pon(ETexto, f.Left - m[ETexto].Ancho - 4, cy - m[ETexto].Alto - 4);
    pon(EProbabilidad, f.Left - lead, cy + 4);
    pon(EGanancia, f.Left - m[EGanancia].Ancho - 4, cy + 4);
    pon(EValor, f.Right() - m[EValor].Ancho, f.Top - m[EValor].Alto - 4);
    // The root's number sits one pixel lower than the others'.
    pon(ENumero, f.Left + Mitad(f.Width) - 3, cy - (numero == 0 ? 6 : 7));
    return r;
}

std::optional<Rama> RamaDe(const Arbol& a, uint16_t numero)
{
    if (numero == 0)
        return std::nullopt;
    const TNodo* n = a.Nodo(numero);
    const TNodo* p = n ? a.Nodo(n->Padre) : nullptr;
    if (!n || !p)
        return std::nullopt;
    Rama r;
    r.X0 = n->Figura.Left;
    r.Y0 = n->Figura.Top + Mitad(n->Figura.Height);
    r.X1 = r.X0 - n->LongitudRama;
    r.Y1 = r.Y0;
    // The parent's right edge is taken from the node size, not its own width.
    r.X2 = p->Figura.Left + a.TamanyoNodo;
    r.Y2 = p->Figura.Top + Mitad(p->Figura.Height);
    r.Pluma = n->Elegido ? a.ColorElegido : RGB(0, 0, 0);
    r.Grosor = n->Elegido ? a.GrosorElegido : 1;
    return r;
}

Color ColorFigura(const Arbol& a, const TNodo& n)
{
    if (n.Seleccionado)
        return ColorSeleccion;
    switch (n.Tipo) {
    case NodoDecision: return a.ColorDecision;
    case NodoAzar: return n.SumaErronea ? ColorSumaErronea : a.ColorAzar;
    default: return a.ColorTerminal;
    }
}

Impacto ControlEnPunto(const Arbol& a, int32_t x, int32_t y, const MedirEtiqueta& medir)
{
    for (int p = a.UltimaPosicion; p >= 0; --p) {
        const uint16_t numero = a.ListaOrden[p];
        const TNodo* n = a.Nodo(numero);
        if (!n)
            continue;
        if (n->MarcaVisible && n->MarcaComentario.Contiene(x, y))
            return {Impacto::EnMarca, numero, -1};
        const auto visibles = EtiquetasVisibles(a, numero);
        std::array<Medida, NumEtiquetas> m{};
        bool alguna = false;
        for (int i = 0; i < NumEtiquetas; ++i)
            if (visibles[i]) {
                m[i] = medir(EtiquetaDe(*n, i));
                alguna = true;
            }
        if (alguna) {
            const auto r = SituaEtiquetas(a, numero, m);
            // The number sits inside the figure: it lets the mouse through to it.
            for (int i = ENumero - 1; i >= 0; --i)
                if (visibles[i] && r[i].Contiene(x, y))
                    return {Impacto::EnEtiqueta, numero, i};
        }
        if (n->Figura.Contiene(x, y))
            return {Impacto::EnFigura, numero, -1};
    }
    return {};
}

std::string HintEnPunto(const Arbol& a, int32_t x, int32_t y, const MedirEtiqueta& medir)
{
    const Impacto i = ControlEnPunto(a, x, y, medir);
    const TNodo* n = a.Nodo(i.nodo);
    if (!n)
        return {};
    switch (i.tipo) {
    case Impacto::EnFigura: return n->HintFigura;
    case Impacto::EnEtiqueta: return EtiquetaDe(*n, i.etiqueta).Hint;
    default: return {};
    }
}
