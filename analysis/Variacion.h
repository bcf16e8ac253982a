#pragma once
// The sensitivity sweep: one variable (and, for a probability, its companions)
// stepped over a range, the tree solved at every step, the root's value recorded.
#include "common/Usuario.h"

#include <cstdint>
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

// Where the sweep sends its results and asks the window to keep up.
class IVistaVariacion {
public:
    virtual ~IVistaVariacion() = default;
    virtual void Limpia() = 0;                            // clear the chart and the table
    virtual void AnyadePunto(double x, double y) = 0;      // a red chart point
    virtual void AnyadeLinea(const std::string& linea) = 0; // a table line
    virtual void Muestra() = 0;                            // show the result view
    virtual void PanelVisible(bool visible) { (void)visible; } // the drawing during the sweep
    virtual void Paso() {}                                 // after each step: let the window breathe
};

// The most points one sweep may compute; a smaller step is refused before anything changes.
constexpr long kMaxPuntosVariacion = 100000;

// The pick lists of the dialog: lines that are not empty, not Bayes lines and not comments.
std::vector<std::string> LineasVariacion(const Arbol& arbol);
// The same lines sorted ignoring case, for the list of the set's candidates.
std::vector<std::string> LineasConjuntoOrdenadas(const Arbol& arbol);
// The sum of the values of a set's lines, and its label "Suma = ...".
// Writes the list with the current decimal separator and rebuilds its
// substitution lists, as a solve does: the dialog calls it before filling its lists.
void PreparaListaVariacion(Arbol& arbol);
// A line of the list as PreparaListaVariacion writes it.
std::string LineaNormalizada(const std::string& linea);
// Both read the list as it is now (prepared first).
double SumaConjunto(Arbol& arbol, const std::vector<std::string>& lineas);
std::string TextoSuma(Arbol& arbol, const std::vector<std::string>& lineas);

// The value table as a text file: every line followed by CR LF.
std::string TextoTablaVariacion(const std::vector<std::string>& lineas);
// Writes it to exactly that path, replacing the file safely; EInOutError on failure.
void GrabaTablaVariacion(const std::string& ruta, const std::vector<std::string>& lineas);

// The last node in list order whose payoff or probability names the variable.
struct UsoVariable {
    bool Encontrado = false;
    uint16_t Nodo = 0;
    bool ComoProbabilidad = false;
};
UsoVariable BuscaNodoVariable(const Arbol& arbol, const std::string& nombre);

// A probability that shares the rest of its group with the swept one: its
// variable's name (empty for a plain number, which no step changes) and its
// value before the sweep.
struct Companero {
    std::string nombre;
    double valor;
};
// The companions of the probability of node n: its siblings whose probability
// names another variable (or none), with their probabilities as stored.
std::vector<Companero> CompanerosDeProbabilidad(const Arbol& arbol, uint16_t n);

// One step, as every analysis that varies inputs takes it: the variable called
// nombre is set to x and each companion to its share (1 - x) * valor / total,
// the Bayes lines are revised and the tree is solved. The caller backs up the
// list, turns the probability check off and restores both afterwards.
void PasoVariacion(Arbol& arbol, const std::string& nombre, double x, const std::vector<Companero>& companeros,
                   double total);

// The user port while steps run: a message a step gives (a Bayes value not
// found) is shown once, not once per step with the program stopped at each.
class UsuarioDelBarrido : public IUsuario {
public:
    explicit UsuarioDelBarrido(IUsuario& u) : u_(u) {}
    Respuesta Pregunta(const std::string& t, const std::string& x, Botones b, Icono i) override;
    bool PideTexto(const std::string& t, const std::string& r, std::string& x) override;
    void Error(const std::string& x) override;
    void Mensaje(const std::string& t, const std::string& x, Icono i) override;
    std::optional<std::string> AbrirFichero(const DialogoFichero& d) override;
    std::optional<std::string> GuardarFichero(const DialogoFichero& d) override;
    void ProgresoMostrar(const std::string& x) override;
    void ProgresoPosicion(int p) override;
    void ProgresoOcultar() override;

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
extern const char* const kMensajeDemasiadosPuntos;
extern const char* const kMensajeCompanerosCero;
