#pragma once
// The risk profile of a solved tree: from a node down, the chosen branch at
// every decision node and every branch at every chance node lead to the
// outcomes the decision maker may end with, each with its probability.
#include <cstdint>
#include <string>
#include <vector>

class Arbol;

// One outcome: a value, its probability, and the probability of ending at
// that value or below.
struct ResultadoPerfil {
    double Valor = 0;
    double Probabilidad = 0;
    double Acumulada = 0;
};

struct PerfilRiesgo {
    // Ascending by value. Outcomes whose values print alike with 15 digits
    // are one; an outcome of probability 0 cannot happen and is left out.
    std::vector<ResultadoPerfil> Resultados;
    // Probabilities as they stand (a red node's do not add up to 1).
    double Media = 0; // equal to the node's value under the expected value
    double DesviacionTipica = 0;
    double Minimo = 0;
    double Maximo = 0;
    double ProbabilidadPerdida = 0; // of a value below 0
    // When the tree was solved under exponential utility: the node's value.
    bool ConEquivalente = false;
    double EquivalenteCierto = 0;
};

// The profile below a node of the solved tree (kMensajeNodoInexistente when
// there is no such node). Values are the branch payoffs
// below the node plus the last node's own value: 0 for a terminal, its value
// for a node that has no branch to follow (no chosen alternative).
PerfilRiesgo CalculaPerfilRiesgo(const Arbol& arbol, int nodo = 0);

// A decision node's alternatives, each as if it were chosen: the branch
// payoff is added, so they compare on the node's own scale.
struct PerfilAlternativa {
    int Rama = 0;       // 1 for the first branch
    uint16_t Nodo = 0;  // the node the branch leads to
    std::string Texto;  // that node's text
    bool Elegida = false;
    PerfilRiesgo Perfil;
};
std::vector<PerfilAlternativa> PerfilesAlternativas(const Arbol& arbol, int nodo);

// The profile as text: one line per outcome (value, tab, probability, tab,
// cumulative probability), then "media", "desviación típica", "mínimo",
// "máximo", "probabilidad de pérdida" and, with utility, "equivalente cierto",
// each with a tab and its value. Numbers in the general 15-digit format.
std::vector<std::string> LineasPerfil(const PerfilRiesgo& perfil);
// The header line of an alternative's block.
std::string CabeceraAlternativa(const PerfilAlternativa& a);

extern const char* const kMensajeNodoInexistente;
extern const char* const kMensajeSinAlternativas;
