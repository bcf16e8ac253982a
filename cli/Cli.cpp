#include "cli/Cli.h"

#include "common/Decimal.h"
#include "common/Errores.h"
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

const ComandoCli kComandos[] = {
    {"format", "X DIGITS PRECISION", 3, 3, Formato},
    {"normalize", "TEXT", 1, 1, Normaliza},
};

void Uso(std::ostream& err)
{
    err << "uso: nemor-cli [--decimal=.|,] COMANDO ARGUMENTOS...\n";
    for (const auto& c : kComandos)
        err << "  nemor-cli " << c.nombre << ' ' << c.uso << '\n';
}

} // namespace

int EjecutaCli(const std::vector<std::string>& argumentos, std::ostream& out, std::ostream& err)
{
    size_t i = 0;
    char separador = SeparadorDecimalDelEntorno();
    if (i < argumentos.size() && argumentos[i].rfind("--decimal=", 0) == 0) {
        const std::string s = argumentos[i].substr(10);
        if (s != "." && s != ",") {
            Uso(err);
            return 2;
        }
        separador = s[0];
        ++i;
    }
    if (i >= argumentos.size()) {
        Uso(err);
        return 2;
    }
    const std::string nombre = argumentos[i++];
    for (const auto& c : kComandos) {
        if (nombre != c.nombre)
            continue;
        const std::vector<std::string> args(argumentos.begin() + static_cast<long>(i), argumentos.end());
        const int n = static_cast<int>(args.size());
        if (n < c.minimo || (c.maximo >= 0 && n > c.maximo)) {
            Uso(err);
            return 2;
        }
        SeparadorTemporal sep(separador);
        try {
            return c.Ejecuta(args, out);
        } catch (const UsoIncorrecto&) {
            Uso(err);
            return 2;
        } catch (const std::exception& e) {
            err << TextoCajaError(e.what()) << '\n';
            return 1;
        }
    }
    Uso(err);
    return 2;
}
