#include "common/Decimal.h"
#include "common/Errores.h"
#include "common/EscrituraSegura.h"
#include "common/Ini.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

struct Ini : ::testing::Test {
    std::filesystem::path dir;
    Ini()
    {
        dir = std::filesystem::temp_directory_path() /
              (std::string("nemor_ini_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~Ini() override { std::filesystem::remove_all(dir); }
    std::string Ruta(const std::string& n) const { return (dir / n).string(); }
    std::string Escribe(const std::string& n, const std::string& texto) const
    {
        std::ofstream(Ruta(n), std::ios::binary) << texto;
        return Ruta(n);
    }
};

TEST_F(Ini, LecturaConValoresPorDefecto)
{
    const std::string ruta = Escribe("a.ini",
                                     "\xEF\xBB\xBF; a comment\r\n"
                                     "[Ficheros]\r\n"
                                     "F1=/home/ana/árbol uno.nmr\r\n"
                                     "  f2 =  con blancos  \r\n"
                                     "F3=\"entre comillas\"\r\n"
                                     "[Color]\n"
                                     "Cuadro=8585215\n"
                                     "Circulo=0x10\n"
                                     "Triangulo=$FF\n"
                                     "Linea=rojo\n"
                                     "[Varios]\n"
                                     "LeerFich10=1\n"
                                     "NumNodosVisibles=0\n"
                                     "ListaOrdenada=si\n"
                                     "[Precision]\n"
                                     "Sumatorio=0,01\n");
    const FicheroIni ini(ruta);
    struct Caso {
        const char* seccion;
        const char* clave;
        const char* esperado;
    };
    const Caso cadenas[] = {
        {"Ficheros", "F1", "/home/ana/árbol uno.nmr"},
        {"ficheros", "F2", "con blancos"}, // names without regard to case, value trimmed
        {"Ficheros", "F3", "entre comillas"},
        {"Ficheros", "F4", "defecto"},
        {"Otra", "F1", "defecto"},
    };
    for (const auto& c : cadenas)
        EXPECT_EQ(ini.LeeCadena(c.seccion, c.clave, "defecto"), c.esperado) << c.clave;
    EXPECT_EQ(ini.LeeEntero("Color", "Cuadro", 7), 8585215);
    EXPECT_EQ(ini.LeeEntero("Color", "Circulo", 7), 16);
    EXPECT_EQ(ini.LeeEntero("Color", "Triangulo", 7), 255);
    EXPECT_EQ(ini.LeeEntero("Color", "Linea", 7), 7);   // does not convert
    EXPECT_EQ(ini.LeeEntero("Color", "Falta", -3), -3); // missing
    EXPECT_TRUE(ini.LeeBooleano("Varios", "LeerFich10", false));
    EXPECT_FALSE(ini.LeeBooleano("Varios", "NumNodosVisibles", true));
    EXPECT_TRUE(ini.LeeBooleano("Varios", "ListaOrdenada", true));
    EXPECT_FALSE(ini.LeeBooleano("Varios", "ListaOrdenada", false));
    {
        SeparadorTemporal s(',');
        EXPECT_EQ(ini.LeeReal("Precision", "Sumatorio", 1), 0.01);
    }
    {
        SeparadorTemporal s('.');
        EXPECT_EQ(ini.LeeReal("Precision", "Sumatorio", 1), 1);
    }

    const FicheroIni falta(Ruta("no-existe.ini"));
    EXPECT_EQ(falta.LeeCadena("Ficheros", "F1", ""), "");
    EXPECT_EQ(falta.LeeEntero("Color", "Cuadro", 8585215), 8585215);
}

TEST_F(Ini, EscrituraConservaLoDemas)
{
    const std::string ruta = Escribe("b.ini", "; mine\n[Color]\nCuadro=1\n\n[Ficheros]\nF1=/a\n\n[Otra]\nx=y\n");
    FicheroIni ini(ruta);
    ini.EscribeCadena("ficheros", "f1", "/b");     // same key, whatever the case; its name stays
    ini.EscribeCadena("Ficheros", "F2", "/c");     // new key at the end of its section
    ini.EscribeEntero("Dimensiones", "AnchoTapiz", 3000); // new section at the end
    ini.EscribeBooleano("Varios", "LeerFich10", true);
    ini.EscribeCadena("Ficheros", "F3", "dos\nlíneas"); // a line break cannot split the file
    std::string texto;
    ASSERT_TRUE(LeeFicheroEntero(ruta, texto));
    EXPECT_EQ(texto, "; mine\n[Color]\nCuadro=1\n\n[Ficheros]\nF1=/b\nF2=/c\nF3=doslíneas\n\n[Otra]\nx=y\n\n"
                     "[Dimensiones]\nAnchoTapiz=3000\n\n[Varios]\nLeerFich10=1\n");
    const FicheroIni otra(ruta);
    EXPECT_EQ(otra.LeeCadena("Ficheros", "F1", ""), "/b");
    EXPECT_EQ(otra.LeeEntero("Dimensiones", "AnchoTapiz", 0), 3000);

    // Deferred writes reach the file only when flushed.
    FicheroIni d(Ruta("c.ini"));
    d.Diferir();
    d.EscribeCadena("Ficheros", "F1", "/x");
    EXPECT_FALSE(ExisteFichero(Ruta("c.ini")));
    d.Volcar();
    EXPECT_EQ(FicheroIni(Ruta("c.ini")).LeeCadena("Ficheros", "F1", ""), "/x");

    // The folder is made when missing.
    FicheroIni hondo(Ruta("una/dos/NEMOR.ini"));
    hondo.EscribeEntero("Color", "Linea", 255);
    EXPECT_EQ(FicheroIni(Ruta("una/dos/NEMOR.ini")).LeeEntero("Color", "Linea", 0), 255);
}

TEST_F(Ini, FalloAlEscribir)
{
    Escribe("fichero", "no es una carpeta");
    const std::string ruta = Ruta("fichero/NEMOR.ini");
    FicheroIni ini(ruta);
    try {
        ini.EscribeCadena("Ficheros", "F1", "/a");
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + ruta);
    }
}

TEST_F(Ini, DondeVive)
{
    struct Caso {
        const char* nemor;
        const char* xdg;
        const char* home;
        const char* esperado;
    };
    const Caso casos[] = {
        {"/x/mi.ini", "/cfg", "/home/ana", "/x/mi.ini"},
        {"", "/cfg", "/home/ana", "/cfg/NEMOR.ini"},
        {nullptr, "/cfg", "/home/ana", "/cfg/NEMOR.ini"},
        {nullptr, "relativa", "/home/ana", "/home/ana/.config/NEMOR.ini"},
        {nullptr, nullptr, "/home/ana", "/home/ana/.config/NEMOR.ini"},
    };
    auto Guarda = [](const char* n) {
        const char* v = std::getenv(n);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    const auto n0 = Guarda("NEMOR_INI"), x0 = Guarda("XDG_CONFIG_HOME"), h0 = Guarda("HOME");
    auto Pon = [](const char* n, const char* v) {
        if (v)
            ::setenv(n, v, 1);
        else
            ::unsetenv(n);
    };
    for (const auto& c : casos) {
        Pon("NEMOR_INI", c.nemor);
        Pon("XDG_CONFIG_HOME", c.xdg);
        Pon("HOME", c.home);
        EXPECT_EQ(RutaIni(), c.esperado);
    }
    Pon("NEMOR_INI", n0 ? n0->c_str() : nullptr);
    Pon("XDG_CONFIG_HOME", x0 ? x0->c_str() : nullptr);
    Pon("HOME", h0 ? h0->c_str() : nullptr);
}

} // namespace
