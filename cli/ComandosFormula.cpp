#include "cli/Cli.h"
#include "drawing/FormatoEtiqueta.h"
#include "formula/Formula.h"

#include <ostream>

namespace {

int Evalua(const std::vector<std::string>& a, std::ostream& out)
{
    out << FormatoEtiqueta(ParseFormula(a[0])->ToFloat(), 15, 0) << '\n';
    return 0;
}

const char* const kAyudaEval =
    "Evalúa una fórmula e imprime su valor como número real.\n"
    "\n"
    "La fórmula se escribe como en la lista de variables pero sin nombres de\n"
    "variables: números con el separador decimal en uso, operadores (+ - * / ^ DIV\n"
    "MOD AND OR XOR NOT SHL SHR = <> < > <= >=), IF(c; a; b) y las funciones (ABS,\n"
    "ROUND, SQRT, POWER(x; y), LENGTH('texto'), ...); los argumentos se separan con\n"
    "«;». El valor sale con 15 cifras. Ejemplo: nemor-cli eval \"2 ^ 10\" da 1024.\n";

const RegistroCli r1({"eval", "FORMULA", 1, 1, Evalua, kAyudaEval});

} // namespace
