#include "cli/Cli.h"
#include "common/Cp1252.h"
#include "common/EscrituraSegura.h"
#include "tree/Arbol.h"
#include "tree/Recuperacion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#ifndef NEMOR_FUENTES
#error "NEMOR_FUENTES must name the source folder"
#endif

namespace {

const std::string kFuentes = NEMOR_FUENTES;

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

std::string Lee(const std::string& ruta)
{
    std::string s;
    EXPECT_TRUE(LeeFicheroEntero(ruta, s)) << ruta;
    return s;
}

// The bytes without the second and third lines (path and date).
std::string SinRutaNiFecha(const std::string& s)
{
    size_t a = s.find("\r\n") + 2;
    size_t b = s.find("\r\n", s.find("\r\n", a) + 2) + 2;
    return s.substr(0, a) + s.substr(b);
}

struct CliArbol : ::testing::Test {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                (std::string("nemor_cli_") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    CliArbol()
    {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~CliArbol() override { std::filesystem::remove_all(dir); }
    std::string Ruta(const std::string& n) const { return (dir / n).string(); }
};

TEST_F(CliArbol, ResaveReproduceElFichero)
{
    const std::string origen = kFuentes + "/tests/tree/datos/completo.nmr";
    for (const char* sep : {"--decimal=.", "--decimal=,"}) {
        const std::string destino = Ruta("copia.nmr");
        const Salida s = Ejecuta({sep, "resave", origen, destino});
        ASSERT_EQ(s.codigo, 0) << s.err;
        const std::string copia = Lee(destino);
        EXPECT_EQ(SinRutaNiFecha(copia), SinRutaNiFecha(Lee(origen))) << sep;
        EXPECT_EQ(copia.substr(0, 8 + destino.size() + 2), "V 2015\r\n" + Utf8ACp1252(destino) + "\r\n");
    }
    EXPECT_EQ(Ejecuta({"check", origen}).out,
              "nodos 4, último número 5, líneas de variables 3, versión 2015, documento informe del análisis.rtf\n");
}

// The tool works on the files it is given and nothing else: it neither
// writes recovery copies nor takes up those a window left behind.
TEST_F(CliArbol, NoTocaLasCopiasDeRecuperacion)
{
    const char* previo = std::getenv("XDG_DATA_HOME");
    const std::string antes = previo ? previo : "";
    ::setenv("XDG_DATA_HOME", Ruta("datos").c_str(), 1);
    const std::string carpeta = CarpetaRecuperacion();
    ASSERT_EQ(carpeta, Ruta("datos") + "/NEMOR/recuperacion");
    {
        // A window that ran earlier under this same process id left a copy.
        Proceso anterior = ProcesoActual();
        ++anterior.Inicio;
        Recuperacion r(carpeta, anterior);
        Arbol a;
        a.Variables = {"A = 1"};
        ++a.Modificaciones;
        ASSERT_TRUE(r.Escribe(a));
        r.Espera();
        ASSERT_FALSE(r.TomaError());
    }
    auto Carpeta = [&] {
        std::map<std::string, std::string> r;
        for (const auto& e : std::filesystem::recursive_directory_iterator(Ruta("datos")))
            r[e.path().string()] = e.is_regular_file() ? Lee(e.path().string()) : "";
        return r;
    };
    const auto antesDeUsarla = Carpeta();
    ASSERT_EQ(antesDeUsarla.size(), 4u); // NEMOR/, recuperacion/ and the pair

    const std::string origen = kFuentes + "/tests/tree/datos/completo.nmr";
    for (const std::vector<std::string>& orden :
         {std::vector<std::string>{"check", origen}, {"solve", origen}, {"bayes", origen},
          {"resave", origen, Ruta("copia.nmr")}, {"check", Ruta("no-esta.nmr")}})
        Ejecuta(orden);
    EXPECT_TRUE(std::filesystem::exists(Ruta("copia.nmr")));
    EXPECT_EQ(Carpeta(), antesDeUsarla);
    if (previo)
        ::setenv("XDG_DATA_HOME", antes.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

TEST_F(CliArbol, SolveImprimeCadaNodo)
{
    const Salida s = Ejecuta({"--decimal=,", "solve", kFuentes + "/examples/inversion.nmr"});
    ASSERT_EQ(s.codigo, 0) << s.err;
    EXPECT_EQ(s.out, "0\t1\t680\t-\t-\n"
                     "1\t2\t680\tE\t-\n"
                     "2\t0\t0\t-\t-\n"
                     "3\t0\t0\t-\t-\n"
                     "4\t0\t0\t-\t-\n"
                     "5\t2\t580\t-\t-\n"
                     "6\t0\t0\t-\t-\n"
                     "7\t0\t0\t-\t-\n"
                     "8\t0\t0\t-\t-\n"
                     "9\t0\t0\t-\t-\n");
    // A chance node whose probabilities are off is solved all the same and marked.
    const Salida r = Ejecuta({"--decimal=.", "solve", kFuentes + "/tests/tree/datos/completo.nmr"});
    ASSERT_EQ(r.codigo, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n', r.out.find('\n') + 1) + 1), "0\t1\t600\t-\t-\n1\t2\t350\tE\tR\n");
}

TEST_F(CliArbol, BayesEscribeLasLineas)
{
    const Salida s = Ejecuta({"--decimal=.", "bayes", kFuentes + "/examples/petroleo.nmr"});
    ASSERT_EQ(s.codigo, 0) << s.err;
    EXPECT_NE(s.out.find("\nP(Cerrada) = 0.2400\nP(Abierta) = 0.3500\nP(Sin) = 0.4100\n"), std::string::npos) << s.out;
    EXPECT_NE(s.out.find("\nP(Empapado/Sin) = 0.0488\n"), std::string::npos) << s.out;
}

TEST_F(CliArbol, DisposicionAntiguaYErrores)
{
    const std::string viejo = Ruta("viejo.nmr");
    std::string t = "C:\\viejo.nmr\r\n01/02/2003\r\n1\r\n2\r\n3\r\n1\r\n1\r\n";
    t += "#\r\n0\r\n1\r\n0\r\n0\r\n 0.00000000000000E+0000\r\n\r\n 0.00000000000000E+0000\r\n\r\n"
         " 0.00000000000000E+0000\r\n1\r\n1\r\n0\r\n \r\n60\r\n20\r\n334\r\n0\r\n";
    t += "#\r\n1\r\n0\r\n0\r\n0\r\n 7.00000000000000E+0000\r\n\r\n 0.00000000000000E+0000\r\n\r\n"
         " 0.00000000000000E+0000\r\n0\r\n0\r\nfin\r\n60\r\n140\r\n334\r\n0\r\n0\r\n";
    EscribeFicheroSeguro(viejo, t);
    const Salida bien = Ejecuta({"--decimal=.", "solve", "--v141", viejo});
    EXPECT_EQ(bien.codigo, 0) << bien.err;
    EXPECT_EQ(bien.out, "0\t1\t7\t-\t-\n1\t0\t0\tE\t-\n");
    const Salida mal = Ejecuta({"solve", viejo});
    EXPECT_EQ(mal.codigo, 1);
    EXPECT_NE(mal.err.find("dañado"), std::string::npos) << mal.err;

    const Salida falta = Ejecuta({"check", Ruta("no-esta.nmr")});
    EXPECT_EQ(falta.codigo, 1);
    EXPECT_EQ(falta.err, "No existe el fichero " + Ruta("no-esta.nmr") + ".\n");
    EXPECT_FALSE(std::filesystem::exists(Ruta("salida.nmr")));
    EXPECT_EQ(Ejecuta({"resave", viejo, Ruta("salida.nmr")}).codigo, 1);
    EXPECT_FALSE(std::filesystem::exists(Ruta("salida.nmr"))); // a failed read writes nothing

    EXPECT_EQ(Ejecuta({"resave", viejo}).codigo, 2);
    EXPECT_EQ(Ejecuta({"solve", "--v141"}).codigo, 2);
    EXPECT_EQ(Ejecuta({"solve", "--v141", viejo, "otro"}).codigo, 2);
}

} // namespace
