#pragma once
// Bayes revision written into the variables list. A line containing "BAYES"
// names results, «BAYES(R1,R2)»; priors «P(S) = f» and likelihoods
// «P(R/S) = f» are ordinary lines; the revision writes the marginals «P(R)»
// and the posteriors «P(S/R)» back as lines at the end of the list.
#include <string>
#include <vector>

class Arbol;

// Revises every Bayes line, top to bottom. A line written by one revision
// moves to the end, so the scan may pass over a line that moved up.
void CalculaTodosBayes(Arbol& arbol);
// The revision for the Bayes line at that index of the list.
void CalculaBayes(Arbol& arbol, int indiceLinea);
// The value of the first line containing texto; false, after telling the
// user "No se encuentra el valor de " + texto, when no line contains it.
bool BuscaValor(Arbol& arbol, const std::string& texto, double& valor);
// Removes the first line containing nombre and appends «nombre = valorTexto».
void EscribeResultado(Arbol& arbol, const std::string& nombre, const std::string& valorTexto);
// A value as the revision writes it: fixed, with exactly decimales decimals,
// rounded to 8 significant digits at most.
std::string FormatoBayes(double valor, int decimales);

// The names of the lines the revision writes, «P(R)» and «P(S/R)», for every
// Bayes line of the list: their values are results, not inputs.
std::vector<std::string> NombresEscritosPorBayes(const Arbol& arbol);

// The button "Calcula las formulas de Bayes": normalises the list, rebuilds
// the substitution lists and revises every Bayes line.
void CalculaFormulasBayes(Arbol& arbol);
