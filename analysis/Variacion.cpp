#include "analysis/Variacion.h"

#include "analysis/Rollback.h"
#include "common/Decimal.h"
#include "common/EscrituraSegura.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"
#include "variables/Bayes.h"
#include "variables/Variables.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

const char* const kMensajeConjuntoNoSuma = "El conjunto de variables seleccionadas no suman 1.";
const char* const kMensajeNoAsociada = "La variable selccionada no está asociada a nigún nodo del árbol";
const char* const kMensajeIncremento = "El incremento debe ser mayor que cero.";
const char* const kMensajeDemasiadosPuntos =
    "El incremento es demasiado pequeño: la variación tendría más de 100000 puntos.";
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

// The points of the sweep, by repeated addition as the loop steps. False when
// they would be too many, or when adding the step stops moving x (a step below
// the precision of x near the end would otherwise loop for ever).
bool Secuencia(double desde, double hasta, double paso, std::vector<double>& xs)
{
    xs.clear();
    for (double x = desde; x <= hasta;) {
        if (xs.size() >= static_cast<size_t>(kMaxPuntosVariacion))
            return false;
        xs.push_back(x);
        const double siguiente = x + paso;
        if (!(siguiente > x))
            return false;
        x = siguiente;
    }
    return true;
}

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

Respuesta UsuarioDelBarrido::Pregunta(const std::string& t, const std::string& x, Botones b, Icono i)
{
    return u_.Pregunta(t, x, b, i);
}
bool UsuarioDelBarrido::PideTexto(const std::string& t, const std::string& r, std::string& x)
{
    return u_.PideTexto(t, r, x);
}
void UsuarioDelBarrido::Error(const std::string& x) { u_.Error(x); }
void UsuarioDelBarrido::Mensaje(const std::string& t, const std::string& x, Icono i)
{
    if (std::find(vistos_.begin(), vistos_.end(), x) != vistos_.end())
        return;
    vistos_.push_back(x);
    u_.Mensaje(t, x, i);
}
std::optional<std::string> UsuarioDelBarrido::AbrirFichero(const DialogoFichero& d) { return u_.AbrirFichero(d); }
std::optional<std::string> UsuarioDelBarrido::GuardarFichero(const DialogoFichero& d) { return u_.GuardarFichero(d); }
void UsuarioDelBarrido::ProgresoMostrar(const std::string& x) { u_.ProgresoMostrar(x); }
void UsuarioDelBarrido::ProgresoPosicion(int p) { u_.ProgresoPosicion(p); }
void UsuarioDelBarrido::ProgresoOcultar() { u_.ProgresoOcultar(); }

std::vector<Companero> CompanerosDeProbabilidad(const Arbol& arbol, uint16_t n)
{
    std::vector<Companero> companeros;
    const TNodo* nodo = arbol.Nodo(n);
    const TNodo* padre = nodo ? arbol.Nodo(nodo->Padre) : nullptr;
    for (int i = 1; padre && i <= padre->NumHijos(); ++i) {
        const TNodo* h = arbol.Nodo(padre->Hijo(i));
        if (h && h->FormulaProbabilidad != nodo->FormulaProbabilidad)
            companeros.push_back({h->FormulaProbabilidad, h->Probabilidad});
    }
    return companeros;
}

void PasoVariacion(Arbol& arbol, const std::string& nombre, double x, const std::vector<Companero>& companeros,
                   double total)
{
    FijaValor(arbol, nombre, Texto(x));
    for (const auto& c : companeros)
        FijaValor(arbol, c.nombre, Texto((1 - x) * c.valor / total));
    CalculaTodosBayes(arbol);
    CalculaVEM(arbol);
}

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
    std::stable_sort(r.begin(), r.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    });
    return r;
}

std::string TextoTablaVariacion(const std::vector<std::string>& lineas)
{
    std::string r;
    for (const auto& l : lineas)
        r += l + "\r\n";
    return r;
}

void GrabaTablaVariacion(const std::string& ruta, const std::vector<std::string>& lineas)
{
    EscribeFicheroSeguro(ruta, TextoTablaVariacion(lineas));
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
    std::vector<double> xs;
    if (desde <= hasta && !(paso > 0)) {
        Refusa(arbol, kMensajeIncremento);
        return false;
    }
    if (!Secuencia(desde, hasta, paso, xs)) {
        Refusa(arbol, kMensajeDemasiadosPuntos);
        return false;
    }

    std::vector<Companero> companeros;
    if (nombre.empty()) {
        // A line without "=" names nothing the sweep could set.
        Refusa(arbol, kMensajeNoAsociada);
        return false;
    }
    if (p.Conjunto) {
        const double tolerancia = StrToFloat(NormalizarDecimal(arbol.opciones.EditPrecisionSumatorio));
        // The sum as the dialog shows it.
        const double s = StrToFloat(Texto(SumaConjunto(arbol, p.LineasConjunto)));
        if (tolerancia < std::fabs(s - 1)) {
            Refusa(arbol, kMensajeConjuntoNoSuma);
            return false;
        }
        for (const auto& l : p.LineasConjunto)
            if (NombreDeLinea(l) != nombre)
                companeros.push_back({NombreDeLinea(l), EvaluaLinea(arbol, LineaNormalizada(l))});
    } else {
        const UsoVariable uso = BuscaNodoVariable(arbol, nombre);
        if (!uso.Encontrado) {
            Refusa(arbol, kMensajeNoAsociada);
            return false;
        }
        if (uso.ComoProbabilidad)
            companeros = CompanerosDeProbabilidad(arbol, uso.Nodo);
    }
    double total = 0;
    for (const auto& c : companeros)
        total += c.valor;
    if (!companeros.empty() && total == 0) {
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
    for (const double x : xs) {
        PasoVariacion(arbol, nombre, x, companeros, total);
        const double y = arbol.Raiz().Valor;
        vista.AnyadeLinea(Texto(x) + "\t" + Texto(y));
        vista.AnyadePunto(x, y);
        vista.Paso();
    }

    arbol.usuario = vuelta.antes;
    vista.Muestra();
    restaura.Deshaz();
    CalculaVEM(arbol);
    return true;
}
