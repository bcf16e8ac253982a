// Goal: at least one million parse-and-evaluate per second on one core for
// the first formula (about 1000 ns per iteration or less).
#include "bench/ArbolGenerado.h"
#include "common/Decimal.h"
#include "formula/Formula.h"

#include "variables/Variables.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

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

// Goal: all 100 lines of the generated model, already substituted (up to 16
// numbers each), parsed and evaluated in under 1 ms.
void BM_LineasDelModelo(benchmark::State& estado)
{
    auto a = bench::ArbolGrande();
    CargaVariables(*a);
    std::vector<std::string> textos;
    for (const auto& l : a->Variables)
        textos.push_back(SustituyeVariables(*a, DefinicionDeLinea(l), l));
    for (auto _ : estado)
        for (const auto& t : textos)
            benchmark::DoNotOptimize(ParseFormula(t)->ToFloat());
    estado.counters["lineas"] = static_cast<double>(textos.size());
}
BENCHMARK(BM_LineasDelModelo)->Unit(benchmark::kMicrosecond);

// Goal: a chain of 100000 terms, as a line naming another one that many times
// expands to, parsed, evaluated and freed in under 100 ms.
void BM_CadenaLarga(benchmark::State& estado)
{
    SeparadorTemporal s('.');
    std::string t = "1.5";
    for (int i = 1; i < estado.range(0); ++i)
        t += i % 2 ? " - 0.5" : " + 1.5";
    for (auto _ : estado)
        benchmark::DoNotOptimize(ParseFormula(t)->ToFloat());
    estado.counters["caracteres"] = static_cast<double>(t.size());
}
BENCHMARK(BM_CadenaLarga)->Arg(600)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_CAPTURE(ParseYEvalua, Aritmetica, ',', "(1200 * 1,21 - 300) / 2");
// Both options of IF must share a kind, hence 0.0 rather than 0.
BENCHMARK_CAPTURE(ParseYEvalua, CondicionalYPotencia, '.', "IF(0.3 > 0.25; POWER(1.05; 10) * 1000; 0.0)");
BENCHMARK_CAPTURE(Solo, EvaluaAritmetica, ',', "(1200 * 1,21 - 300) / 2");
BENCHMARK_CAPTURE(Solo, EvaluaCondicionalYPotencia, '.', "IF(0.3 > 0.25; POWER(1.05; 10) * 1000; 0.0)");
