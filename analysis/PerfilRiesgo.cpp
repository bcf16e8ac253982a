#include "analysis/PerfilRiesgo.h"

#include "common/Errores.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"

#include <algorithm>
#include <cmath>
#include <limits>

const char* const kMensajeNodoInexistente = "No hay ningún nodo con el número %d.";
const char* const kMensajeSinAlternativas = "El nodo %d no es un nodo de decisión con alternativas que comparar.";

namespace {

std::string Texto(double v) { return FormatoEtiqueta(v, 15, 0); }

std::string ConNumero(const char* mensaje, int numero)
{
    std::string m = mensaje;
    m.replace(m.find("%d"), 2, std::to_string(numero));
    return m;
}

void CompruebaProfundidad(int profundidad, uint16_t nodo)
{
    // A tree is at most as deep as it has nodes; deeper means its branches loop.
    if (profundidad > MaxNumeroNodo + 1)
        throw ENemor("Las ramas del árbol forman un ciclo: el nodo " + std::to_string(nodo) +
                     " es descendiente de sí mismo");
}

// The alternative a solved decision node chose, or null when it chose none.
const TNodo* Elegida(const Arbol& a, const TNodo& n)
{
    for (int i = 1; i <= n.NumHijos(); ++i)
        if (const TNodo* h = a.Nodo(n.Hijo(i)); h && h->Elegido)
            return h;
    return nullptr;
}

struct Hoja {
    long double valor;
    long double probabilidad;
};

void Recorre(const Arbol& a, uint16_t nodo, long double suma, long double probabilidad, std::vector<Hoja>& hojas,
             int profundidad)
{
    const TNodo* n = a.Nodo(nodo);
    if (!n)
        return;
    CompruebaProfundidad(profundidad, nodo);
    if (n->Tipo == NodoTerminal) {
        hojas.push_back({suma, probabilidad});
        return;
    }
    if (n->Tipo == NodoDecision) {
        const TNodo* h = Elegida(a, *n);
        if (!h) {
            hojas.push_back({suma + n->Valor, probabilidad});
            return;
        }
        for (int i = 1; i <= n->NumHijos(); ++i)
            if (a.Nodo(n->Hijo(i)) == h)
                Recorre(a, n->Hijo(i), suma + h->Ganancia, probabilidad, hojas, profundidad + 1);
        return;
    }
    if (n->NumHijos() == 0) {
        hojas.push_back({suma + n->Valor, probabilidad});
        return;
    }
    for (int i = 1; i <= n->NumHijos(); ++i) {
        const TNodo* h = a.Nodo(n->Hijo(i));
        // A branch of probability 0 leads to nothing that can happen.
        if (h && h->Probabilidad != 0)
            Recorre(a, n->Hijo(i), suma + h->Ganancia, probabilidad * h->Probabilidad, hojas, profundidad + 1);
    }
}

// The mean below a node, summed in the roll-back's own order and precision, so
// that under the expected value it is the node's value to the last bit.
double Media(const Arbol& a, uint16_t nodo, int profundidad)
{
    const TNodo* n = a.Nodo(nodo);
    if (!n || n->Tipo == NodoTerminal)
        return 0;
    CompruebaProfundidad(profundidad, nodo);
    if (n->Tipo == NodoDecision) {
        const TNodo* h = Elegida(a, *n);
        if (!h)
            return n->Valor;
        for (int i = 1; i <= n->NumHijos(); ++i)
            if (a.Nodo(n->Hijo(i)) == h)
                return static_cast<double>(static_cast<long double>(Media(a, n->Hijo(i), profundidad + 1)) +
                                           h->Ganancia);
        return n->Valor;
    }
    if (n->NumHijos() == 0)
        return n->Valor;
    double suma = 0.0;
    for (int i = 1; i <= n->NumHijos(); ++i) {
        const TNodo* h = a.Nodo(n->Hijo(i));
        if (!h)
            continue;
        const double m = Media(a, n->Hijo(i), profundidad + 1);
        suma = static_cast<double>((static_cast<long double>(m) + h->Ganancia) * h->Probabilidad + suma);
    }
    return suma;
}

PerfilRiesgo Perfil(std::vector<Hoja> hojas, double media)
{
    PerfilRiesgo p;
    p.Media = media;
    p.Minimo = p.Maximo = media;
    if (hojas.empty())
        return p;
    std::stable_sort(hojas.begin(), hojas.end(), [](const Hoja& x, const Hoja& y) { return x.valor < y.valor; });
    long double varianza = 0, perdida = 0;
    for (const Hoja& h : hojas) {
        const long double d = h.valor - media;
        varianza += h.probabilidad * d * d;
        if (h.valor < 0)
            perdida += h.probabilidad;
    }
    p.Minimo = static_cast<double>(hojas.front().valor);
    p.Maximo = static_cast<double>(hojas.back().valor);
    // Only negative probabilities make it negative: no deviation then.
    p.DesviacionTipica = varianza < 0 ? std::numeric_limits<double>::quiet_NaN()
                                      : static_cast<double>(std::sqrt(varianza));
    p.ProbabilidadPerdida = static_cast<double>(perdida);

    // Outcomes that print alike are one; equal texts lie side by side once sorted.
    long double acumulada = 0;
    std::string anterior;
    for (const Hoja& h : hojas) {
        const double v = static_cast<double>(h.valor);
        std::string t = Texto(v);
        acumulada += h.probabilidad;
        if (!p.Resultados.empty() && t == anterior) {
            ResultadoPerfil& r = p.Resultados.back();
            r.Probabilidad = static_cast<double>(static_cast<long double>(r.Probabilidad) + h.probabilidad);
        } else {
            p.Resultados.push_back({v, static_cast<double>(h.probabilidad), 0});
            anterior = std::move(t);
        }
        p.Resultados.back().Acumulada = static_cast<double>(acumulada);
    }
    return p;
}

} // namespace

PerfilRiesgo CalculaPerfilRiesgo(const Arbol& arbol, int nodo)
{
    const TNodo* n = arbol.Nodo(nodo);
    if (!n)
        throw ENemor(ConNumero(kMensajeNodoInexistente, nodo));
    const auto k = static_cast<uint16_t>(nodo);
    std::vector<Hoja> hojas;
    Recorre(arbol, k, 0, 1, hojas, 0);
    PerfilRiesgo p = Perfil(std::move(hojas), Media(arbol, k, 0));
    if (arbol.ToleranciaValores > 0) {
        p.ConEquivalente = true;
        p.EquivalenteCierto = n->Tipo == NodoTerminal ? 0 : n->Valor;
    }
    return p;
}

std::vector<PerfilAlternativa> PerfilesAlternativas(const Arbol& arbol, int nodo)
{
    const TNodo* n = arbol.Nodo(nodo);
    if (!n)
        throw ENemor(ConNumero(kMensajeNodoInexistente, nodo));
    if (n->Tipo != NodoDecision || n->NumHijos() == 0)
        throw ENemor(ConNumero(kMensajeSinAlternativas, nodo));
    std::vector<PerfilAlternativa> r;
    for (int i = 1; i <= n->NumHijos(); ++i) {
        const uint16_t k = n->Hijo(i);
        const TNodo* h = arbol.Nodo(k);
        if (!h)
            continue;
        std::vector<Hoja> hojas;
        Recorre(arbol, k, h->Ganancia, 1, hojas, 1);
        // As the decision node compares them: the branch's value plus its payoff.
        const double media = static_cast<double>(static_cast<long double>(Media(arbol, k, 1)) + h->Ganancia);
        PerfilAlternativa a;
        a.Rama = i;
        a.Nodo = k;
        a.Texto = h->Texto;
        a.Elegida = h->Elegido;
        a.Perfil = Perfil(std::move(hojas), media);
        if (arbol.ToleranciaValores > 0) {
            a.Perfil.ConEquivalente = true;
            const double propio = h->Tipo == NodoTerminal ? 0 : h->Valor;
            a.Perfil.EquivalenteCierto = static_cast<double>(static_cast<long double>(propio) + h->Ganancia);
        }
        r.push_back(std::move(a));
    }
    return r;
}

std::vector<std::string> LineasPerfil(const PerfilRiesgo& p)
{
    std::vector<std::string> l;
    l.reserve(p.Resultados.size() + 6);
    for (const ResultadoPerfil& r : p.Resultados)
        l.push_back(Texto(r.Valor) + "\t" + Texto(r.Probabilidad) + "\t" + Texto(r.Acumulada));
    l.push_back("media\t" + Texto(p.Media));
    l.push_back("desviación típica\t" + Texto(p.DesviacionTipica));
    l.push_back("mínimo\t" + Texto(p.Minimo));
    l.push_back("máximo\t" + Texto(p.Maximo));
    l.push_back("probabilidad de pérdida\t" + Texto(p.ProbabilidadPerdida));
    if (p.ConEquivalente)
        l.push_back("equivalente cierto\t" + Texto(p.EquivalenteCierto));
    return l;
}

std::string CabeceraAlternativa(const PerfilAlternativa& a) { return "rama " + std::to_string(a.Rama) + "\t" + a.Texto; }
