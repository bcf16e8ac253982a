#include "cli/Cli.h"

#include "common/Decimal.h"
#include "common/Errores.h"
#include "tree/FicheroArbol.h"

#include <algorithm>
#include <map>
#include <ostream>

namespace {

using Ejecucion = int (*)(const std::vector<std::string>&, std::ostream&);

std::vector<ComandoCli>& Comandos()
{
    static std::vector<ComandoCli> lista;
    return lista;
}

std::map<std::string, Ejecucion>& Implementaciones()
{
    static std::map<std::string, Ejecucion> mapa;
    return mapa;
}

bool json = false;

const char* const kUso = "uso: nemor-cli [--decimal=.|,] COMANDO ARGUMENTOS...";

std::vector<const ComandoCli*> PorNombre()
{
    std::vector<const ComandoCli*> r;
    for (const auto& c : Comandos())
        r.push_back(&c);
    std::sort(r.begin(), r.end(), [](auto a, auto b) { return std::string(a->nombre) < b->nombre; });
    return r;
}

std::string UsoComando(const ComandoCli& c)
{
    std::string s = std::string("nemor-cli ") + c.nombre;
    if (c.json)
        s += " [--json]";
    if (*c.uso)
        s += std::string(" ") + c.uso;
    return s;
}

void Uso(std::ostream& err)
{
    err << kUso << '\n';
    for (const ComandoCli* c : PorNombre())
        err << "  " << UsoComando(*c) << '\n';
    err << "«nemor-cli --help» explica cada comando.\n";
}

void UsoDe(const ComandoCli& c, std::ostream& err)
{
    err << "uso: " << UsoComando(c) << '\n' << "«nemor-cli " << c.nombre << " --help» lo explica.\n";
}

std::string Resumen(const ComandoCli& c)
{
    const std::string a = c.ayuda;
    return a.substr(0, a.find('\n'));
}

void Ayuda(std::ostream& out)
{
    out << kUso << "\n"
        << "       nemor-cli COMANDO --help\n"
        << "\n"
        << "La herramienta sin ventanas de NEMOR: resuelve, revisa y analiza árboles de\n"
        << "decisión (.nmr) desde la línea de órdenes o desde un guion. Solo «export»\n"
        << "dibuja; los demás comandos no cargan ninguna biblioteca gráfica.\n"
        << "\n"
        << "Opciones generales:\n"
        << "  --decimal=.|,  separador decimal de los números que se leen y se escriben\n"
        << "                 (sin ella, el del entorno: LC_ALL, LC_NUMERIC o LANG)\n"
        << "  --help         esta ayuda; detrás de un comando, la de ese comando\n"
        << "  --version      la versión del programa\n"
        << "\n"
        << "Comandos:\n";
    for (const ComandoCli* c : PorNombre()) {
        std::string nombre = c->nombre;
        nombre.resize(std::max<size_t>(nombre.size() + 2, 11), ' ');
        out << "  " << nombre << Resumen(*c) << '\n';
    }
    out << "\n"
        << "Un FICHERO «-» lee el árbol de la entrada estándar. Con --json, los comandos\n"
        << "que la admiten escriben un único documento JSON (números exactos, textos en\n"
        << "UTF-8) en lugar del texto.\n"
        << "\n"
        << "Códigos de salida: 0 si todo va bien; 1 si hay un error (su texto sale por la\n"
        << "salida de errores); 2 si el uso es incorrecto (se muestra el uso).\n";
}

void AyudaDe(const ComandoCli& c, std::ostream& out)
{
    out << "uso: " << UsoComando(c) << "\n\n" << c.ayuda;
    if (*c.ayuda && c.ayuda[std::char_traits<char>::length(c.ayuda) - 1] != '\n')
        out << '\n';
}

} // namespace

RegistroCli::RegistroCli(const ComandoCli& comando)
{
    Comandos().push_back(comando);
}

ImplementacionCli::ImplementacionCli(const char* nombre, Ejecucion ejecuta)
{
    Implementaciones()[nombre] = ejecuta;
}

bool SalidaJson()
{
    return json;
}

int EjecutaCli(const std::vector<std::string>& argumentos, std::ostream& out, std::ostream& err)
{
    size_t i = 0;
    char separador = 0;
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
    if (nombre == "--help" || nombre == "-h") {
        Ayuda(out);
        return 0;
    }
    if (nombre == "--version") {
        out << "nemor-cli " << kVersionNemor << '\n';
        return 0;
    }
    for (const auto& c : Comandos()) {
        if (nombre != c.nombre)
            continue;
        std::vector<std::string> args;
        bool conJson = false;
        for (size_t k = i; k < argumentos.size(); ++k) {
            if (argumentos[k] == "--help") {
                AyudaDe(c, out);
                return 0;
            }
            if (c.json && argumentos[k] == "--json")
                conJson = true;
            else
                args.push_back(argumentos[k]);
        }
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
            UsoDe(c, err);
            return 2;
        }
        const auto propia = Implementaciones().find(c.nombre);
        const Ejecucion ejecuta = propia != Implementaciones().end() ? propia->second : c.Ejecuta;
        // Looking the locale up loads its files: only when the caller did not say.
        if (!separador)
            separador = SeparadorDecimalDelEntorno();
        SeparadorTemporal sep(separador);
        struct Json {
            explicit Json(bool j) { json = j; }
            ~Json() { json = false; }
        } modo(conJson);
        try {
            return ejecuta(args, out);
        } catch (const UsoIncorrecto&) {
            UsoDe(c, err);
            return 2;
        } catch (const std::exception& e) {
            err << TextoCajaError(e.what()) << '\n';
            return 1;
        }
    }
    Uso(err);
    return 2;
}
