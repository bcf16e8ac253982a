#include "analysis/Variacion.h"

#include "analysis/Rollback.h"
#include "common/Decimal.h"
#include "common/EscrituraSegura.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"
#include "variables/Bayes.h"
#include "variables/Variables.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

const char* const kMensajeConjuntoNoSuma = "El conjunto de variables seleccionadas no suman 1.";
const char* const kMensajeNoAsociada = "La variable selccionada no está asociada a nigún nodo del árbol";
const char* const kMensajeIncremento = "El incremento debe ser mayor que cero.";
const char* const kMensajeIncrementoSinEfecto =
    "El incremento es demasiado pequeño para esos valores: al sumarlo, el valor de la variable no cambia.";
const char* const kMensajeCompanerosCero =
    "Las probabilidades que acompañan a la variable suman 0: no se pueden repartir entre ellas.";

namespace {

std::string Texto(double v) { return FormatoEtiqueta(v, 15, 0); }

// Sets the line the variable is defined on. The plain substring search of
// FijaValorVariable would write into the first line merely containing the name
// («BA = 1» before «A = 2»), while the branches read the line called so; the
// two must agree or the chart shows another variable's effect.
void FijaValor(Arbol& arbol, const std::string& nombre, const std::string& texto)
{
    if (nombre.empty())
        return;
    for (std::string& l : arbol.Variables) {
        if (EsDefinicion(l) && NombreDeLinea(l) == nombre) {
            l = l.substr(0, l.find('=') + 1) + " " + texto;
            return;
        }
    }
    FijaValorVariable(arbol, nombre, texto);
}

// Whether adding the step moves every x the loop reaches on its way from
// desde up to hasta. A step is lost in rounding only where x is largest in
// size, so the two ends are tried, each with its neighbour too: an addition
// that falls half-way rounds to the even of the two.
bool PasoAvanza(double desde, double hasta, double paso)
{
    const double infinito = std::numeric_limits<double>::infinity();
    for (const double x : {desde, std::nextafter(desde, infinito), hasta, std::nextafter(hasta, -infinito)})
        if (x >= desde && x <= hasta && !(x + paso > x))
            return false;
    return true;
}

// The probability-sum check off for one solve, whoever calls the step.
struct SinComprobacion {
    Arbol& arbol;
    bool antes;
    explicit SinComprobacion(Arbol& a) : arbol(a), antes(a.opciones.CheckBoxComprobarRojos)
    {
        arbol.opciones.CheckBoxComprobarRojos = false;
    }
    ~SinComprobacion() { arbol.opciones.CheckBoxComprobarRojos = antes; }
};

// Puts the tree's own user port back however the steps end.
struct CambioUsuario {
    Arbol& arbol;
    IUsuario* antes;
    ~CambioUsuario() { arbol.usuario = antes; }
};

void Refusa(Arbol& arbol, const char* mensaje)
{
    if (arbol.usuario)
        arbol.usuario->Mensaje("Error", mensaje, Icono::Error);
}

// Puts back what the sweep changed: the list from the backup, the drawing, the check option.
struct Restauracion {
    Arbol& arbol;
    IVistaVariacion& vista;
    bool comprobar;
    bool activa = false;
    bool panelOculto = false;

    void Deshaz()
    {
        if (!activa)
            return;
        activa = false;
        arbol.Variables = arbol.VariablesRespaldo;
        if (panelOculto)
            vista.PanelVisible(true);
    }
    ~Restauracion()
    {
        if (activa) {
            // Leaving through an error: nothing may stay at swept values.
            Deshaz();
            try {
                RecalculaFormulas(arbol);
                CalculaVEM(arbol);
            } catch (...) {
                // The original error is the one the user must see.
            }
        }
        arbol.opciones.CheckBoxComprobarRojos = comprobar;
    }
};

} // namespace

std::vector<std::string> LineasVariacion(const Arbol& arbol)
{
    std::vector<std::string> r;
    for (const auto& l : arbol.Variables)
        if (!l.empty() && !EsLineaBayes(l) && !EsComentario(l))
            r.push_back(l);
    return r;
}

void PreparaListaVariacion(Arbol& arbol)
{
    NormalizaSeparadores(arbol);
    CargaVariables(arbol);
}

std::string LineaNormalizada(const std::string& linea)
{
    if (!EsDefinicion(linea))
        return linea;
    const char sep = SeparadorDecimal();
    std::string r = linea;
    std::replace(r.begin(), r.end(), sep == '.' ? ',' : '.', sep);
    return r;
}

double SumaConjunto(Arbol& arbol, const std::vector<std::string>& lineas)
{
    PreparaListaVariacion(arbol);
    double s = 0;
    for (const auto& l : lineas)
        s += EvaluaLinea(arbol, LineaNormalizada(l));
    return s;
}

std::vector<std::string> LineasConjuntoOrdenadas(const Arbol& arbol)
{
    std::vector<std::string> r = LineasVariacion(arbol);
    std::stable_sort(r.begin(), r.end(), OrdenAlfabetico);
    return r;
}

std::string LineaVariacion(double x, double y) { return Texto(x) + "\t" + Texto(y); }

std::string TextoTablaVariacion(std::span<const PuntoGrafico> puntos)
{
    std::string r;
    for (const auto& p : puntos)
        r += LineaVariacion(p.X, p.Y) + "\r\n";
    return r;
}

void GrabaTablaVariacion(const std::string& ruta, std::span<const PuntoGrafico> puntos)
{
    EscribeFicheroSeguro(ruta, TextoTablaVariacion(puntos));
}

std::string TextoSuma(Arbol& arbol, const std::vector<std::string>& lineas)
{
    return "Suma = " + Texto(SumaConjunto(arbol, lineas));
}

UsoVariable BuscaNodoVariable(const Arbol& arbol, const std::string& nombre)
{
    UsoVariable r;
    // A line without a name is used by no branch; every plain-number branch has an empty formula.
    if (nombre.empty())
        return r;
    for (int p = 0; p <= arbol.UltimaPosicion; ++p) {
        const uint16_t k = arbol.ListaOrden[p];
        const TNodo* n = arbol.Nodo(k);
        if (!n)
            continue;
        if (n->FormulaGanancia == nombre)
            r = UsoVariable{true, k, false};
        else if (n->FormulaProbabilidad == nombre)
            r = UsoVariable{true, k, true};
    }
    return r;
}

bool GrupoDeVariable(const Arbol& arbol, const std::string& nombre, GrupoVariacion& grupo)
{
    grupo = GrupoVariacion{nombre, {}, 0};
    const UsoVariable uso = BuscaNodoVariable(arbol, nombre);
    if (!uso.Encontrado)
        return false;
    if (uso.ComoProbabilidad) {
        const TNodo* n = arbol.Nodo(uso.Nodo);
        const TNodo* padre = arbol.Nodo(n->Padre);
        for (int i = 1; padre && i <= padre->NumHijos(); ++i) {
            const TNodo* h = arbol.Nodo(padre->Hijo(i));
            if (h && h->FormulaProbabilidad != n->FormulaProbabilidad) {
                grupo.Companeros.push_back({h->FormulaProbabilidad, h->Probabilidad});
                grupo.Total += h->Probabilidad;
            }
        }
    }
    return true;
}

GrupoVariacion GrupoDeConjunto(const Arbol& arbol, const std::string& nombre, const std::vector<std::string>& lineas)
{
    GrupoVariacion grupo{nombre, {}, 0};
    for (const auto& l : lineas) {
        if (NombreDeLinea(l) == nombre)
            continue;
        const double v = EvaluaLinea(arbol, LineaNormalizada(l));
        grupo.Companeros.push_back({NombreDeLinea(l), v});
        grupo.Total += v;
    }
    return grupo;
}

double PasoVariacion(Arbol& arbol, const GrupoVariacion& grupo, double x)
{
    FijaValor(arbol, grupo.Nombre, Texto(x));
    for (const auto& c : grupo.Companeros)
        FijaValor(arbol, c.Nombre, Texto((1 - x) * c.Valor / grupo.Total));
    CalculaTodosBayes(arbol);
    SinComprobacion sin(arbol);
    CalculaVEM(arbol);
    return arbol.Raiz().Valor;
}

bool EjecutaVariaciones(Arbol& arbol, const ParametrosVariacion& p, IVistaVariacion& vista)
{
    Restauracion restaura{arbol, vista, arbol.opciones.CheckBoxComprobarRojos};
    arbol.opciones.CheckBoxComprobarRojos = false;

    // The list may have changed since the last solve (a tree just read, an edit)
    // and the Bayes lines are revised before each solve: both need it settled.
    PreparaListaVariacion(arbol);
    const std::string nombre = NombreDeLinea(p.Linea);
    const double desde = StrToFloat(NormalizarDecimal(p.Desde));
    const double hasta = StrToFloat(NormalizarDecimal(p.Hasta));
    const double paso = StrToFloat(NormalizarDecimal(p.Incremento));

    // A step that never reaches the end would hang the program.
    if (desde <= hasta && !(paso > 0)) {
        Refusa(arbol, kMensajeIncremento);
        return false;
    }
    if (!PasoAvanza(desde, hasta, paso)) {
        Refusa(arbol, kMensajeIncrementoSinEfecto);
        return false;
    }

    GrupoVariacion grupo;
    if (p.Conjunto) {
        // No test of use here: a variable that only other lines use, or a line
        // without a name, still moves its companions.
        const double tolerancia = StrToFloat(NormalizarDecimal(arbol.opciones.EditPrecisionSumatorio));
        // The sum as "Suma = ..." shows it.
        const double s = StrToFloat(Texto(SumaConjunto(arbol, p.LineasConjunto)));
        if (tolerancia < std::fabs(s - 1)) {
            Refusa(arbol, kMensajeConjuntoNoSuma);
            return false;
        }
        grupo = GrupoDeConjunto(arbol, nombre, p.LineasConjunto);
    } else if (!GrupoDeVariable(arbol, nombre, grupo)) {
        Refusa(arbol, kMensajeNoAsociada);
        return false;
    }
    if (!grupo.Companeros.empty() && grupo.Total == 0) {
        Refusa(arbol, kMensajeCompanerosCero);
        return false;
    }

    // Ready: back up the list and clear the results.
    arbol.VariablesRespaldo = arbol.Variables;
    restaura.activa = true;
    vista.Limpia();
    if (!arbol.opciones.CheckBoxArbolVisibleVariaciones) {
        vista.PanelVisible(false);
        restaura.panelOculto = true;
    }

    std::optional<UsuarioDelBarrido> filtro;
    CambioUsuario vuelta{arbol, arbol.usuario};
    if (arbol.usuario) {
        filtro.emplace(*arbol.usuario);
        arbol.usuario = &*filtro;
    }
    ProgresoVariacion progreso;
    for (double x = desde; x <= hasta;) {
        vista.AnyadePunto(x, PasoVariacion(arbol, grupo, x));
        ++progreso.Puntos;
        progreso.X = x;
        progreso.Fraccion = hasta > desde ? std::min(1.0, (x - desde) / (hasta - desde)) : 1.0;
        if (!vista.Paso(progreso))
            break; // stopped by the user: what is computed stays
        const double siguiente = x + paso;
        if (!(siguiente > x))
            break; // PasoAvanza rules this out; never loop for ever all the same
        x = siguiente;
    }

    arbol.usuario = vuelta.antes;
    vista.Muestra();
    restaura.Deshaz();
    CalculaVEM(arbol);
    return true;
}
