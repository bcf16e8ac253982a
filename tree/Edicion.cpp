#include "tree/Edicion.h"

#include "common/Decimal.h"
#include "common/Errores.h"
#include "common/Redondeo.h"
#include "drawing/FormatoEtiqueta.h"
#include "variables/Variables.h"

#include <algorithm>

namespace {

bool EsRamificado(const TNodo* x) { return x && (x->Tipo == NodoDecision || x->Tipo == NodoAzar); }

// The label options are read while nodes are rebuilt; a bad text must fail
// before the first node is destroyed, not halfway.
void CompruebaOpcionesEtiquetas(const Arbol& a)
{
    a.opciones.DigitosEtiquetas();
    a.opciones.PrecisionEtiquetas();
}

// What a node keeps when it is rebuilt as another kind in its own slot.
struct Conservado {
    int32_t x, y;
    uint16_t padre;
    std::string texto;
    double ganancia, probabilidad;
    uint16_t longitud;
};

Conservado Conserva(const TNodo& x)
{
    return {x.Figura.Left, x.Figura.Top, x.Padre, x.Texto, x.Ganancia, x.Probabilidad, x.LongitudRama};
}

// Destroys n and builds it again as tipo with the kept values; the labels of
// the branch values show the numbers (any variable reference is dropped).
TNodo& Reconstruye(Arbol& a, uint16_t n, uint8_t tipo, const Conservado& c, bool conLongitud)
{
    a.DestruirNodo(n);
    a.CrearNodo(n, tipo, c.padre);
    TNodo& x = *a.Nodo(n);
    x.Texto = c.texto;
    x.EtiquetaTexto.Caption = c.texto;
    x.Ganancia = c.ganancia;
    x.Probabilidad = c.probabilidad;
    if (conLongitud)
        x.LongitudRama = c.longitud;
    const int32_t d = a.opciones.DigitosEtiquetas();
    const int32_t p = a.opciones.PrecisionEtiquetas();
    x.EtiquetaGanancia.Caption = FormatoEtiqueta(x.Ganancia, d, p);
    x.EtiquetaProbabilidad.Caption = FormatoEtiqueta(x.Probabilidad, d, p);
    a.SituarNodo(n, c.x, c.y);
    return x;
}

// True when m is n or lies below it.
bool EnEstructura(const Arbol& a, uint16_t m, uint16_t n)
{
    // Parent links lead to the root in at most one step per node.
    for (int pasos = 0; pasos <= MaxNumeroNodo + 1; ++pasos) {
        if (m == n)
            return true;
        const TNodo* x = a.Nodo(m);
        if (!x || m == 0)
            return false;
        m = x->Padre;
    }
    return false;
}

} // namespace

// --- When each command applies -------------------------------------------

bool PuedeConvertir(const Arbol& a, uint16_t n, uint8_t tipo)
{
    const TNodo* x = a.Nodo(n);
    if (!x || x->Tipo != NodoTerminal)
        return false;
    return tipo == NodoDecision || (tipo == NodoAzar && n != 0);
}

bool PuedeAnyadirRama(const Arbol& a, uint16_t n) { return EsRamificado(a.Nodo(n)); }

bool PuedeBorrar(const Arbol& a, uint16_t n) { return n != 0 && a.Nodo(n); }

bool PuedeEditarRama(const Arbol& a, uint16_t n) { return n != 0 && a.Nodo(n); }

bool PuedeEditarProbabilidad(const Arbol& a, uint16_t n)
{
    const TNodo* x = a.Nodo(n);
    if (!x || n == 0)
        return false;
    const TNodo* p = a.Nodo(x->Padre);
    return p && p->Tipo == NodoAzar;
}

bool PuedeCopiar(const Arbol& a, uint16_t n) { return n != 0 && EsRamificado(a.Nodo(n)); }

bool PuedePegar(const Arbol& a, uint16_t n)
{
    const TNodo* x = a.Nodo(n);
    return x && n != 0 && x->Tipo == NodoTerminal && a.NodoCopiado != 0 && EsRamificado(a.Nodo(a.NodoCopiado));
}

// --- Helpers --------------------------------------------------------------

std::vector<int32_t> TopesHijos(int32_t y, int n, int32_t tamanyo, int32_t separacionVertical)
{
    const int32_t paso = tamanyo + separacionVertical;
    std::vector<int32_t> topes;
    topes.reserve(n > 0 ? n : 0);
    for (int v = 1; v <= n; ++v) {
        if (n % 2 == 1) {
            const int m = n / 2 + 1;
            topes.push_back(y + (m - v) * paso);
        } else {
            const int m = n / 2;
            const int32_t s2 = static_cast<int32_t>(Round(tamanyo / 2.0));
            const int32_t g2 = static_cast<int32_t>(Round(separacionVertical / 2.0));
            topes.push_back(y - s2 - g2 + (m - v + 1) * paso);
        }
    }
    return topes;
}

std::vector<std::string> LineasDeComentario(const std::string& comentario)
{
    std::vector<std::string> lineas;
    std::string::size_type inicio = 0;
    for (;;) {
        const auto tab = comentario.find('\t', inicio);
        if (tab == std::string::npos)
            break;
        lineas.push_back(comentario.substr(inicio, tab - inicio));
        inicio = tab + 1;
    }
    return lineas;
}

std::string ComentarioDeLineas(const std::vector<std::string>& lineas)
{
    std::string c;
    for (std::string l : lineas) {
        // A tab ends a line in the stored form: one inside a line would split it.
        std::replace(l.begin(), l.end(), '\t', ' ');
        c += l;
        c += '\t';
    }
    return c;
}

// --- Conversion to a decision or chance node ------------------------------

bool Edicion::CuadrodeDecisin1Click(uint16_t n)
{
    return Convertir(n, NodoDecision, "Nodo de decisión", "Número de alternativas");
}

bool Edicion::NododeAzar1Click(uint16_t n) { return Convertir(n, NodoAzar, "Nodo de azar", "Número de estados"); }

bool Edicion::Convertir(uint16_t n, uint8_t tipo, const char* titulo, const char* rotulo)
{
    if (!PuedeConvertir(a_, n, tipo))
        return false;
    std::string respuesta = "0";
    if (!a_.usuario->PideTexto(titulo, rotulo, respuesta))
        respuesta = "0";
    const int32_t ramas = StrToInt(respuesta);
    if (ramas < 1 || ramas > MaxHijos)
        return false;
    // Everything that could refuse is checked while the node is still intact.
    a_.CompruebaEspacio(ramas, n, ramas);
    CompruebaOpcionesEtiquetas(a_);

    const Conservado c = Conserva(*a_.Nodo(n));
    Reconstruye(a_, n, tipo, c, true);

    const std::vector<int32_t> topes = TopesHijos(c.y, ramas, a_.TamanyoNodo, a_.SeparacionVertical);
    // Children may not lie above the drawing: the highest one (the last)
    // decides how far the node moves down, so all keep their spacing.
    const int32_t falta = topes.back() < 0 ? -topes.back() : 0;
    if (falta > 0)
        a_.SituarNodo(n, c.x, c.y + falta);
    const int32_t x = c.x + a_.SeparacionHorizontal;
    for (int v = 0; v < ramas; ++v) {
        a_.NuevoHijo(n, NodoTerminal, x, topes[v] + falta);
    }
    return true;
}

// --- New branch -------------------------------------------------------------

bool Edicion::Nuevarama1Click(uint16_t n)
{
    if (!PuedeAnyadirRama(a_, n))
        return false;
    a_.CompruebaEspacio(1, n, 1);
    CompruebaOpcionesEtiquetas(a_);
    const TNodo& p = *a_.Nodo(n);
    int32_t x = p.Figura.Left + a_.SeparacionHorizontal;
    int32_t y = p.Figura.Top;
    for (int i = 1; i <= p.NumHijos(); ++i) {
        const TNodo* h = a_.Nodo(p.Hijo(i));
        if (!h)
            continue;
        x = std::max(x, h->Figura.Left);
        y = std::max(y, h->Figura.Top);
    }
    a_.NuevoHijo(n, NodoTerminal, x, static_cast<int64_t>(y) + a_.SeparacionVertical);
    return true;
}

// --- Delete -----------------------------------------------------------------

bool Edicion::Borrar1Click(uint16_t n)
{
    if (!PuedeBorrar(a_, n))
        return false;
    if (a_.usuario->Pregunta("Atención", "¿Desea borrar este Nodo y la estructura que depende de él?", Botones::SiNo,
                             Icono::Exclamacion) != Respuesta::Si)
        return false;
    const TNodo& x = *a_.Nodo(n);
    if (x.Tipo != NodoTerminal)
        CompruebaOpcionesEtiquetas(a_);
    const bool marcaDebajo = a_.NodoCopiado != 0 && EnEstructura(a_, a_.NodoCopiado, n);

    a_.BorrarDescendientes(n);
    if (x.Tipo == NodoTerminal) {
        a_.QuitarDeHijos(n);
        a_.DestruirNodo(n);
        a_.QuitarDeOrden(n);
    } else {
        Reconstruye(a_, n, NodoTerminal, Conserva(x), false);
    }
    if (marcaDebajo)
        a_.NodoCopiado = 0;
    return true;
}

// --- Text ---------------------------------------------------------------------

bool Edicion::Texto1Click(uint16_t n)
{
    if (!PuedeEditarRama(a_, n))
        return false;
    TNodo& x = *a_.Nodo(n);
    std::string texto = x.Texto;
    if (!a_.usuario->PideTexto("Texto", "Texto", texto))
        return false;
    // The tree file keeps one text per line.
    std::replace(texto.begin(), texto.end(), '\r', ' ');
    std::replace(texto.begin(), texto.end(), '\n', ' ');
    x.Texto = texto;
    x.EtiquetaTexto.Caption = texto;
    return true;
}

// --- Payoff and probability -----------------------------------------------------

bool Edicion::Coste3Click(uint16_t n) { return PuedeEditarRama(a_, n) && ValorRama(n, false); }

bool Edicion::Probabilidad1Click(uint16_t n) { return PuedeEditarProbabilidad(a_, n) && ValorRama(n, true); }

bool Edicion::ValorRama(uint16_t n, bool probabilidad)
{
    const std::vector<std::string> lista = ListaSeleccionVariables(a_);
    std::string texto = ultimoDato_;
    if (!a_.usuario->PideDato(probabilidad ? "Probabilidad" : "Ganancia", lista, texto))
        return false;
    ultimoDato_ = texto;

    TNodo& x = *a_.Nodo(n);
    std::string& formula = probabilidad ? x.FormulaProbabilidad : x.FormulaGanancia;
    double& valor = probabilidad ? x.Probabilidad : x.Ganancia;
    Etiqueta& etiqueta = probabilidad ? x.EtiquetaProbabilidad : x.EtiquetaGanancia;

    if (EsVariable(a_, texto)) {
        // The name is stored first: a line that fails to evaluate leaves the
        // branch referring to it with its previous number.
        formula = NombreDeLinea(texto);
        valor = EvaluaLinea(a_, texto);
        etiqueta.Caption = TextoEtiquetaRama(a_, formula, valor);
        return true;
    }
    formula.clear();
    const double v = StrToFloat(NormalizarDecimal(texto));
    const std::string caption = TextoEtiquetaRama(a_, formula, v);
    valor = v;
    etiqueta.Caption = caption;
    return true;
}

// --- Copy and paste -------------------------------------------------------------

bool Edicion::Copiar1Click(uint16_t n)
{
    if (!PuedeCopiar(a_, n))
        return false;
    a_.NodoCopiado = n;
    captionPegar_ = "P&egar nodo " + std::to_string(n);
    return true;
}

namespace {

// One node of the structure to paste, as it was when the paste began.
struct Pieza {
    int padre; // index of the parent piece; -1 for the marked node
    uint8_t tipo;
    std::string texto;
    double ganancia, probabilidad;
    std::string formulaGanancia, formulaProbabilidad;
    uint16_t longitud;
    std::string captionTexto, captionGanancia, captionProbabilidad;
    int32_t x, y;
};

void Fotografia(const Arbol& a, uint16_t n, int padre, std::vector<Pieza>& piezas)
{
    const TNodo& x = *a.Nodo(n);
    piezas.push_back({padre, x.Tipo, x.Texto, x.Ganancia, x.Probabilidad, x.FormulaGanancia, x.FormulaProbabilidad,
                      x.LongitudRama, x.EtiquetaTexto.Caption, x.EtiquetaGanancia.Caption,
                      x.EtiquetaProbabilidad.Caption, x.Figura.Left, x.Figura.Top});
    const int yo = static_cast<int>(piezas.size()) - 1;
    for (int i = 1; i <= x.NumHijos(); ++i)
        if (a.Nodo(x.Hijo(i)))
            Fotografia(a, x.Hijo(i), yo, piezas);
}

} // namespace

bool Edicion::Pegar1Click(uint16_t t)
{
    if (!PuedePegar(a_, t))
        return false;
    const uint16_t s = a_.NodoCopiado;
    // The structure is taken whole before anything changes, so pasting
    // inside it copies it as it was.
    std::vector<Pieza> piezas;
    Fotografia(a_, s, -1, piezas);
    const int nuevos = static_cast<int>(piezas.size()) - 1;
    // t takes the marked node's branches on top of any it has: both limits
    // are checked while t is still untouched.
    const auto ramas = std::count_if(piezas.begin(), piezas.end(), [](const Pieza& p) { return p.padre == 0; });
    a_.CompruebaEspacio(nuevos, t, static_cast<int>(ramas));
    CompruebaOpcionesEtiquetas(a_);

    a_.CopiarNodo(t, s);
    const TNodo& destino = *a_.Nodo(t);
    const int64_t dx = static_cast<int64_t>(destino.Figura.Left) - piezas[0].x;
    const int64_t dy = static_cast<int64_t>(destino.Figura.Top) - piezas[0].y;
    std::vector<uint16_t> numeros(piezas.size());
    numeros[0] = t;
    for (size_t i = 1; i < piezas.size(); ++i) {
        const Pieza& p = piezas[i];
        const uint16_t h = a_.NuevoHijo(numeros[p.padre], p.tipo, p.x + dx, p.y + dy);
        TNodo& x = *a_.Nodo(h);
        x.Texto = p.texto;
        x.Ganancia = p.ganancia;
        x.Probabilidad = p.probabilidad;
        x.FormulaGanancia = p.formulaGanancia;
        x.FormulaProbabilidad = p.formulaProbabilidad;
        x.LongitudRama = p.longitud;
        x.EtiquetaTexto.Caption = p.captionTexto;
        x.EtiquetaGanancia.Caption = p.captionGanancia;
        x.EtiquetaProbabilidad.Caption = p.captionProbabilidad;
        numeros[i] = h;
    }
    return true;
}

// --- Comment pad ------------------------------------------------------------------

std::vector<std::string> Edicion::AbrirComentario(uint16_t n)
{
    nodoNota_ = n;
    notaCambiada_ = false;
    const TNodo* x = a_.Nodo(n);
    return x ? LineasDeComentario(x->Comentario) : std::vector<std::string>{};
}

bool Edicion::GuardarComentario(const std::vector<std::string>& lineas)
{
    if (!notaCambiada_)
        return false;
    TNodo* x = a_.Nodo(nodoNota_);
    if (!x)
        return false;
    x->Comentario = ComentarioDeLineas(lineas);
    x->MarcaVisible = !lineas.empty();
    return true;
}
