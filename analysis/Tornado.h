#pragma once
// Which inputs matter most: every line of the variables list whose right side
// is a plain number is moved by a percentage either way, one at a time, and
// the tree solved at each value as a sweep step is. The tornado keeps the two
// ends; the spider chart follows each input through evenly spaced changes.
// The variables list, the tree and the options are restored afterwards.
#include <cstdint>
#include <string>
#include <vector>

class Arbol;

// An input: a definition line whose right side is a plain number other than 0,
// the first line of its name, and not a line the Bayes revision writes.
struct EntradaSensibilidad {
    std::string Nombre;
    std::string Linea; // as the list holds it
    double Valor = 0;
    // A branch names the line as its probability: its values stay within 0..1.
    bool EsProbabilidad = false;
};
// The inputs in list order, as the list reads now.
std::vector<EntradaSensibilidad> EntradasSensibilidad(const Arbol& arbol);

struct PuntoArana {
    double Porcentaje = 0; // the change asked for, -P..P
    double Entrada = 0;    // the input's value there (a probability clamped to 0..1)
    double Raiz = 0;       // the root's value
    bool CambiaEleccion = false; // the root chose another branch than at the base
};
struct SerieArana {
    EntradaSensibilidad Entrada;
    std::vector<PuntoArana> Puntos; // from -P % to +P %
};
// An input at a value where the tree cannot be solved (a formula that fails
// there): it is left out of the results, and said why.
struct EntradaFallida {
    std::string Nombre;
    double Entrada = 0;
    std::string Mensaje; // the error's own text
};
// "No se ha podido resolver el árbol con NOMBRE = VALOR: MENSAJE"
std::string TextoFallida(const EntradaFallida& f);

struct ResultadoArana {
    double Porcentaje = 10;
    int Pasos = 10;
    double Base = 0;             // the root's value with every input at its own value
    int EleccionBase = 0;        // the root's chosen branch there (1 the first; 0 none)
    bool ConEquivalente = false; // the root's values are certainty equivalents
    std::vector<SerieArana> Series; // in list order
    std::vector<EntradaFallida> Fallidas;
};
// pasos + 1 evenly spaced points from -porcentaje % to +porcentaje % for each
// input. Raises kMensajePorcentaje or kMensajePasos before anything changes.
ResultadoArana CalculaArana(Arbol& arbol, double porcentaje = 10, int pasos = 10);

struct BarraTornado {
    std::string Nombre;
    double Valor = 0;
    double Bajo = 0, Alto = 0;         // the input at -P % and at +P %
    double RaizBajo = 0, RaizAlto = 0; // the root's value there
    double Amplitud = 0;               // |RaizAlto - RaizBajo|
    bool CambiaBajo = false, CambiaAlto = false;
    bool EsProbabilidad = false;
    bool CambiaEleccion() const { return CambiaBajo || CambiaAlto; }
};
struct ResultadoTornado {
    double Porcentaje = 10;
    double Base = 0;
    int EleccionBase = 0;
    bool ConEquivalente = false;
    std::vector<BarraTornado> Barras; // largest swing first, ties in list order
    std::vector<EntradaFallida> Fallidas;
};
// The two ends of every series of a spider chart.
ResultadoTornado TornadoDeArana(const ResultadoArana& arana);
ResultadoTornado CalculaTornado(Arbol& arbol, double porcentaje = 10);

// As text, numbers in the general 15-digit format. Tornado: name, low input,
// high input, root at low, root at high, swing, and "*" when the root's choice
// changes ("-" otherwise), tab-separated. Spider: name, percent change, root.
std::vector<std::string> LineasTornado(const ResultadoTornado& t);
std::vector<std::string> LineasArana(const ResultadoArana& a);

extern const char* const kMensajePorcentaje;
extern const char* const kMensajePasos;
