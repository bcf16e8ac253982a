// nemor-cli as a program: its help, and what only the real process shows, that
// it starts without Qt and hands "export" to its helper.
#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#ifndef NEMOR_FUENTES
#error "NEMOR_FUENTES must name the source folder"
#endif

namespace {

struct Salida {
    int codigo;
    std::string out, err;
};

Salida Ejecuta(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int c = EjecutaCli(args, out, err);
    return {c, out.str(), err.str()};
}

// The command names listed by "nemor-cli --help", each with its summary.
std::vector<std::pair<std::string, std::string>> ComandosDeLaAyuda(const std::string& ayuda)
{
    std::vector<std::pair<std::string, std::string>> r;
    std::istringstream in(ayuda.substr(ayuda.find("\nComandos:\n") + 11));
    for (std::string l; std::getline(in, l) && !l.empty();) {
        const auto fin = l.find(' ', 2);
        r.emplace_back(l.substr(2, fin - 2), l.substr(l.find_first_not_of(' ', fin)));
    }
    return r;
}

TEST(CliPrograma, AyudaDeLaHerramientaYDeCadaComando)
{
    const Salida general = Ejecuta({"--help"});
    EXPECT_EQ(general.codigo, 0);
    EXPECT_EQ(general.err, "");
    EXPECT_NE(general.out.find("Códigos de salida: 0"), std::string::npos);
    const auto comandos = ComandosDeLaAyuda(general.out);
    ASSERT_GE(comandos.size(), 9u) << general.out;
    for (const auto& [nombre, resumen] : comandos) {
        SCOPED_TRACE(nombre);
        EXPECT_GT(resumen.size(), 10u) << "every command says what it does";
        for (const std::vector<std::string>& pide : {std::vector<std::string>{nombre, "--help"},
                                                    std::vector<std::string>{"--decimal=,", nombre, "x", "--help"}}) {
            const Salida s = Ejecuta(pide);
            EXPECT_EQ(s.codigo, 0);
            EXPECT_EQ(s.err, "");
            EXPECT_EQ(s.out.rfind("uso: nemor-cli " + nombre, 0), 0u) << s.out;
            EXPECT_NE(s.out.find("\n\n" + resumen + "\n"), std::string::npos) << s.out;
        }
        // Bad usage names the command's own usage and exits 2.
        const Salida mal = Ejecuta({nombre, "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"});
        if (mal.codigo == 2) {
            EXPECT_EQ(mal.err.rfind("uso: nemor-cli " + nombre, 0), 0u) << mal.err;
        }
    }
    for (const std::vector<std::string>& mal : {std::vector<std::string>{}, {"nada"}, {"--decimal=;", "solve", "x"}}) {
        const Salida s = Ejecuta(mal);
        EXPECT_EQ(s.codigo, 2);
        EXPECT_EQ(s.err.rfind("uso: nemor-cli", 0), 0u) << s.err;
    }
    // --json belongs to the commands that write it; elsewhere it is bad usage.
    EXPECT_EQ(Ejecuta({"eval", "--json", "1"}).codigo, 2);
    EXPECT_EQ(Ejecuta({"--version"}).out, "nemor-cli 2015\n");
}

#ifdef NEMOR_CLI
struct Proceso {
    int codigo;
    std::string out, err;
};

std::string Lee(const std::filesystem::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Runs the real nemor-cli with the arguments (each quoted) and, when given, a standard input file.
Proceso Programa(const std::string& args, const std::string& entrada = "/dev/null", const std::string& entorno = "")
{
    const auto dir = std::filesystem::temp_directory_path() / ("nemor_cli_programa_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string orden = entorno + " '" + std::string(NEMOR_CLI) + "' " + args + " <'" + entrada + "' >'" +
                              (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
    const int estado = std::system(orden.c_str());
    Proceso p{WIFEXITED(estado) ? WEXITSTATUS(estado) : -1, Lee(dir / "out"), Lee(dir / "err")};
    std::filesystem::remove_all(dir);
    return p;
}

// The start-up of a script's thousand calls: no Qt library is even loaded.
TEST(CliPrograma, ArrancaSinQt)
{
    const Proceso p = Programa("--version", "/dev/null", "LD_TRACE_LOADED_OBJECTS=1");
    ASSERT_EQ(p.codigo, 0) << p.err;
    EXPECT_NE(p.out.find("libc.so"), std::string::npos) << p.out;
    EXPECT_EQ(p.out.find("Qt"), std::string::npos) << p.out;
}

TEST(CliPrograma, ExportPasaPorSuAyudante)
{
#ifndef NEMOR_CON_QT
    GTEST_SKIP() << "a build without Qt has no picture export";
#else
    const std::string muestra = std::string(NEMOR_FUENTES) + "/examples/inversion.nmr";
    const auto dir = std::filesystem::temp_directory_path() / ("nemor_cli_exporta_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string png = (dir / "arbol.png").string();
    setenv("NEMOR_INI", (dir / "NEMOR.ini").c_str(), 1);

    const Proceso bien = Programa("--decimal=, export --solve - '" + png + "'", muestra);
    EXPECT_EQ(bien.codigo, 0) << bien.err;
    EXPECT_EQ(bien.out, "");
    EXPECT_EQ(Lee(png).substr(0, 8), "\x89PNG\r\n\x1a\n");

    const Proceso falta = Programa("export '" + (dir / "no.nmr").string() + "' '" + png + "'");
    EXPECT_EQ(falta.codigo, 1);
    EXPECT_EQ(falta.err, "No existe el fichero " + (dir / "no.nmr").string() + ".\n");
    const Proceso uso = Programa("export --rapido '" + muestra + "' '" + png + "'");
    EXPECT_EQ(uso.codigo, 2);
    EXPECT_EQ(uso.err.rfind("uso: nemor-cli export", 0), 0u) << uso.err;
    const Proceso formato = Programa("export '" + muestra + "' '" + (dir / "arbol.gif").string() + "'");
    EXPECT_EQ(formato.codigo, 1);
    EXPECT_NE(formato.err, "");
    std::filesystem::remove_all(dir);
#endif
}
#endif

} // namespace
