#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <sstream>

#ifndef NEMOR_FUENTES
#error "NEMOR_FUENTES must name the source folder"
#endif

namespace {

const std::string kEjemplos = std::string(NEMOR_FUENTES) + "/examples/";

// The table the result view shows, line for line, from the sample trees as
// they are read (nothing solved before).
TEST(CliSweep, ImprimeLaTabla)
{
    const std::string petroleo = kEjemplos + "petroleo.nmr";
    const std::string lanzamiento = kEjemplos + "lanzamiento.nmr";
    struct Caso {
        std::vector<std::string> args;
        int codigo;
        std::string out;
        std::string err; // the start of the error text
    } casos[] = {
        // A payoff: the test's cost leaves the answer alone until testing pays.
        {{"sweep", petroleo, "CostePrueba = -10", "-30", "0", "10"}, 0, "-30\t20\n-20\t20\n-10\t22.50666\n0\t32.50666\n", ""},
        // The same under a comma: the file's Bayes lines are written with points.
        {{"--decimal=,", "sweep", petroleo, "CostePrueba = -10", "-30", "0", "7,5"},
         0,
         "-30\t20\n-22,5\t20\n-15\t20\n-7,5\t25,00666\n0\t32,50666\n",
         ""},
        // A probability: its siblings (0.45 and a formula worth 0.25) share the rest.
        {{"sweep", lanzamiento, "PAlta = 0.3", "0", "1", "0.5"}, 0, "0\t96.4285714285715\n0.5\t123.214285714286\n1\t300\n", ""},
        // Set mode gives the same companions; the formula line is evaluated as read.
        {{"sweep", lanzamiento, "PAlta = 0.3", "0", "1", "0.5", "--set", "PMedia = 0.45", "--set", "PAlta = 0.3", "--set",
          "PBaja = (1 - PAlta - PMedia)"},
         0,
         "0\t96.4285714285715\n0.5\t123.214285714286\n1\t300\n",
         ""},
        {{"sweep", lanzamiento, "PAlta = 0.3", "0", "1", "0.5", "--set", "PMedia = 0.45"}, 1, "",
         "El conjunto de variables seleccionadas no suman 1."},
        {{"sweep", lanzamiento, "Precio = 25", "20", "30", "5"}, 1, "",
         "La variable selccionada no está asociada a nigún nodo del árbol."},
        {{"sweep", lanzamiento, "PAlta = 0.3", "0", "1", "0"}, 1, "", "El incremento debe ser mayor que cero."},
        {{"sweep", lanzamiento, "PAlta", "0", "1", "0.5"}, 1, "", "La línea «PAlta» no es una variable de la lista"},
        {{"sweep", lanzamiento, "PAlta = 0.3", "0", "1"}, 2, "", "uso:"},
        {{"sweep", lanzamiento, "PAlta = 0.3", "0", "1", "0.5", "--conjunto", "PAlta = 0.3"}, 2, "", "uso:"},
    };
    for (const auto& c : casos) {
        std::ostringstream out, err;
        const int codigo = EjecutaCli(c.args, out, err);
        EXPECT_EQ(codigo, c.codigo) << c.args[2] << " " << err.str();
        EXPECT_EQ(out.str(), c.out) << c.args[2];
        EXPECT_EQ(err.str().substr(0, c.err.size()), c.err) << c.args[2];
    }
}

} // namespace
