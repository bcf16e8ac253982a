#include "cli/Cli.h"

#include "common/Decimal.h"
#include "common/Errores.h"

#include <ostream>

namespace {

std::vector<ComandoCli>& Comandos()
{
    static std::vector<ComandoCli> lista;
    return lista;
}

void Uso(std::ostream& err)
{
    err << "uso: nemor-cli [--decimal=.|,] COMANDO ARGUMENTOS...\n";
    for (const auto& c : Comandos())
        err << "  nemor-cli " << c.nombre << ' ' << c.uso << '\n';
}

} // namespace

RegistroCli::RegistroCli(const ComandoCli& comando)
{
    Comandos().push_back(comando);
}

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
    for (const auto& c : Comandos()) {
        if (nombre != c.nombre)
            continue;
        std::vector<std::string> args(argumentos.begin() + static_cast<long>(i), argumentos.end());
        // The separator may also follow the command's name.
        if (!args.empty() && args[0].rfind("--decimal=", 0) == 0) {
            const std::string s = args[0].substr(10);
            if (s != "." && s != ",") {
                Uso(err);
                return 2;
            }
            separador = s[0];
            args.erase(args.begin());
        }
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
