#pragma once
// Solving the tree: every chance node gets the probability-weighted mean of
// its branches, every decision node the best of its alternatives, and the
// chosen alternative is marked for the drawing.
#include <cstdint>
#include <string>
#include <vector>

class Arbol;

// The text of the question asked when some chance node's probabilities are off.
extern const char* const kPreguntaSumas;

// How chance nodes take their values: the probability-weighted mean (expected
// value), or, under exponential utility with tolerance R, the certainty
// equivalent (analysis/Riesgo.h). Decision nodes take their best alternative either way.
struct CriterioSolucion {
    bool Utilidad = false;
    double Tolerancia = 0;
};
// The criterion the options ask for; raises kMensajeTolerancia for a bad R under utility.
CriterioSolucion CriterioDelArbol(const Arbol& arbol);
// Under utility, a chance node with a negative probability has no certainty equivalent.
extern const char* const kMensajeProbabilidadNegativa;

// "Calcular VEM": refreshes the branch values from the variables, checks the
// probability sums when the option asks for it (asking whether to go on when
// one is off), clears the results and rolls the tree back from the root.
// False when the user answered No: nothing was reset or computed.
bool CalculaVEM(Arbol& arbol);

// The same solve for callers without a user to ask: goes on when a sum is off.
// Returns the chance nodes painted red, in list order.
std::vector<uint16_t> ResuelveArbol(Arbol& arbol);

// Checks the probabilities below every chance node except the root; sets or
// clears SumaErronea and the figure's hint. True when every node passes.
bool CompruebaSumas(Arbol& arbol);

// Every node: value 0, value label "0", not computed, not chosen.
void ReiniciaValores(Arbol& arbol);
// Every node except the root: no longer red. The hints stay.
void QuitaRojos(Arbol& arbol);
// "Valores a cero": QuitaRojos, then ReiniciaValores.
void ValoresACero(Arbol& arbol);

// Computes one node's value after its subtree (post-order), under the
// criterion of the options.
void EvaluaNodo(Arbol& arbol, uint16_t indice);

// Rewrites every node's text, payoff, probability and value labels from its data.
void RefrescaEtiquetas(Arbol& arbol);

// The chance nodes currently painted red, in list order.
std::vector<uint16_t> NodosRojos(const Arbol& arbol);
