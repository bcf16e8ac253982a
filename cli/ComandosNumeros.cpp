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

const RegistroCli r1({"format", "X DIGITS PRECISION", 3, 3, Formato});
const RegistroCli r2({"normalize", "TEXT", 1, 1, Normaliza});

} // namespace
