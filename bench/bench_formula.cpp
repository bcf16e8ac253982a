// Goal: at least one million parse-and-evaluate per second on one core for
// the first formula (about 1000 ns per iteration or less).
#include "common/Decimal.h"
#include "formula/Formula.h"

#include <benchmark/benchmark.h>

namespace {

void ParseYEvalua(benchmark::State& estado, char separador, const char* formula)
{
    SeparadorTemporal s(separador);
    for (auto _ : estado)
        benchmark::DoNotOptimize(ParseFormula(formula)->ToFloat());
}

void Solo(benchmark::State& estado, char separador, const char* formula)
{
    SeparadorTemporal s(separador);
    IValue v = ParseFormula(formula);
    for (auto _ : estado)
        benchmark::DoNotOptimize(v->ToFloat());
}

} // namespace

BENCHMARK_CAPTURE(ParseYEvalua, Aritmetica, ',', "(1200 * 1,21 - 300) / 2");
// Both options of IF must share a kind, hence 0.0 rather than 0.
BENCHMARK_CAPTURE(ParseYEvalua, CondicionalYPotencia, '.', "IF(0.3 > 0.25; POWER(1.05; 10) * 1000; 0.0)");
BENCHMARK_CAPTURE(Solo, EvaluaAritmetica, ',', "(1200 * 1,21 - 300) / 2");
BENCHMARK_CAPTURE(Solo, EvaluaCondicionalYPotencia, '.', "IF(0.3 > 0.25; POWER(1.05; 10) * 1000; 0.0)");
