#pragma once
// The variables list: lines «NAME = formula» kept beside the tree. A branch
// payoff or probability may name one of these lines; its value is the line's
// formula with the other lines' names replaced by their formulas as text,
// evaluated by the formula engine.
#include "common/Errores.h"

#include <cstdint>
#include <string>
#include <vector>

class Arbol;

// A formula whose names cannot all be replaced: a line refers to itself,
// directly or through other lines (the message names it), or the expansion
// outgrows the bound on passes or length (the message names the line evaluated).
class EVariableCiclica : public ENemor {
public:
    using ENemor::ENemor;
};

// The name of a line: the text before the first "=", cut at its first blank
// when it ends with one. Empty for a line without "=".
std::string NombreDeLinea(const std::string& linea);
// The formula of a line: the text after the first "=" without its leading
// blanks; the whole line without leading blanks when there is no "=".
std::string DefinicionDeLinea(const std::string& linea);

// Kind of a line of the list.
bool EsComentario(const std::string& linea);   // starts with "!"
bool EsLineaBayes(const std::string& linea);   // contains "BAYES" in any case
bool EsDefinicion(const std::string& linea);   // not empty, not a comment, has "="

// Replaces the names of NombresVariables by the matching DefinicionesVariables,
// pass after pass (each pass replaces the first occurrence of every name, in
// list order) until a pass changes nothing. Raises EVariableCiclica when the
// text never settles; linea is the list line the text comes from, for the message.
std::string SustituyeVariables(const Arbol& arbol, const std::string& texto, const std::string& linea = {});

// Parses the text with the formula engine and evaluates it as a real.
double EvaluaFormula(const std::string& texto);
// EvaluaFormula(SustituyeVariables(DefinicionDeLinea(linea))).
double EvaluaLinea(const Arbol& arbol, const std::string& linea);

// Rebuilds NombresVariables and DefinicionesVariables from the definition lines.
void CargaVariables(Arbol& arbol);

// The value of the first definition line called nombre; false (valor 0) when none.
bool ValorDeVariable(const Arbol& arbol, const std::string& nombre, double& valor);

// Refreshes one node's payoff and probability from the lines they name. A
// name whose line is gone turns the branch into the plain number 0.
void ActualizaNodo(Arbol& arbol, uint16_t indice);

// Normalises the list, rebuilds the substitution lists and refreshes every
// node's branch values and their labels. Each line is evaluated at most once.
void RecalculaFormulas(Arbol& arbol);

// Writes every definition line with the current decimal separator.
void NormalizaSeparadores(Arbol& arbol);

// Replaces the value of the first line containing nombre by valorTexto,
// keeping its text up to the first "=". False when no line contains nombre.
bool FijaValorVariable(Arbol& arbol, const std::string& nombre, const std::string& valorTexto);

// The order of every sorted list of lines: alphabetical ignoring case and the
// accents of Spanish letters, «ñ» after «n»; texts equal that way keep the
// order of their bytes.
bool OrdenAlfabetico(const std::string& a, const std::string& b);

// The lines a branch may refer to: not empty, not comments, not Bayes lines;
// sorted by OrdenAlfabetico when "Lista de variables ordenada" is ticked.
std::vector<std::string> ListaSeleccionVariables(const Arbol& arbol);
// Whether texto is, character for character, one of those lines (the value
// dialog's and the sweep dialog's pick lists offer the same lines).
bool EsVariable(const Arbol& arbol, const std::string& texto);
bool EsVariableVariacion(const Arbol& arbol, const std::string& texto);

// The caption of a payoff or probability label: the line's name when the
// names are shown and the branch refers to a line; otherwise the number.
std::string TextoEtiquetaRama(const Arbol& arbol, const std::string& formula, double valor);

// The list as one text and back: lines separated by line breaks ("\n" or
// "\r\n"); a final line break adds no empty line.
std::vector<std::string> LineasDeTexto(const std::string& texto);
std::string TextoDeLineas(const std::vector<std::string>& lineas);
