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

const RegistroCli r1({"eval", "FORMULA", 1, 1, Evalua});

} // namespace
