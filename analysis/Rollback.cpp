#include "analysis/Rollback.h"

#include "analysis/Riesgo.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"
#include "variables/Variables.h"

#include <array>
#include <cmath>

const char* const kPreguntaSumas =
    "Existen nodos de azar cuyas probabilidades no suman 1 (en rojo) ¿Calcular de todos modos?";
const char* const kMensajeProbabilidadNegativa =
    "El nodo de azar %d tiene una probabilidad negativa: no tiene equivalente cierto.";

namespace {

// Best value of a decision node none of whose alternatives does better.
constexpr double kSuelo = -99999.0;

std::string EtiquetaNumero(const Arbol& arbol, double x)
{
    return FormatoEtiqueta(x, arbol.opciones.DigitosEtiquetas(), arbol.opciones.PrecisionEtiquetas());
}

// The certainty equivalent of a chance node's branches.
double Equivalente(const Arbol& arbol, uint16_t indice, const TNodo& n, double tolerancia)
{
    std::array<Lance, MaxHijos> lances;
    size_t k = 0;
    for (int i = 1; i <= n.NumHijos(); ++i) {
        const TNodo* h = arbol.Nodo(n.Hijo(i));
        if (!h)
            continue;
        if (h->Probabilidad < 0) {
            std::string m = kMensajeProbabilidadNegativa;
            m.replace(m.find("%d"), 2, std::to_string(indice));
            throw ENemor(m);
        }
        lances[k++] = {static_cast<double>(static_cast<long double>(h->Valor) + h->Ganancia), h->Probabilidad};
    }
    return EquivalenteCierto(lances.data(), k, tolerancia);
}

void Evalua(Arbol& arbol, uint16_t indice, int profundidad, const CriterioSolucion& criterio)
{
    TNodo* n = arbol.Nodo(indice);
    if (!n)
        return;
    // A tree is at most as deep as it has nodes; deeper means its branches loop.
    if (profundidad > MaxNumeroNodo + 1)
        throw ENemor("Las ramas del árbol forman un ciclo: el nodo " + std::to_string(indice) +
                     " es descendiente de sí mismo");
    const int ramas = n->NumHijos();
    for (int i = 1; i <= ramas; ++i) {
        const TNodo* h = arbol.Nodo(n->Hijo(i));
        if (h && !h->Calculado && h->NumHijos() > 0)
            Evalua(arbol, n->Hijo(i), profundidad + 1, criterio);
    }
    if (n->Tipo != NodoDecision && n->Tipo != NodoAzar)
        return;
    LimpiaExcepcionesFPU();
    if (n->Tipo == NodoDecision) {
        double mejor = kSuelo;
        TNodo* elegido = nullptr;
        for (int i = 1; i <= ramas; ++i) {
            TNodo* h = arbol.Nodo(n->Hijo(i));
            if (!h)
                continue;
            // Compared as stored, so equal totals always leave the earliest branch chosen.
            const double total = static_cast<double>(static_cast<long double>(h->Valor) + h->Ganancia);
            if (total > mejor) {
                mejor = total;
                elegido = h;
            }
        }
        n->Valor = mejor;
        if (elegido)
            elegido->Elegido = true;
    } else if (criterio.Utilidad) {
        n->Valor = Equivalente(arbol, indice, *n, criterio.Tolerancia);
    } else {
        double suma = 0.0;
        for (int i = 1; i <= ramas; ++i) {
            const TNodo* h = arbol.Nodo(n->Hijo(i));
            if (!h)
                continue;
            suma = static_cast<double>((static_cast<long double>(h->Valor) + h->Ganancia) * h->Probabilidad + suma);
        }
        n->Valor = suma;
    }
    CompruebaExcepcionesFPU();
    n->EtiquetaValor.Caption = EtiquetaNumero(arbol, n->Valor);
    n->Calculado = true;
}

template <typename F>
void ParaCadaNodo(Arbol& arbol, int desde, F f)
{
    for (int p = desde; p <= arbol.UltimaPosicion; ++p)
        if (TNodo* n = arbol.Nodo(arbol.ListaOrden[p]))
            f(arbol.ListaOrden[p], *n);
}

bool Calcula(Arbol& arbol, bool preguntar)
{
    // A bad tolerance stops the command before anything changes.
    const CriterioSolucion criterio = CriterioDelArbol(arbol);
    RecalculaFormulas(arbol);
    const bool sumasBien = arbol.opciones.CheckBoxComprobarRojos ? CompruebaSumas(arbol) : true;
    if (!sumasBien && preguntar && arbol.usuario &&
        arbol.usuario->Pregunta("Atención", kPreguntaSumas, Botones::SiNo, Icono::Exclamacion) != Respuesta::Si)
        return false;
    ReiniciaValores(arbol);
    arbol.ToleranciaValores = criterio.Utilidad ? criterio.Tolerancia : 0;
    Evalua(arbol, 0, 0, criterio);
    return true;
}

} // namespace

CriterioSolucion CriterioDelArbol(const Arbol& arbol)
{
    if (!arbol.opciones.ConUtilidad())
        return {};
    return {true, arbol.opciones.ToleranciaRiesgo()};
}

bool CalculaVEM(Arbol& arbol) { return Calcula(arbol, true); }

std::vector<uint16_t> ResuelveArbol(Arbol& arbol)
{
    Calcula(arbol, false);
    return NodosRojos(arbol);
}

bool CompruebaSumas(Arbol& arbol)
{
    bool resultado = true;
    ParaCadaNodo(arbol, 1, [&](uint16_t indice, TNodo& n) {
        if (n.Tipo != NodoAzar)
            return;
        double suma = 0.0;
        for (int i = 1; i <= n.NumHijos(); ++i)
            if (const TNodo* h = arbol.Nodo(n.Hijo(i)))
                suma = suma + h->Probabilidad;
        const double tolerancia = StrToFloat(NormalizarDecimal(arbol.opciones.EditPrecisionSumatorio));
        const std::string nodo = "Nodo " + std::to_string(indice);
        if (tolerancia >= std::abs(suma - 1)) {
            n.SumaErronea = false;
            n.HintFigura = nodo;
        } else {
            n.SumaErronea = true;
            n.HintFigura = nodo + "\rsuma(P) = " + FormatoEtiqueta(suma, 15, 0);
            resultado = false;
        }
    });
    return resultado;
}

void ReiniciaValores(Arbol& arbol)
{
    ParaCadaNodo(arbol, 0, [](uint16_t, TNodo& n) {
        n.Valor = 0;
        n.EtiquetaValor.Caption = "0";
        n.Calculado = false;
        n.Elegido = false;
    });
}

void QuitaRojos(Arbol& arbol)
{
    ParaCadaNodo(arbol, 1, [](uint16_t, TNodo& n) { n.SumaErronea = false; });
}

void ValoresACero(Arbol& arbol)
{
    QuitaRojos(arbol);
    ReiniciaValores(arbol);
    arbol.ToleranciaValores = 0;
}

void EvaluaNodo(Arbol& arbol, uint16_t indice) { Evalua(arbol, indice, 0, CriterioDelArbol(arbol)); }

void RefrescaEtiquetas(Arbol& arbol)
{
    ParaCadaNodo(arbol, 0, [&](uint16_t, TNodo& n) {
        n.EtiquetaTexto.Caption = n.Texto;
        n.EtiquetaGanancia.Caption = TextoEtiquetaRama(arbol, n.FormulaGanancia, n.Ganancia);
        n.EtiquetaProbabilidad.Caption = TextoEtiquetaRama(arbol, n.FormulaProbabilidad, n.Probabilidad);
        n.EtiquetaValor.Caption = EtiquetaNumero(arbol, n.Valor);
    });
}

std::vector<uint16_t> NodosRojos(const Arbol& arbol)
{
    std::vector<uint16_t> rojos;
    for (int p = 1; p <= arbol.UltimaPosicion; ++p)
        if (const TNodo* n = arbol.Nodo(arbol.ListaOrden[p]); n && n->SumaErronea)
            rojos.push_back(arbol.ListaOrden[p]);
    return rojos;
}
