// nemor-cli check on files that are not valid trees: the first error found,
// nothing on standard output, exit 1.
#include "cli/Cli.h"
#include "common/EscrituraSegura.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

const std::string kMuestra = std::string(NEMOR_FUENTES) + "/examples/inversion.nmr";

std::string Sustituye(std::string t, const std::string& de, const std::string& a)
{
    const auto p = t.find(de);
    EXPECT_NE(p, std::string::npos) << de;
    return t.replace(p, de.size(), a);
}

TEST(CliComprueba, UnFicheroInvalidoDaSuPrimerError)
{
    std::string bueno;
    ASSERT_TRUE(LeeFicheroEntero(kMuestra, bueno));
    const auto carpeta = std::filesystem::temp_directory_path() / "nemor_cli_comprueba";
    std::filesystem::create_directories(carpeta);
    struct Caso {
        const char* nombre;
        std::string contenido;
        std::string error; // the start of the one line on standard error
    };
    const Caso casos[] = {
        {"cortado", bueno.substr(0, 300), "El fichero de árbol está dañado"},
        // The two counters of the header, both bad: only the first is reported.
        {"contador", Sustituye(bueno, "\r\n9\r\n9\r\n", "\r\nx9\r\ny9\r\n"),
         "'x9' is not a valid integer value."},
        {"vacio", "", "El fichero de árbol está dañado"},
        // Node 1, a chance node with three branches, made terminal.
        {"terminal con ramas", Sustituye(bueno, "#\r\n1\r\n2\r\n", "#\r\n1\r\n0\r\n"),
         "El fichero de árbol está dañado: el nodo 1 es terminal y tiene 3 ramas."},
    };
    for (const auto& k : casos) {
        SCOPED_TRACE(k.nombre);
        const std::string ruta = (carpeta / (std::string(k.nombre) + ".nmr")).string();
        EscribeFicheroSeguro(ruta, k.contenido);
        std::ostringstream out, err;
        EXPECT_EQ(EjecutaCli({"check", ruta}, out, err), 1);
        EXPECT_EQ(out.str(), "");
        const std::string e = err.str();
        EXPECT_EQ(e.rfind(k.error, 0), 0u) << e;
        EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1) << e;
    }
    std::ostringstream out, err;
    EXPECT_EQ(EjecutaCli({"check", kMuestra}, out, err), 0) << err.str();
    std::filesystem::remove_all(carpeta);
}

} // namespace
