#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <sstream>

#ifndef NEMOR_FUENTES
#error "NEMOR_FUENTES must name the source folder"
#endif

namespace {

const std::string kEjemplos = std::string(NEMOR_FUENTES) + "/examples/";

struct Caso {
    std::vector<std::string> args;
    int codigo;
    std::string out;
    std::string err; // the start of standard error
};

void Ejecuta(const Caso& c)
{
    std::ostringstream out, err;
    const int codigo = EjecutaCli(c.args, out, err);
    std::string todo;
    for (const auto& a : c.args)
        todo += a + " ";
    EXPECT_EQ(codigo, c.codigo) << todo << err.str();
    EXPECT_EQ(out.str(), c.out) << todo;
    EXPECT_EQ(err.str().substr(0, c.err.size()), c.err) << todo;
}

// The samples as they are read, solved as "solve" solves them.
TEST(CliProfile, PerfilesDeLosEjemplos)
{
    const std::string petroleo = kEjemplos + "petroleo.nmr";
    const std::string inversion = kEjemplos + "inversion.nmr";
    const std::string estadisticasInversion = "media\t680\ndesviación típica\t904.212364436585\nmínimo\t-800\n"
                                              "máximo\t1500\nprobabilidad de pérdida\t0.2\n";
    const Caso casos[] = {
        // Testing first: the posteriors are rounded to 4 decimals, so the
        // probabilities add up to a little over 1; the mean is the root's value.
        {{"profile", petroleo}, 0,
         "-80\t0.200002\t0.200002\n-10\t0.41\t0.610002\n40\t0.210015\t0.820017\n190\t0.180018\t1.000035\n"
         "media\t22.50666\ndesviación típica\t87.4601659167272\nmínimo\t-80\nmáximo\t190\n"
         "probabilidad de pérdida\t0.610002\n",
         ""},
        {{"profile", inversion, "--alternatives"}, 0,
         "rama 1\tAcciones\n-800\t0.2\t0.2\n300\t0.3\t0.5\n1500\t0.5\t1\n" + estadisticasInversion +
             "rama 2\tBonos\n500\t0.2\t0.2\n600\t0.8\t1\nmedia\t580\ndesviación típica\t40\nmínimo\t500\n"
             "máximo\t600\nprobabilidad de pérdida\t0\n"
             "rama 3\tDepósito a plazo\n400\t1\t1\nmedia\t400\ndesviación típica\t0\nmínimo\t400\nmáximo\t400\n"
             "probabilidad de pérdida\t0\n",
         ""},
        // Averse to risk with R = 500 the bonds win; the separator may follow the command.
        {{"profile", "--decimal=,", inversion, "0", "--risk-tolerance=500"}, 0,
         "500\t0,2\t0,2\n600\t0,8\t1\nmedia\t580\ndesviación típica\t40\nmínimo\t500\nmáximo\t600\n"
         "probabilidad de pérdida\t0\nequivalente cierto\t578,335909511731\n",
         ""},
        {{"profile", petroleo, "99"}, 1, "", "No hay ningún nodo con el número 99."},
        {{"profile", petroleo, "3", "--alternatives"}, 1, "",
         "El nodo 3 no es un nodo de decisión con alternativas que comparar."},
        // An error leaves no half-written document.
        {{"profile", "--json", petroleo, "3", "--alternatives"}, 1, "",
         "El nodo 3 no es un nodo de decisión con alternativas que comparar."},
        {{"profile", petroleo, "0", "--risk-tolerance=-1"}, 1, "",
         "La tolerancia al riesgo debe ser un número mayor que cero."},
        {{"profile", petroleo, "1", "2"}, 2, "", "uso:"},
        {{"profile", petroleo, "--alternativas"}, 2, "", "uso:"},
        {{"profile"}, 2, "", "uso:"},
    };
    for (const auto& c : casos)
        Ejecuta(c);
}

TEST(CliTornado, TornadoYAranaDelLanzamiento)
{
    const std::string lanzamiento = kEjemplos + "lanzamiento.nmr";
    const Caso casos[] = {
        // Probabilities rescale their companions; units above the regional
        // network's 40 move only the national launch, which is not chosen.
        {{"tornado", lanzamiento}, 0,
         "Precio\t22.5\t27.5\t21.875\t203.125\t181.25\t-\n"
         "CosteUnitario\t13.5\t16.5\t166.875\t58.125\t108.75\t-\n"
         "InversionRegional\t225\t275\t137.5\t87.5\t50\t-\n"
         "UnidadesBaja\t22.5\t27.5\t106.25\t118.75\t12.5\t-\n"
         "PMedia\t0.405\t0.495\t109.431818181818\t115.568181818182\t6.13636363636348\t-\n"
         "PAlta\t0.27\t0.33\t110.892857142857\t114.107142857143\t3.21428571428581\t-\n"
         "UnidadesAlta\t108\t132\t112.5\t112.5\t0\t-\n"
         "UnidadesMedia\t63\t77\t112.5\t112.5\t0\t-\n"
         "InversionNacional\t810\t990\t112.5\t112.5\t0\t-\n",
         ""},
        // At 20 % below the price, launching loses: "No lanzar" is chosen.
        {{"--decimal=,", "tornado", lanzamiento, "--pct", "20"}, 0,
         "Precio\t20\t30\t0\t293,75\t293,75\t*\n"
         "CosteUnitario\t12\t18\t221,25\t3,75\t217,5\t-\n"
         "InversionRegional\t200\t300\t162,5\t62,5\t100\t-\n"
         "UnidadesBaja\t20\t30\t100\t125\t25\t-\n"
         "PMedia\t0,36\t0,54\t106,363636363636\t118,636363636364\t12,2727272727273\t-\n"
         "PAlta\t0,24\t0,36\t109,285714285714\t115,714285714286\t6,4285714285713\t-\n"
         "UnidadesAlta\t96\t144\t112,5\t112,5\t0\t-\n"
         "UnidadesMedia\t56\t84\t112,5\t112,5\t0\t-\n"
         "InversionNacional\t720\t1080\t112,5\t112,5\t0\t-\n",
         ""},
        {{"tornado", lanzamiento, "--pct", "0"}, 1, "", "El porcentaje de variación debe ser un número mayor que cero."},
        {{"tornado", "--json", lanzamiento, "--pct", "-5"}, 1, "",
         "El porcentaje de variación debe ser un número mayor que cero."},
        {{"tornado", lanzamiento, "--pct", "diez"}, 1, "", "'diez' is not a valid floating point value"},
        {{"tornado", lanzamiento, "--pct"}, 2, "", "uso:"},
        {{"tornado", kEjemplos + "inversion.nmr"}, 0, "", ""}, // plain numbers only: no inputs
        {{"spider", lanzamiento, "--steps", "2", "--pct", "5"}, 0,
         "Precio\t-5\t67.1875\nPrecio\t0\t112.5\nPrecio\t5\t157.8125\n"
         "CosteUnitario\t-5\t139.6875\nCosteUnitario\t0\t112.5\nCosteUnitario\t5\t85.3125\n"
         "PAlta\t-5\t111.696428571429\nPAlta\t0\t112.5\nPAlta\t5\t113.303571428571\n"
         "PMedia\t-5\t110.965909090909\nPMedia\t0\t112.5\nPMedia\t5\t114.034090909091\n"
         "UnidadesAlta\t-5\t112.5\nUnidadesAlta\t0\t112.5\nUnidadesAlta\t5\t112.5\n"
         "UnidadesMedia\t-5\t112.5\nUnidadesMedia\t0\t112.5\nUnidadesMedia\t5\t112.5\n"
         "UnidadesBaja\t-5\t109.375\nUnidadesBaja\t0\t112.5\nUnidadesBaja\t5\t115.625\n"
         "InversionNacional\t-5\t112.5\nInversionNacional\t0\t112.5\nInversionNacional\t5\t112.5\n"
         "InversionRegional\t-5\t125\nInversionRegional\t0\t112.5\nInversionRegional\t5\t100\n",
         ""},
        {{"spider", lanzamiento, "--steps", "0"}, 1, "", "El número de pasos debe ser al menos 1."},
    };
    for (const auto& c : casos)
        Ejecuta(c);
}

// "solve" with a risk tolerance: the same columns, certainty equivalents and their choices.
TEST(CliSolve, ConToleranciaAlRiesgo)
{
    const std::string inversion = kEjemplos + "inversion.nmr";
    const Caso casos[] = {
        {{"solve", "--risk-tolerance=500", inversion}, 0,
         "0\t1\t578.335909511731\t-\t-\n1\t2\t-82.8180248172349\t-\t-\n2\t0\t0\t-\t-\n3\t0\t0\t-\t-\n"
         "4\t0\t0\t-\t-\n5\t2\t578.335909511731\tE\t-\n6\t0\t0\t-\t-\n7\t0\t0\t-\t-\n8\t0\t0\t-\t-\n"
         "9\t0\t0\t-\t-\n",
         ""},
        {{"solve", inversion}, 0,
         "0\t1\t680\t-\t-\n1\t2\t680\tE\t-\n2\t0\t0\t-\t-\n3\t0\t0\t-\t-\n4\t0\t0\t-\t-\n5\t2\t580\t-\t-\n"
         "6\t0\t0\t-\t-\n7\t0\t0\t-\t-\n8\t0\t0\t-\t-\n9\t0\t0\t-\t-\n",
         ""},
        {{"solve", "--risk-tolerance=0", inversion}, 1, "", "La tolerancia al riesgo debe ser un número mayor que cero."},
    };
    for (const auto& c : casos)
        Ejecuta(c);
}

} // namespace
