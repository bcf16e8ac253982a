#pragma once
// Attitude to risk: a decision maker with exponential utility
// U(x) = 1 - exp(-x / R) values a lottery at its certainty equivalent, the sure
// amount whose utility equals the lottery's expected utility. R, the risk
// tolerance, is in the payoffs' units: the larger, the nearer to the expected value.
#include <cstddef>

// One branch of a chance node as the roll-back sees it: the child's value plus
// the branch payoff, and the branch probability.
struct Lance {
    double Valor = 0;
    double Probabilidad = 0;
};

// The certainty equivalent of the branches under tolerance r > 0: when the
// probabilities add up to 1, -r * ln(sum p * exp(-valor / r)). Probabilities
// that do not add up to 1 are used as they stand, as the expected value uses
// them: the result is their sum times the equivalent of the branches with the
// probabilities divided by that sum, so that a very large r gives sum p * valor
// whatever the sum. Branches of probability 0 weigh nothing; with none left
// the result is 0. Exact for any r and values: no step overflows. NaN when a
// probability is negative (no utility is defined for it).
double EquivalenteCierto(const Lance* lances, size_t n, double r);
