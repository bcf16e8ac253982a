#include "analysis/Tornado.h"

#include "analysis/Rollback.h"
#include "analysis/Variacion.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"
#include "variables/Bayes.h"
#include "variables/Variables.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>

const char* const kMensajePorcentaje = "El porcentaje de variación debe ser un número mayor que cero.";
const char* const kMensajePasos = "El número de pasos debe ser al menos 1.";

namespace {

std::string Texto(double v) { return FormatoEtiqueta(v, 15, 0); }

// The root's chosen branch, 1 for the first; 0 when it chose none.
int Eleccion(const Arbol& a)
{
    const TNodo& raiz = *a.Nodo(0);
    if (raiz.Tipo != NodoDecision)
        return 0;
    for (int i = 1; i <= raiz.NumHijos(); ++i)
        if (const TNodo* h = a.Nodo(raiz.Hijo(i)); h && h->Elegido)
            return i;
    return 0;
}

// Puts back what the steps changed, however they end: the list, the user
// port and the check option, with the tree solved again for the list.
struct Restauracion {
    Arbol& arbol;
    bool comprobar;
    IUsuario* usuario;
    std::vector<std::string> lista;
    bool activa = false;

    explicit Restauracion(Arbol& a)
        : arbol(a), comprobar(a.opciones.CheckBoxComprobarRojos), usuario(a.usuario)
    {
    }
    void Termina()
    {
        arbol.usuario = usuario;
        if (activa) {
            activa = false;
            arbol.Variables = lista;
            CalculaVEM(arbol);
        }
        arbol.opciones.CheckBoxComprobarRojos = comprobar;
    }
    ~Restauracion()
    {
        try {
            Termina();
        } catch (...) {
            // Leaving through an error: that error is the one the user must see.
        }
        arbol.usuario = usuario;
        arbol.opciones.CheckBoxComprobarRojos = comprobar;
    }
};

} // namespace

std::vector<EntradaSensibilidad> EntradasSensibilidad(const Arbol& arbol)
{
    std::set<std::string> fuera;
    for (const std::string& n : NombresEscritosPorBayes(arbol))
        fuera.insert(NombreDeLinea(n + " = 0"));
    std::set<std::string> probabilidades;
    for (int p = 0; p <= arbol.UltimaPosicion; ++p)
        if (const TNodo* n = arbol.Nodo(arbol.ListaOrden[p]); n && !n->FormulaProbabilidad.empty())
            probabilidades.insert(n->FormulaProbabilidad);

    std::vector<EntradaSensibilidad> r;
    std::set<std::string> vistos;
    for (const std::string& l : arbol.Variables) {
        if (!EsDefinicion(l))
            continue;
        const std::string nombre = NombreDeLinea(l);
        // Only the first line of a name is ever read; a later one is not an input.
        if (nombre.empty() || !vistos.insert(nombre).second || fuera.count(nombre))
            continue;
        double v;
        if (!TryStrToFloat(DefinicionDeLinea(l), v) || v == 0 || !std::isfinite(v))
            continue;
        r.push_back({nombre, l, v, probabilidades.count(nombre) > 0});
    }
    return r;
}

ResultadoArana CalculaArana(Arbol& arbol, double porcentaje, int pasos)
{
    if (!(porcentaje > 0) || !std::isfinite(porcentaje))
        throw ENemor(kMensajePorcentaje);
    if (pasos < 1)
        throw ENemor(kMensajePasos);
    CriterioDelArbol(arbol); // a bad tolerance stops here, before anything changes

    Restauracion restaura(arbol);
    arbol.opciones.CheckBoxComprobarRojos = false;
    // As the sweep: the list written with the current separator, the substitution lists rebuilt.
    PreparaListaVariacion(arbol);
    const std::vector<EntradaSensibilidad> entradas = EntradasSensibilidad(arbol);
    const std::vector<std::string> lista = arbol.Variables;
    restaura.lista = lista;
    restaura.activa = true;
    std::optional<UsuarioDelBarrido> filtro;
    if (arbol.usuario) {
        filtro.emplace(*arbol.usuario);
        arbol.usuario = &*filtro;
    }

    ResultadoArana r;
    r.Porcentaje = porcentaje;
    r.Pasos = pasos;
    // The base is a step that changes no line.
    PasoVariacion(arbol, GrupoVariacion{}, 0);
    r.Base = arbol.Raiz().Valor;
    r.EleccionBase = Eleccion(arbol);
    r.ConEquivalente = arbol.ToleranciaValores > 0;

    // The companions of a probability, as a one-variable sweep of it takes
    // them: from the tree solved at the base, before any step moves them.
    std::vector<GrupoVariacion> grupos(entradas.size());
    for (size_t i = 0; i < entradas.size(); ++i) {
        GrupoVariacion& g = grupos[i];
        GrupoDeVariable(arbol, entradas[i].Nombre, g); // a line no branch names moves alone
        // Nothing to share the rest among: the input moves alone.
        if (g.Total == 0) {
            g.Companeros.clear();
            g.Total = 1;
        }
    }

    for (size_t i = 0; i < entradas.size(); ++i) {
        const EntradaSensibilidad& e = entradas[i];
        SerieArana s;
        s.Entrada = e;
        PuntoArana p;
        try {
            for (int k = 0; k <= pasos; ++k) {
                p.Porcentaje = porcentaje * (2 * k - pasos) / pasos;
                p.Entrada = e.Valor * (1 + p.Porcentaje / 100);
                if (e.EsProbabilidad)
                    p.Entrada = std::clamp(p.Entrada, 0.0, 1.0);
                // One line at a time: every other line at its own value.
                arbol.Variables = lista;
                PasoVariacion(arbol, grupos[i], p.Entrada);
                p.Raiz = arbol.Raiz().Valor;
                p.CambiaEleccion = Eleccion(arbol) != r.EleccionBase;
                s.Puntos.push_back(p);
            }
        } catch (const ENemor& error) {
            // The base solved, so this input's value is what fails: the others still count.
            r.Fallidas.push_back({e.Nombre, p.Entrada, error.what()});
            continue;
        }
        r.Series.push_back(std::move(s));
    }
    restaura.Termina();
    return r;
}

ResultadoTornado TornadoDeArana(const ResultadoArana& a)
{
    ResultadoTornado t;
    t.Porcentaje = a.Porcentaje;
    t.Base = a.Base;
    t.EleccionBase = a.EleccionBase;
    t.ConEquivalente = a.ConEquivalente;
    t.Fallidas = a.Fallidas;
    for (const SerieArana& s : a.Series) {
        if (s.Puntos.empty())
            continue;
        const PuntoArana& bajo = s.Puntos.front();
        const PuntoArana& alto = s.Puntos.back();
        BarraTornado b;
        b.Nombre = s.Entrada.Nombre;
        b.Valor = s.Entrada.Valor;
        b.EsProbabilidad = s.Entrada.EsProbabilidad;
        b.Bajo = bajo.Entrada;
        b.Alto = alto.Entrada;
        b.RaizBajo = bajo.Raiz;
        b.RaizAlto = alto.Raiz;
        b.Amplitud = std::fabs(alto.Raiz - bajo.Raiz);
        b.CambiaBajo = bajo.CambiaEleccion;
        b.CambiaAlto = alto.CambiaEleccion;
        t.Barras.push_back(b);
    }
    // A swing that is not a number sorts last.
    auto clave = [](const BarraTornado& b) {
        return std::isnan(b.Amplitud) ? -std::numeric_limits<double>::infinity() : b.Amplitud;
    };
    std::stable_sort(t.Barras.begin(), t.Barras.end(),
                     [&](const BarraTornado& x, const BarraTornado& y) { return clave(x) > clave(y); });
    return t;
}

ResultadoTornado CalculaTornado(Arbol& arbol, double porcentaje)
{
    return TornadoDeArana(CalculaArana(arbol, porcentaje, 1));
}

std::string TextoFallida(const EntradaFallida& f)
{
    return "No se ha podido resolver el árbol con " + f.Nombre + " = " + Texto(f.Entrada) + ": " + f.Mensaje;
}

std::vector<std::string> LineasTornado(const ResultadoTornado& t)
{
    std::vector<std::string> l;
    for (const BarraTornado& b : t.Barras)
        l.push_back(b.Nombre + "\t" + Texto(b.Bajo) + "\t" + Texto(b.Alto) + "\t" + Texto(b.RaizBajo) + "\t" +
                    Texto(b.RaizAlto) + "\t" + Texto(b.Amplitud) + "\t" + (b.CambiaEleccion() ? "*" : "-"));
    return l;
}

std::vector<std::string> LineasArana(const ResultadoArana& a)
{
    std::vector<std::string> l;
    for (const SerieArana& s : a.Series)
        for (const PuntoArana& p : s.Puntos)
            l.push_back(s.Entrada.Nombre + "\t" + Texto(p.Porcentaje) + "\t" + Texto(p.Raiz));
    return l;
}
