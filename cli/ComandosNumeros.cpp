#include "cli/Cli.h"
#include "common/Decimal.h"
#include "drawing/FormatoEtiqueta.h"

#include <ostream>

namespace {

int Formato(const std::vector<std::string>& a, std::ostream& out)
{
    int32_t digitos, precision;
    if (!TryStrToInt(a[1], digitos) || !TryStrToInt(a[2], precision))
        throw UsoIncorrecto{};
    const double x = StrToFloat(NormalizarDecimal(a[0]));
    out << FormatoEtiqueta(x, digitos, precision) << '\n';
    return 0;
}

int Normaliza(const std::vector<std::string>& a, std::ostream& out)
{
    out << NormalizarDecimal(a[0]) << '\n';
    return 0;
}

const char* const kAyudaFormat =
    "Escribe el número X en el formato de las etiquetas del dibujo.\n"
    "\n"
    "DIGITS son las cifras significativas (2 a 18) y PRECISION las cifras mínimas\n"
    "del exponente (0 a 4), como «Dígitos en etiquetas» y «Precisión en etiquetas»\n"
    "de las opciones. Ejemplo: nemor-cli format 12345 4 4 da 1.235E0004.\n";

const char* const kAyudaNormalize =
    "Repara el separador decimal de un número tecleado.\n"
    "\n"
    "Si TEXT ya es un número con el separador en uso, sale tal cual; si no, su\n"
    "primera coma pasa a ser punto o, si no tiene coma, su primer punto pasa a ser\n"
    "coma. Es la reparación que el programa aplica a cada número que se teclea.\n";

const RegistroCli r1({"format", "X DIGITS PRECISION", 3, 3, Formato, kAyudaFormat});
const RegistroCli r2({"normalize", "TEXT", 1, 1, Normaliza, kAyudaNormalize});

} // namespace
