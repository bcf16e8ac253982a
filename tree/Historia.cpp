#include "tree/Historia.h"

#include "common/Errores.h"
#include "common/Redondeo.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

const char* const kPasoNodoDecision = "Nodo de decisión";
const char* const kPasoNodoAzar = "Nodo de azar";
const char* const kPasoNuevaRama = "Nueva rama";
const char* const kPasoBorrarNodo = "Borrar nodo";
const char* const kPasoTexto = "Texto";
const char* const kPasoGanancia = "Ganancia";
const char* const kPasoProbabilidad = "Probabilidad";
const char* const kPasoPegar = "Pegar";
const char* const kPasoComentario = "Comentario";
const char* const kPasoMoverNodo = "Mover nodo";
const char* const kPasoAlinearVertical = "Alinear vertical";
const char* const kPasoAlinearHorizontal = "Alinear horizontal";
const char* const kPasoVariables = "Variables";
const char* const kPasoBorrarVariables = "Borrar variables";
const char* const kPasoBayes = "Bayes";
const char* const kPasoValoresACero = "Valores a cero";
const char* const kPasoOpciones = "Opciones";
const char* const kPasoCambiarNombre = "Cambiar nombre";

Cambios& Cambios::operator|=(const Cambios& o)
{
    Dibujo |= o.Dibujo;
    Estructura |= o.Estructura;
    Variables |= o.Variables;
    Enlace |= o.Enlace;
    Nuevo |= o.Nuevo;
    return *this;
}

namespace {

// A history that no longer matches the tree cannot be trusted with another step.
class EHistoria : public ENemor {
public:
    EHistoria() : ENemor("El historial de cambios no corresponde al árbol y se ha vaciado.") {}
};

// --- The fields of a node -----------------------------------------------------
//
// Every field of TNodo but Seleccionado, one number each. A rectangle and a
// label count field by field, so that moving a node records four small
// integers and not the whole record.

enum Campo : int {
    CTipo,
    CFiguraIzq,
    CFiguraArr,
    CFiguraAncho,
    CFiguraAlto,
    CHintFigura,
    CPadre,
    CGanancia,
    CFormulaGanancia,
    CReservado,
    CProbabilidad,
    CFormulaProbabilidad,
    CValor,
    CHijos,
    CCalculado,
    CTexto,
    CLongitudRama,
    CEtiquetas, // 5 labels x 5 fields
    CElegido = CEtiquetas + 25,
    CMarcaIzq,
    CMarcaArr,
    CMarcaAncho,
    CMarcaAlto,
    CMarcaVisible,
    CComentario,
    CSumaErronea,
    NumCampos
};
static_assert(NumCampos <= 64, "a node's fields must fit one 64-bit mask");

constexpr uint64_t Bit(int c) { return uint64_t{1} << c; }
constexpr uint64_t kTodos = NumCampos == 64 ? ~uint64_t{0} : Bit(NumCampos) - 1;
// Label fields: caption, visible, hint, font, size.
constexpr int kCaption = 0, kVisible = 1, kHint = 2, kFuente = 3, kTamanyo = 4;
constexpr int CampoEtiqueta(int etiqueta, int campo) { return CEtiquetas + 5 * etiqueta + campo; }

#if defined(__GLIBCXX__) && defined(__x86_64__)
// A field added to the node record must be added to Campos below as well, or
// undo would silently leave it as it is.
static_assert(sizeof(TNodo) == 1032 && sizeof(Etiqueta) == 112 && sizeof(Rect) == 16,
              "TNodo changed: list the new field in Campos of tree/Historia.cpp");
#endif

constexpr Etiqueta TNodo::*kEtiquetas[5] = {&TNodo::EtiquetaTexto, &TNodo::EtiquetaProbabilidad,
                                            &TNodo::EtiquetaGanancia, &TNodo::EtiquetaValor,
                                            &TNodo::EtiquetaNumero};

// Calls v(campo, field of each node...) for every field, in field order.
template <class V, class... N>
void Campos(V&& v, N&... n)
{
    v(CTipo, n.Tipo...);
    v(CFiguraIzq, n.Figura.Left...);
    v(CFiguraArr, n.Figura.Top...);
    v(CFiguraAncho, n.Figura.Width...);
    v(CFiguraAlto, n.Figura.Height...);
    v(CHintFigura, n.HintFigura...);
    v(CPadre, n.Padre...);
    v(CGanancia, n.Ganancia...);
    v(CFormulaGanancia, n.FormulaGanancia...);
    v(CReservado, n.Reservado...);
    v(CProbabilidad, n.Probabilidad...);
    v(CFormulaProbabilidad, n.FormulaProbabilidad...);
    v(CValor, n.Valor...);
    v(CHijos, n.Hijos...);
    v(CCalculado, n.Calculado...);
    v(CTexto, n.Texto...);
    v(CLongitudRama, n.LongitudRama...);
    for (int k = 0; k < 5; ++k) {
        const auto m = kEtiquetas[k];
        v(CampoEtiqueta(k, kCaption), (n.*m).Caption...);
        v(CampoEtiqueta(k, kVisible), (n.*m).Visible...);
        v(CampoEtiqueta(k, kHint), (n.*m).Hint...);
        v(CampoEtiqueta(k, kFuente), (n.*m).Fuente...);
        v(CampoEtiqueta(k, kTamanyo), (n.*m).Tamanyo...);
    }
    v(CElegido, n.Elegido...);
    v(CMarcaIzq, n.MarcaComentario.Left...);
    v(CMarcaArr, n.MarcaComentario.Top...);
    v(CMarcaAncho, n.MarcaComentario.Width...);
    v(CMarcaAlto, n.MarcaComentario.Height...);
    v(CMarcaVisible, n.MarcaVisible...);
    v(CComentario, n.Comentario...);
    v(CSumaErronea, n.SumaErronea...);
}

using Hijos = std::array<uint16_t, MaxHijos + 1>;

int CuentaHijos(const Hijos& h) { return std::min<int>(h[0], MaxHijos); }

// Equality as the file and the drawing see it: reals bit for bit (a NaN equals
// itself, -0 differs from 0), children up to their count.
template <class T>
bool Igual(const T& x, const T& y)
{
    return x == y;
}
bool Igual(const double& x, const double& y) { return std::bit_cast<uint64_t>(x) == std::bit_cast<uint64_t>(y); }
// Texts are short and nearly always equal: eight bytes at a time, inline,
// is several times faster than a library call per text when the whole tree
// is compared twice for every command.
bool Igual(const std::string& x, const std::string& y)
{
    size_t n = x.size();
    if (n != y.size())
        return false;
    const char* p = x.data();
    const char* q = y.data();
    for (; n >= 8; n -= 8, p += 8, q += 8) {
        uint64_t a, b;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, q, 8);
        if (a != b)
            return false;
    }
    for (; n > 0; --n)
        if (*p++ != *q++)
            return false;
    return true;
}
bool Igual(const Hijos& x, const Hijos& y)
{
    const int n = CuentaHijos(x);
    if (x[0] != y[0])
        return false;
    for (int i = 1; i <= n; ++i)
        if (x[i] != y[i])
            return false;
    return true;
}

// The fields in which two nodes differ.
uint64_t Diferencias(const TNodo& a, const TNodo& b)
{
    uint64_t m = 0;
    Campos([&m](int c, const auto& x, const auto& y) {
        if (!Igual(x, y))
            m |= Bit(c);
    },
           a, b);
    return m;
}

void CopiaCampos(TNodo& destino, const TNodo& origen, uint64_t mascara)
{
    Campos([mascara](int c, auto& d, const auto& o) {
        if (mascara & Bit(c))
            d = o;
    },
           destino, origen);
}

// --- Encoding -----------------------------------------------------------------
//
// Unsigned integers as base-128 varints, signed ones zigzagged first, reals as
// their 8 bytes, texts as length and bytes, children as count and numbers.

void Varint(std::string& s, uint64_t v)
{
    while (v >= 0x80) {
        s.push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    s.push_back(static_cast<char>(v));
}

void Codifica(std::string& s, uint8_t v) { s.push_back(static_cast<char>(v)); }
void Codifica(std::string& s, bool v) { s.push_back(v ? 1 : 0); }
void Codifica(std::string& s, uint16_t v) { Varint(s, v); }
void Codifica(std::string& s, int32_t v)
{
    Varint(s, (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31));
}
void Codifica(std::string& s, double v)
{
    char b[sizeof v];
    std::memcpy(b, &v, sizeof v);
    s.append(b, sizeof v);
}
void Codifica(std::string& s, const std::string& v)
{
    Varint(s, v.size());
    s += v;
}
void Codifica(std::string& s, const Hijos& h)
{
    const int n = CuentaHijos(h);
    Varint(s, h[0]);
    for (int i = 1; i <= n; ++i)
        Varint(s, h[i]);
}

class Lector {
public:
    Lector(const char* p, const char* fin) : p_(p), fin_(fin) {}
    bool Fin() const { return p_ >= fin_; }
    uint8_t Byte()
    {
        if (p_ >= fin_)
            throw EHistoria();
        return static_cast<uint8_t>(*p_++);
    }
    uint64_t Varint()
    {
        uint64_t v = 0;
        for (int desplazamiento = 0; desplazamiento < 64; desplazamiento += 7) {
            const uint8_t b = Byte();
            v |= static_cast<uint64_t>(b & 0x7F) << desplazamiento;
            if (!(b & 0x80))
                return v;
        }
        throw EHistoria();
    }
    const char* Toma(size_t n)
    {
        if (static_cast<size_t>(fin_ - p_) < n)
            throw EHistoria();
        const char* r = p_;
        p_ += n;
        return r;
    }
    const char* Posicion() const { return p_; }

    void Lee(uint8_t& v) { v = Byte(); }
    void Lee(bool& v) { v = Byte() != 0; }
    void Lee(uint16_t& v) { v = static_cast<uint16_t>(Varint()); }
    void Lee(int32_t& v)
    {
        const auto z = static_cast<uint32_t>(Varint());
        v = static_cast<int32_t>((z >> 1) ^ (~(z & 1) + 1));
    }
    void Lee(double& v) { std::memcpy(&v, Toma(sizeof v), sizeof v); }
    void Lee(std::string& v)
    {
        const auto n = static_cast<size_t>(Varint());
        v.assign(Toma(n), n);
    }
    void Lee(Hijos& h)
    {
        h.fill(0);
        h[0] = static_cast<uint16_t>(Varint());
        const int n = CuentaHijos(h);
        for (int i = 1; i <= n; ++i)
            h[i] = static_cast<uint16_t>(Varint());
    }

private:
    const char* p_;
    const char* fin_;
};

void Escribe(std::string& s, const TNodo& n, uint64_t mascara)
{
    Campos([&s, mascara](int c, const auto& x) {
        if (mascara & Bit(c))
            Codifica(s, x);
    },
           n);
}

void Lee(Lector& l, TNodo& n, uint64_t mascara)
{
    Campos([&l, mascara](int c, auto& x) {
        if (mascara & Bit(c))
            l.Lee(x);
    },
           n);
}

// --- Zoom -----------------------------------------------------------------------

// As zooming rounds: Round of the exact product.
int32_t Escala(int32_t v, double f)
{
    return static_cast<int32_t>(Round(static_cast<long double>(v) * static_cast<long double>(f)));
}

// Brings the position and size fields of mascara to another zoom, as zooming
// does: positions and the stub scaled by the ratio, sizes from the current ones.
void AlZoom(TNodo& n, uint64_t mascara, double razon, int32_t tamanyoNodo, int32_t tamanyoLetra)
{
    auto escala = [&](int c, int32_t& v) {
        if (mascara & Bit(c))
            v = Escala(v, razon);
    };
    escala(CFiguraIzq, n.Figura.Left);
    escala(CFiguraArr, n.Figura.Top);
    escala(CMarcaIzq, n.MarcaComentario.Left);
    escala(CMarcaArr, n.MarcaComentario.Top);
    if (mascara & Bit(CLongitudRama))
        n.LongitudRama = static_cast<uint16_t>(Escala(n.LongitudRama, razon));
    const auto lado = static_cast<int32_t>(Round(tamanyoNodo / 4.0));
    if (mascara & Bit(CFiguraAncho))
        n.Figura.Width = tamanyoNodo;
    if (mascara & Bit(CFiguraAlto))
        n.Figura.Height = tamanyoNodo;
    if (mascara & Bit(CMarcaAncho))
        n.MarcaComentario.Width = lado;
    if (mascara & Bit(CMarcaAlto))
        n.MarcaComentario.Height = lado;
    // The number label keeps its size under zoom.
    for (int k = 0; k < 4; ++k)
        if (mascara & Bit(CampoEtiqueta(k, kTamanyo)))
            (n.*kEtiquetas[k]).Tamanyo = tamanyoLetra;
}

// --- Lists ----------------------------------------------------------------------

// Two versions of a list as what lies between their common start and end.
template <class T>
struct DiferenciaLista {
    uint32_t prefijo = 0;
    uint32_t sufijo = 0;
    std::vector<T> lado[2]; // before, after

    size_t Memoria() const
    {
        size_t m = 0;
        for (const auto& l : lado) {
            m += l.capacity() * sizeof(T);
            if constexpr (std::is_same_v<T, std::string>)
                for (const auto& s : l)
                    m += s.capacity() > 15 ? s.capacity() + 1 : 0;
        }
        return m;
    }
};

template <class T, class ItA, class ItB>
DiferenciaLista<T> DiferenciaEntre(ItA a0, ItA a1, ItB b0, ItB b1)
{
    DiferenciaLista<T> d;
    const auto na = static_cast<size_t>(a1 - a0);
    const auto nb = static_cast<size_t>(b1 - b0);
    size_t p = 0;
    while (p < na && p < nb && a0[p] == b0[p])
        ++p;
    size_t s = 0;
    while (s < na - p && s < nb - p && a0[na - 1 - s] == b0[nb - 1 - s])
        ++s;
    d.prefijo = static_cast<uint32_t>(p);
    d.sufijo = static_cast<uint32_t>(s);
    d.lado[0].assign(a0 + p, a1 - s);
    d.lado[1].assign(b0 + p, b1 - s);
    return d;
}

// The list on one side, from the list on the other side.
template <class T>
std::vector<T> AplicaLista(const DiferenciaLista<T>& d, int lado, const std::vector<T>& otro)
{
    const size_t esperado = size_t{d.prefijo} + d.sufijo + d.lado[1 - lado].size();
    if (otro.size() != esperado)
        throw EHistoria();
    std::vector<T> r;
    r.reserve(size_t{d.prefijo} + d.sufijo + d.lado[lado].size());
    r.insert(r.end(), otro.begin(), otro.begin() + d.prefijo);
    r.insert(r.end(), d.lado[lado].begin(), d.lado[lado].end());
    r.insert(r.end(), otro.end() - d.sufijo, otro.end());
    return r;
}

// --- The document values ---------------------------------------------------------

enum CampoDocumento : unsigned {
    DOrden = 1u << 0, // ListaOrden and UltimaPosicion
    DUltimoIndice = 1u << 1,
    DTamanyoNodo = 1u << 2,
    DSeparacionHorizontal = 1u << 3,
    DSeparacionVertical = 1u << 4,
    DTamanyoLetra = 1u << 5,
    DNodoCopiado = 1u << 6,
    DDocumentoEditor = 1u << 7,
    DVariables = 1u << 8,
};

std::vector<uint16_t> OrdenDe(const Arbol& a)
{
    const int n = std::clamp(a.UltimaPosicion, 0, MaxNumeroNodo);
    return std::vector<uint16_t>(a.ListaOrden.begin(), a.ListaOrden.begin() + n + 1);
}

// What changed in the document values; [0] before, [1] after.
struct CambioDocumento {
    unsigned mascara = 0;
    DiferenciaLista<uint16_t> orden;
    int32_t ultimoIndice[2]{};
    int32_t tamanyoNodo[2]{};
    int32_t separacionHorizontal[2]{};
    int32_t separacionVertical[2]{};
    int32_t tamanyoLetra[2]{};
    uint16_t nodoCopiado[2]{};
    std::string documentoEditor[2];
    DiferenciaLista<std::string> variables;
};

} // namespace

// One comparison's differences, taken at one zoom factor.
//
// nodos holds one record per node slot that changed, by increasing number:
// the number; a byte with bit 0 set when the node existed before and bit 1
// when it exists after; when both, the mask of the fields that changed; then
// each side that exists, as its length and its fields (all of them for a node
// that exists on one side only).
struct Historia::Bloque {
    double zoom = 1.0;
    std::string nodos;
    std::unique_ptr<CambioDocumento> documento; // null when no document value changed
    Cambios cambios;

    bool Vacio() const { return nodos.empty() && !documento; }
    size_t Memoria() const
    {
        size_t m = sizeof(Bloque) + nodos.capacity();
        if (documento)
            m += sizeof(CambioDocumento) + documento->orden.Memoria() + documento->variables.Memoria() +
                 documento->documentoEditor[0].capacity() + documento->documentoEditor[1].capacity();
        return m;
    }
};

struct Historia::Paso {
    std::string nombre;
    std::string fusion;
    std::vector<Bloque> bloques; // in the order they were taken

    size_t Memoria() const
    {
        size_t m = sizeof(Paso) + nombre.capacity() + fusion.capacity();
        for (const auto& b : bloques)
            m += b.Memoria();
        return m;
    }
};

namespace {

// One node record of a block, read without decoding its fields.
struct Registro {
    uint16_t numero = 0;
    bool existe[2] = {false, false};
    uint64_t mascara = kTodos; // of the sides; all fields when one side is missing
    const char* lado[2] = {nullptr, nullptr};
    size_t largo[2] = {0, 0};
    const char* inicio = nullptr; // the whole record, to copy it as it is
    const char* fin = nullptr;
};

bool LeeRegistro(Lector& l, Registro& r)
{
    if (l.Fin())
        return false;
    r.inicio = l.Posicion();
    r.numero = static_cast<uint16_t>(l.Varint());
    if (r.numero > MaxNumeroNodo)
        throw EHistoria();
    const uint8_t e = l.Byte();
    r.existe[0] = e & 1;
    r.existe[1] = e & 2;
    r.mascara = r.existe[0] && r.existe[1] ? l.Varint() : kTodos;
    for (int s = 0; s < 2; ++s) {
        r.lado[s] = nullptr;
        r.largo[s] = 0;
        if (r.existe[s]) {
            r.largo[s] = static_cast<size_t>(l.Varint());
            r.lado[s] = l.Toma(r.largo[s]);
        }
    }
    r.fin = l.Posicion();
    return true;
}

void LeeLado(const Registro& r, int s, TNodo& n)
{
    Lector l(r.lado[s], r.lado[s] + r.largo[s]);
    Lee(l, n, r.mascara);
}

// Appends a record: antes and despues are the nodes on each side (null when
// missing); mascara the fields that changed when both exist.
void EscribeRegistro(std::string& s, std::string& tmp, uint16_t numero, const TNodo* antes, const TNodo* despues,
                     uint64_t mascara)
{
    Varint(s, numero);
    s.push_back(static_cast<char>((antes ? 1 : 0) | (despues ? 2 : 0)));
    const bool ambos = antes && despues;
    if (ambos)
        Varint(s, mascara);
    for (const TNodo* n : {antes, despues}) {
        if (!n)
            continue;
        tmp.clear();
        Escribe(tmp, *n, ambos ? mascara : kTodos);
        Varint(s, tmp.size());
        s += tmp;
    }
}

Cambios CambiosDeNodo(bool existia, bool existe, uint64_t mascara)
{
    Cambios c;
    c.Dibujo = true;
    c.Estructura = existia != existe || (mascara & (Bit(CTipo) | Bit(CPadre) | Bit(CHijos)));
    return c;
}

Cambios CambiosDeDocumento(unsigned m)
{
    Cambios c;
    c.Estructura = m & (DOrden | DUltimoIndice);
    c.Dibujo = m & (DOrden | DTamanyoNodo | DSeparacionHorizontal | DSeparacionVertical | DTamanyoLetra);
    c.Variables = m & DVariables;
    c.Enlace = m & (DNodoCopiado | DDocumentoEditor);
    return c;
}

} // namespace

// --- The history ---------------------------------------------------------------------

Historia::Historia(Arbol& arbol, size_t maxPasos) : a_(arbol), maxPasos_(std::max<size_t>(maxPasos, 1))
{
    Reinicia();
}

Historia::~Historia() = default;

void Historia::Reinicia()
{
    deshacer_.clear();
    rehacer_.clear();
    abierto_ = false;
    for (int n = 0; n <= MaxNumeroNodo; ++n) {
        const TNodo* t = a_.TablaNodos[n].get();
        if (t)
            sombra_.nodos[n] = std::make_unique<TNodo>(*t);
        else
            sombra_.nodos[n].reset();
    }
    sombra_.orden = OrdenDe(a_);
    sombra_.ultimoIndice = a_.UltimoIndice;
    sombra_.tamanyoNodo = a_.TamanyoNodo;
    sombra_.separacionHorizontal = a_.SeparacionHorizontal;
    sombra_.separacionVertical = a_.SeparacionVertical;
    sombra_.tamanyoLetra = a_.TamanyoLetra;
    sombra_.nodoCopiado = a_.NodoCopiado;
    sombra_.documentoEditor = a_.DocumentoEditor;
    sombra_.variables = a_.Variables;
    sombra_.zoom = a_.FactorZoom;
    generacion_ = a_.Generacion;
}

void Historia::Vacia() { Reinicia(); }

void Historia::EscalaSombra()
{
    if (sombra_.zoom == a_.FactorZoom || sombra_.zoom == 0)
        return;
    const double razon = a_.FactorZoom / sombra_.zoom;
    Sombra& s = sombra_;
    // As zooming does: the node size rounds, the separations follow it, the
    // letter size comes from the factor itself.
    s.tamanyoNodo = Escala(s.tamanyoNodo, razon);
    s.separacionHorizontal = 4 * s.tamanyoNodo;
    s.separacionVertical = Escala(s.tamanyoNodo, 1.2);
    s.tamanyoLetra = static_cast<int32_t>(Trunc(8 * a_.FactorZoom));
    for (auto& n : s.nodos)
        if (n)
            AlZoom(*n, kTodos, razon, s.tamanyoNodo, s.tamanyoLetra);
    s.zoom = a_.FactorZoom;
}

Historia::Bloque Historia::Compara(const Tocados* solo)
{
    EscalaSombra();
    Bloque b;
    b.zoom = a_.FactorZoom;
    for (int n = 0; n <= MaxNumeroNodo; ++n) {
        if (solo && !solo->test(static_cast<size_t>(n)))
            continue;
        const TNodo* t = a_.TablaNodos[n].get();
        std::unique_ptr<TNodo>& s = sombra_.nodos[n];
        if (!t && !s)
            continue;
        const auto numero = static_cast<uint16_t>(n);
        if (t && s) {
            const uint64_t m = Diferencias(*s, *t);
            if (!m)
                continue;
            EscribeRegistro(b.nodos, tmpAntes_, numero, s.get(), t, m);
            CopiaCampos(*s, *t, m);
            b.cambios |= CambiosDeNodo(true, true, m);
        } else if (t) {
            EscribeRegistro(b.nodos, tmpAntes_, numero, nullptr, t, kTodos);
            s = std::make_unique<TNodo>(*t);
            b.cambios |= CambiosDeNodo(false, true, kTodos);
        } else {
            EscribeRegistro(b.nodos, tmpAntes_, numero, s.get(), nullptr, kTodos);
            s.reset();
            b.cambios |= CambiosDeNodo(true, false, kTodos);
        }
    }
    b.nodos.shrink_to_fit();

    // The document values.
    Sombra& s = sombra_;
    CambioDocumento d;
    const int ultima = std::clamp(a_.UltimaPosicion, 0, MaxNumeroNodo);
    const auto o0 = a_.ListaOrden.begin();
    const auto o1 = o0 + ultima + 1;
    if (!std::equal(s.orden.begin(), s.orden.end(), o0, o1)) {
        d.mascara |= DOrden;
        d.orden = DiferenciaEntre<uint16_t>(s.orden.cbegin(), s.orden.cend(), o0, o1);
        s.orden.assign(o0, o1);
    }
    auto escalar = [&d](unsigned bit, auto& sombra, auto& campo, const auto& actual) {
        if (sombra != actual) {
            d.mascara |= bit;
            campo[0] = sombra;
            campo[1] = actual;
            sombra = actual;
        }
    };
    escalar(DUltimoIndice, s.ultimoIndice, d.ultimoIndice, a_.UltimoIndice);
    escalar(DTamanyoNodo, s.tamanyoNodo, d.tamanyoNodo, a_.TamanyoNodo);
    escalar(DSeparacionHorizontal, s.separacionHorizontal, d.separacionHorizontal, a_.SeparacionHorizontal);
    escalar(DSeparacionVertical, s.separacionVertical, d.separacionVertical, a_.SeparacionVertical);
    escalar(DTamanyoLetra, s.tamanyoLetra, d.tamanyoLetra, a_.TamanyoLetra);
    escalar(DNodoCopiado, s.nodoCopiado, d.nodoCopiado, a_.NodoCopiado);
    escalar(DDocumentoEditor, s.documentoEditor, d.documentoEditor, a_.DocumentoEditor);
    if (s.variables != a_.Variables) {
        d.mascara |= DVariables;
        d.variables = DiferenciaEntre<std::string>(s.variables.cbegin(), s.variables.cend(), a_.Variables.cbegin(),
                                                   a_.Variables.cend());
        s.variables = a_.Variables;
    }
    if (d.mascara) {
        b.cambios |= CambiosDeDocumento(d.mascara);
        b.documento = std::make_unique<CambioDocumento>(std::move(d));
    }
    return b;
}

void Historia::AplicaBloque(const Bloque& b, Tocados& tocados)
{
    constexpr int lado = 0; // blocks are always applied back to the state they were taken from
    const bool otroZoom = b.zoom != a_.FactorZoom && b.zoom != 0;
    const double razon = otroZoom ? a_.FactorZoom / b.zoom : 1.0;

    // The document values first: the node sizes restored here size the nodes below.
    if (const CambioDocumento* d = b.documento.get()) {
        const unsigned m = d->mascara;
        if (m & DOrden) {
            const std::vector<uint16_t> orden = AplicaLista(d->orden, lado, OrdenDe(a_));
            if (orden.empty() || orden.size() > a_.ListaOrden.size())
                throw EHistoria();
            a_.ListaOrden.fill(0);
            std::copy(orden.begin(), orden.end(), a_.ListaOrden.begin());
            a_.UltimaPosicion = static_cast<int32_t>(orden.size()) - 1;
        }
        if (m & DUltimoIndice)
            a_.UltimoIndice = d->ultimoIndice[lado];
        if (!otroZoom) {
            if (m & DTamanyoNodo)
                a_.TamanyoNodo = d->tamanyoNodo[lado];
            if (m & DSeparacionHorizontal)
                a_.SeparacionHorizontal = d->separacionHorizontal[lado];
            if (m & DSeparacionVertical)
                a_.SeparacionVertical = d->separacionVertical[lado];
            if (m & DTamanyoLetra)
                a_.TamanyoLetra = d->tamanyoLetra[lado];
        } else if (m & (DTamanyoNodo | DSeparacionHorizontal | DSeparacionVertical)) {
            // As zooming does: the node size rounds, the separations follow
            // it, and the letter size stays the zoom's own.
            if (m & DTamanyoNodo)
                a_.TamanyoNodo = Escala(d->tamanyoNodo[lado], razon);
            a_.SeparacionHorizontal = 4 * a_.TamanyoNodo;
            a_.SeparacionVertical = Escala(a_.TamanyoNodo, 1.2);
        }
        if (m & DNodoCopiado)
            a_.NodoCopiado = d->nodoCopiado[lado];
        if (m & DDocumentoEditor)
            a_.DocumentoEditor = d->documentoEditor[lado];
        if (m & DVariables)
            a_.Variables = AplicaLista(d->variables, lado, a_.Variables);
    }

    Lector l(b.nodos.data(), b.nodos.data() + b.nodos.size());
    Registro r;
    while (LeeRegistro(l, r)) {
        auto& slot = a_.TablaNodos[r.numero];
        tocados.set(r.numero);
        if (!r.existe[lado]) {
            slot.reset();
            continue;
        }
        const bool completo = !r.existe[1 - lado];
        if (completo) {
            auto n = std::make_unique<TNodo>();
            LeeLado(r, lado, *n);
            slot = std::move(n);
        } else {
            if (!slot)
                throw EHistoria();
            LeeLado(r, lado, *slot);
        }
        if (otroZoom)
            AlZoom(*slot, r.mascara, razon, a_.TamanyoNodo, a_.TamanyoLetra);
    }
}

void Historia::AplicaAntes(const Paso& paso, Tocados& tocados)
{
    for (auto b = paso.bloques.rbegin(); b != paso.bloques.rend(); ++b)
        AplicaBloque(*b, tocados);
}

Cambios Historia::Sincroniza()
{
    if (a_.Generacion != generacion_) {
        Reinicia();
        Cambios c;
        c.Dibujo = c.Estructura = c.Variables = c.Enlace = c.Nuevo = true;
        return c;
    }
    Bloque b = Compara(nullptr);
    const Cambios c = b.cambios;
    if (c.Algo())
        ++a_.Modificaciones;
    // The copy mark and the editor link set outside a step stay as they are:
    // taking them out of the block keeps any undo from touching them.
    if (b.documento) {
        b.documento->mascara &= ~(DNodoCopiado | DDocumentoEditor);
        if (!b.documento->mascara)
            b.documento.reset();
    }
    if (b.Vacio())
        return c;
    if (!rehacer_.empty()) {
        // Redoing brings back the tree as it was when undone: these changes go first.
        Bloque copia;
        copia.zoom = b.zoom;
        copia.nodos = b.nodos;
        if (b.documento)
            copia.documento = std::make_unique<CambioDocumento>(*b.documento);
        copia.cambios = b.cambios;
        rehacer_.back().bloques.push_back(std::move(copia));
    }
    if (!deshacer_.empty())
        deshacer_.back().bloques.push_back(std::move(b));
    return c;
}

namespace {

template <class T>
void UneCampo(CambioDocumento& d, const CambioDocumento* d1, const CambioDocumento* d2, unsigned bit,
              T (CambioDocumento::*campo)[2], const T& actual)
{
    const unsigned m1 = d1 ? d1->mascara : 0;
    const unsigned m2 = d2 ? d2->mascara : 0;
    if (!((m1 | m2) & bit))
        return;
    const T& antes = (m1 & bit) ? (d1->*campo)[0] : (d2->*campo)[0];
    if (antes != actual) {
        d.mascara |= bit;
        (d.*campo)[0] = antes;
        (d.*campo)[1] = actual;
    }
}

template <class T>
bool UneLista(const CambioDocumento* d1, const CambioDocumento* d2, unsigned bit,
              DiferenciaLista<T> CambioDocumento::*campo, const std::vector<T>& actual, DiferenciaLista<T>& r)
{
    const unsigned m1 = d1 ? d1->mascara : 0;
    const unsigned m2 = d2 ? d2->mascara : 0;
    if (!((m1 | m2) & bit))
        return false;
    const std::vector<T> medio = (m2 & bit) ? AplicaLista(d2->*campo, 0, actual) : actual;
    const std::vector<T> inicio = (m1 & bit) ? AplicaLista(d1->*campo, 0, medio) : medio;
    if (inicio == actual)
        return false;
    r = DiferenciaEntre<T>(inicio.cbegin(), inicio.cend(), actual.cbegin(), actual.cend());
    return true;
}

} // namespace

void Historia::Une(Paso& paso, Bloque&& b)
{
    Bloque& u = paso.bloques.back();
    if (u.zoom != b.zoom) {
        paso.bloques.push_back(std::move(b));
        return;
    }
    // The tree is as b left it: the values after come from it, those before
    // from u, or from b for what u did not touch.
    Bloque r;
    r.zoom = b.zoom;
    r.cambios = u.cambios;
    r.cambios |= b.cambios;
    Lector l1(u.nodos.data(), u.nodos.data() + u.nodos.size());
    Lector l2(b.nodos.data(), b.nodos.data() + b.nodos.size());
    Registro r1, r2;
    bool h1 = LeeRegistro(l1, r1);
    bool h2 = LeeRegistro(l2, r2);
    TNodo antes, otro;
    while (h1 || h2) {
        if (h1 && (!h2 || r1.numero < r2.numero)) {
            r.nodos.append(r1.inicio, r1.fin);
            h1 = LeeRegistro(l1, r1);
            continue;
        }
        if (h2 && (!h1 || r2.numero < r1.numero)) {
            r.nodos.append(r2.inicio, r2.fin);
            h2 = LeeRegistro(l2, r2);
            continue;
        }
        const uint16_t n = r1.numero;
        const TNodo* despues = a_.Nodo(n);
        if (r2.existe[1] != (despues != nullptr))
            throw EHistoria();
        if (!r1.existe[0]) {
            if (despues)
                EscribeRegistro(r.nodos, tmpAntes_, n, nullptr, despues, kTodos);
        } else {
            antes = TNodo{};
            LeeLado(r1, 0, antes);
            uint64_t m = r1.mascara;
            if (m != kTodos && r2.existe[0]) {
                otro = TNodo{};
                LeeLado(r2, 0, otro);
                const uint64_t resto = r2.mascara & ~m;
                CopiaCampos(antes, otro, resto);
                m |= resto;
            }
            if (despues) {
                const uint64_t dif = Diferencias(antes, *despues) & m;
                if (dif)
                    EscribeRegistro(r.nodos, tmpAntes_, n, &antes, despues, dif);
            } else {
                if (m != kTodos)
                    throw EHistoria();
                EscribeRegistro(r.nodos, tmpAntes_, n, &antes, nullptr, kTodos);
            }
        }
        h1 = LeeRegistro(l1, r1);
        h2 = LeeRegistro(l2, r2);
    }
    r.nodos.shrink_to_fit();

    const CambioDocumento* d1 = u.documento.get();
    const CambioDocumento* d2 = b.documento.get();
    if (d1 || d2) {
        CambioDocumento d;
        if (UneLista(d1, d2, DOrden, &CambioDocumento::orden, OrdenDe(a_), d.orden))
            d.mascara |= DOrden;
        if (UneLista(d1, d2, DVariables, &CambioDocumento::variables, a_.Variables, d.variables))
            d.mascara |= DVariables;
        UneCampo(d, d1, d2, DUltimoIndice, &CambioDocumento::ultimoIndice, a_.UltimoIndice);
        UneCampo(d, d1, d2, DTamanyoNodo, &CambioDocumento::tamanyoNodo, a_.TamanyoNodo);
        UneCampo(d, d1, d2, DSeparacionHorizontal, &CambioDocumento::separacionHorizontal, a_.SeparacionHorizontal);
        UneCampo(d, d1, d2, DSeparacionVertical, &CambioDocumento::separacionVertical, a_.SeparacionVertical);
        UneCampo(d, d1, d2, DTamanyoLetra, &CambioDocumento::tamanyoLetra, a_.TamanyoLetra);
        UneCampo(d, d1, d2, DNodoCopiado, &CambioDocumento::nodoCopiado, a_.NodoCopiado);
        UneCampo(d, d1, d2, DDocumentoEditor, &CambioDocumento::documentoEditor, a_.DocumentoEditor);
        if (d.mascara)
            r.documento = std::make_unique<CambioDocumento>(std::move(d));
    }
    u = std::move(r);
}

Cambios Historia::Registra(const std::string& nombre, const std::string& fusion, uint64_t generacion, bool fallo)
{
    if (a_.Generacion != generacion)
        return Sincroniza(); // the tree was replaced: the history starts again
    Bloque b = Compara(nullptr);
    if (b.Vacio()) {
        if (fallo)
            abierto_ = false;
        return {};
    }
    const Cambios c = b.cambios;
    ++a_.Modificaciones;
    if (!fallo && abierto_ && !fusion.empty() && !deshacer_.empty() && deshacer_.back().fusion == fusion) {
        Une(deshacer_.back(), std::move(b));
    } else {
        Paso p;
        p.nombre = nombre;
        p.fusion = fusion;
        p.bloques.push_back(std::move(b));
        deshacer_.push_back(std::move(p));
        Recorta();
    }
    rehacer_.clear();
    // A step that failed halfway takes no typing after it.
    abierto_ = !fallo;
    return c;
}

Cambios Historia::Ejecuta(const std::string& nombre, const std::function<void()>& orden, const std::string& fusion)
{
    ultimos_ = Sincroniza();
    const uint64_t generacion = a_.Generacion;
    try {
        orden();
    } catch (...) {
        // What the command changed before it failed stays in the tree: it is a step.
        ultimos_ |= Registra(nombre, fusion, generacion, true);
        throw;
    }
    ultimos_ |= Registra(nombre, fusion, generacion, false);
    return ultimos_;
}

Cambios Historia::EjecutaSinPaso(const std::function<void()>& orden)
{
    ultimos_ = Sincroniza();
    try {
        orden();
    } catch (...) {
        ultimos_ |= Sincroniza();
        throw;
    }
    ultimos_ |= Sincroniza();
    return ultimos_;
}

void Historia::RestauraSombra()
{
    for (int n = 0; n <= MaxNumeroNodo; ++n) {
        const TNodo* s = sombra_.nodos[n].get();
        if (s) {
            a_.TablaNodos[n] = std::make_unique<TNodo>(*s);
            a_.TablaNodos[n]->Seleccionado = false;
        } else {
            a_.TablaNodos[n].reset();
        }
    }
    a_.ListaOrden.fill(0);
    std::copy(sombra_.orden.begin(), sombra_.orden.end(), a_.ListaOrden.begin());
    a_.UltimaPosicion = static_cast<int32_t>(sombra_.orden.size()) - 1;
    a_.UltimoIndice = sombra_.ultimoIndice;
    a_.TamanyoNodo = sombra_.tamanyoNodo;
    a_.SeparacionHorizontal = sombra_.separacionHorizontal;
    a_.SeparacionVertical = sombra_.separacionVertical;
    a_.TamanyoLetra = sombra_.tamanyoLetra;
    a_.NodoCopiado = sombra_.nodoCopiado;
    a_.DocumentoEditor = sombra_.documentoEditor;
    a_.Variables = sombra_.variables;
}

std::optional<Cambios> Historia::Mueve(std::vector<Paso>& de, std::vector<Paso>& a)
{
    ultimos_ = Sincroniza();
    if (de.empty())
        return std::nullopt;
    Paso p = std::move(de.back());
    de.pop_back();
    Tocados tocados;
    try {
        AplicaAntes(p, tocados);
    } catch (...) {
        // The copy still holds the tree as it was before: put it back whole
        // rather than leave a half-restored tree, and start again from it.
        RestauraSombra();
        Reinicia();
        ultimos_.Dibujo = ultimos_.Estructura = ultimos_.Variables = ultimos_.Enlace = true;
        throw EHistoria();
    }
    // What this undo or redo changed is, the other way round, the step the
    // other stack keeps: taking it back returns exactly to this moment.
    Bloque d = Compara(&tocados);
    ultimos_ |= d.cambios;
    if (d.cambios.Algo())
        ++a_.Modificaciones;
    Paso q;
    q.nombre = std::move(p.nombre);
    q.bloques.push_back(std::move(d));
    a.push_back(std::move(q));
    abierto_ = false;
    return ultimos_;
}

std::optional<Cambios> Historia::Deshacer() { return Mueve(deshacer_, rehacer_); }

std::optional<Cambios> Historia::Rehacer()
{
    auto c = Mueve(rehacer_, deshacer_);
    Recorta();
    return c;
}

bool Historia::PuedeDeshacer() const { return !deshacer_.empty() && a_.Generacion == generacion_; }

bool Historia::PuedeRehacer() const { return !rehacer_.empty() && a_.Generacion == generacion_; }

std::string Historia::NombreDeshacer() const { return PuedeDeshacer() ? deshacer_.back().nombre : std::string(); }

std::string Historia::NombreRehacer() const { return PuedeRehacer() ? rehacer_.back().nombre : std::string(); }

void Historia::Recorta()
{
    if (deshacer_.size() > maxPasos_)
        deshacer_.erase(deshacer_.begin(), deshacer_.begin() + static_cast<long>(deshacer_.size() - maxPasos_));
}

namespace {

size_t MemoriaCadena(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }

} // namespace

size_t Historia::MemoriaPasos() const
{
    size_t m = deshacer_.capacity() * sizeof(Paso) + rehacer_.capacity() * sizeof(Paso);
    for (const auto& v : {&deshacer_, &rehacer_})
        for (const Paso& p : *v)
            m += p.Memoria() - sizeof(Paso);
    return m;
}

size_t Historia::MemoriaSombra() const
{
    size_t m = sombra_.orden.capacity() * sizeof(uint16_t) + MemoriaCadena(sombra_.documentoEditor) +
               sombra_.variables.capacity() * sizeof(std::string);
    for (const auto& v : sombra_.variables)
        m += MemoriaCadena(v);
    for (const auto& n : sombra_.nodos) {
        if (!n)
            continue;
        m += sizeof(TNodo);
        Campos([&m](int, const auto& x) {
            if constexpr (std::is_same_v<std::decay_t<decltype(x)>, std::string>)
                m += MemoriaCadena(x);
        },
               *n);
    }
    return m;
}

size_t Historia::Memoria() const { return sizeof(*this) + MemoriaPasos() + MemoriaSombra(); }
