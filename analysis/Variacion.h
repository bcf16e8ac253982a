#pragma once
// The sensitivity sweep: one variable (and, for a probability, its companions)
// stepped over a range, the tree solved at every step, the root's value recorded.
#include "analysis/Grafico.h"
#include "common/Usuario.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Arbol;

// What the set-up dialog holds when "Aceptar" is pressed.
struct ParametrosVariacion {
    std::string Linea; // a whole line of the variables list: the swept variable is its name
    std::string Desde = "0";
    std::string Hasta = "1";
    std::string Incremento = "0.1";
    bool Conjunto = false;                   // "Definición de conjunto"
    std::vector<std::string> LineasConjunto; // "Conjunto de probabilidades", whole lines
};

// How far a sweep has gone, after each point.
struct ProgresoVariacion {
    uint64_t Puntos = 0;  // points computed so far
    double X = 0;         // the last one's value of the variable
    double Fraccion = 0;  // share of the range from "Desde" to "Hasta" covered, 0 to 1
};

// Where the sweep sends its results and asks the window to keep up.
class IVistaVariacion {
public:
    virtual ~IVistaVariacion() = default;
    virtual void Limpia() = 0;                        // clear the chart and the table
    virtual void AnyadePunto(double x, double y) = 0; // a red chart point and its table line, LineaVariacion(x, y)
    virtual void Muestra() = 0;                       // show the result view
    virtual void PanelVisible(bool visible) { (void)visible; } // the drawing during the sweep
    // After each point. False stops the sweep there: the points so far stay,
    // and the list and the tree are restored as after any sweep.
    virtual bool Paso(const ProgresoVariacion& progreso)
    {
        (void)progreso;
        return true;
    }
};

// A line of the value table: x, a tab, the root's value, both in the general
// number text (15 digits, the user's decimal separator).
std::string LineaVariacion(double x, double y);

// The pick lists of the dialog: lines that are not empty, not Bayes lines and not comments.
std::vector<std::string> LineasVariacion(const Arbol& arbol);
// The same lines in the order of the sorted pick lists, for the list of the set's candidates.
std::vector<std::string> LineasConjuntoOrdenadas(const Arbol& arbol);
// Writes the list with the current decimal separator and rebuilds its
// substitution lists, as a solve does: the dialog calls it before filling its lists.
void PreparaListaVariacion(Arbol& arbol);
// A line of the list as PreparaListaVariacion writes it.
std::string LineaNormalizada(const std::string& linea);
// The sum of the values of a set's lines, and its label "Suma = ...".
// Both read the list as it is now (prepared first).
double SumaConjunto(Arbol& arbol, const std::vector<std::string>& lineas);
std::string TextoSuma(Arbol& arbol, const std::vector<std::string>& lineas);

// The value table as a text file: one line per point, each followed by CR LF.
std::string TextoTablaVariacion(std::span<const PuntoGrafico> puntos);
// Writes it to exactly that path, replacing the file safely; EInOutError on failure.
void GrabaTablaVariacion(const std::string& ruta, std::span<const PuntoGrafico> puntos);

// The last node in list order whose payoff or probability names the variable.
struct UsoVariable {
    bool Encontrado = false;
    uint16_t Nodo = 0;
    bool ComoProbabilidad = false;
};
UsoVariable BuscaNodoVariable(const Arbol& arbol, const std::string& nombre);

// A swept variable and the companions that share the rest of 1 with it.
struct GrupoVariacion {
    struct Companero {
        std::string Nombre; // may be empty: it then sets nothing, but its value counts in Total
        double Valor = 0;   // its value before the sweep
    };
    std::string Nombre; // the variable set to x; empty sets nothing
    std::vector<Companero> Companeros;
    double Total = 0; // the companions' values added
};
// A variable swept alone. When the branch that names it (BuscaNodoVariable) is
// a probability, its siblings that name other lines, or none, are the companions,
// with their probabilities as stored. False when no branch names it.
bool GrupoDeVariable(const Arbol& arbol, const std::string& nombre, GrupoVariacion& grupo);
// A variable swept with a set of lines (as they are in the list now): every
// line of the set whose name is not the variable's is a companion, with its value now.
GrupoVariacion GrupoDeConjunto(const Arbol& arbol, const std::string& nombre, const std::vector<std::string>& lineas);

// One step, for every analysis that moves a variable: writes x into the
// variable's line and (1 − x) × value ÷ Total into each companion's, revises
// the Bayes lines and solves the tree without the probability-sum check.
// Returns the root's value. The list stays at these values: the caller keeps a
// copy and puts it back, as EjecutaVariaciones does with VariablesRespaldo.
double PasoVariacion(Arbol& arbol, const GrupoVariacion& grupo, double x);

// The user port while the steps run: a message a step gives (a Bayes value not
// found) is shown once, not once per step with the program stopped at each.
class UsuarioDelBarrido : public IUsuario {
public:
    explicit UsuarioDelBarrido(IUsuario& u) : u_(u) {}
    Respuesta Pregunta(const std::string& t, const std::string& x, Botones b, Icono i) override
    {
        return u_.Pregunta(t, x, b, i);
    }
    bool PideTexto(const std::string& t, const std::string& r, std::string& x) override { return u_.PideTexto(t, r, x); }
    void Error(const std::string& x) override { u_.Error(x); }
    void Mensaje(const std::string& t, const std::string& x, Icono i) override
    {
        if (std::find(vistos_.begin(), vistos_.end(), x) != vistos_.end())
            return;
        vistos_.push_back(x);
        u_.Mensaje(t, x, i);
    }
    std::optional<std::string> AbrirFichero(const DialogoFichero& d) override { return u_.AbrirFichero(d); }
    std::optional<std::string> GuardarFichero(const DialogoFichero& d) override { return u_.GuardarFichero(d); }
    void ProgresoMostrar(const std::string& x) override { u_.ProgresoMostrar(x); }
    void ProgresoPosicion(int p) override { u_.ProgresoPosicion(p); }
    void ProgresoOcultar() override { u_.ProgresoOcultar(); }

private:
    IUsuario& u_;
    std::vector<std::string> vistos_;
};

// Runs the sweep. False when it was refused with a message (nothing changed).
// An error inside a step restores the variables list, the check option and
// the drawing before it propagates.
bool EjecutaVariaciones(Arbol& arbol, const ParametrosVariacion& p, IVistaVariacion& vista);

extern const char* const kMensajeConjuntoNoSuma;
extern const char* const kMensajeNoAsociada;
extern const char* const kMensajeIncremento;
extern const char* const kMensajeIncrementoSinEfecto;
extern const char* const kMensajeCompanerosCero;
