#include "analysis/PerfilRiesgo.h"
#include "analysis/Rollback.h"
#include "cli/UsuarioCli.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "support/ArbolCalculo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#ifndef NEMOR_EJEMPLOS
#error "NEMOR_EJEMPLOS must name the samples folder"
#endif

namespace {

struct Esperado {
    std::vector<ResultadoPerfil> resultados;
    double media, desviacion, minimo, maximo, perdida;
};

void Compara(const PerfilRiesgo& p, const Esperado& e, const std::string& nombre)
{
    ASSERT_EQ(p.Resultados.size(), e.resultados.size()) << nombre;
    for (size_t i = 0; i < e.resultados.size(); ++i) {
        EXPECT_DOUBLE_EQ(p.Resultados[i].Valor, e.resultados[i].Valor) << nombre << " " << i;
        EXPECT_DOUBLE_EQ(p.Resultados[i].Probabilidad, e.resultados[i].Probabilidad) << nombre << " " << i;
        EXPECT_DOUBLE_EQ(p.Resultados[i].Acumulada, e.resultados[i].Acumulada) << nombre << " " << i;
    }
    EXPECT_DOUBLE_EQ(p.Media, e.media) << nombre;
    EXPECT_NEAR(p.DesviacionTipica, e.desviacion, 1e-12) << nombre;
    EXPECT_EQ(p.Minimo, e.minimo) << nombre;
    EXPECT_EQ(p.Maximo, e.maximo) << nombre;
    EXPECT_DOUBLE_EQ(p.ProbabilidadPerdida, e.perdida) << nombre;
    EXPECT_FALSE(p.ConEquivalente) << nombre;
}

// Small trees solved by hand: the root's profile, or the profile of the node the case names.
TEST(PerfilRiesgo, ArbolesPequenos)
{
    struct Caso {
        const char* nombre;
        std::function<int(Arbol&)> crea; // gives the node whose profile is taken
        Esperado esperado;
    };
    const Caso casos[] = {
        {"dos ramas que pagan lo mismo son un resultado",
         [](Arbol& a) {
             RaizDeTipo(a, NodoAzar);
             Rama(a, 0, NodoTerminal, 10, 0.25);
             Rama(a, 0, NodoTerminal, -5, 0.5);
             Rama(a, 0, NodoTerminal, 10, 0.25);
             return 0;
         },
         {{{-5, 0.5, 0.5}, {10, 0.5, 1}}, 2.5, 7.5, -5, 10, 0.5}},
        {"0,1 + 0,2 y 0,3 se escriben igual: un resultado",
         [](Arbol& a) {
             RaizDeTipo(a, NodoAzar);
             const auto c = Rama(a, 0, NodoAzar, 0.1, 0.5);
             Rama(a, c, NodoTerminal, 0.2, 1);
             Rama(a, 0, NodoTerminal, 0.3, 0.5);
             return 0;
         },
         {{{0.3, 1, 1}}, 0.5 * (0.1 + 0.2) + 0.5 * 0.3, 0, 0.3, 0.1 + 0.2, 0}},
        {"un nodo de decisión bajo uno de azar sigue su elección",
         [](Arbol& a) {
             RaizDeTipo(a, NodoAzar);
             const auto d = Rama(a, 0, NodoDecision, 0, 0.6);
             Rama(a, d, NodoTerminal, 100);
             const auto c = Rama(a, d, NodoAzar, 0);
             Rama(a, c, NodoTerminal, 150, 0.5);
             Rama(a, c, NodoTerminal, -50, 0.5);
             Rama(a, 0, NodoTerminal, -20, 0.4);
             return 0;
         },
         {{{-20, 0.4, 0.4}, {100, 0.6, 1}}, 52, std::sqrt(3456.0), -20, 100, 0.4}},
        {"el perfil de un nodo interior cuenta desde él",
         [](Arbol& a) {
             RaizDeTipo(a, NodoDecision);
             const auto c = Rama(a, 0, NodoAzar, 1000);
             Rama(a, c, NodoTerminal, 30, 0.5);
             Rama(a, c, NodoTerminal, -10, 0.5);
             return c;
         },
         {{{-10, 0.5, 0.5}, {30, 0.5, 1}}, 10, 20, -10, 30, 0.5}},
        {"un nodo rojo: las probabilidades tal como están",
         [](Arbol& a) {
             RaizDeTipo(a, NodoAzar);
             Rama(a, 0, NodoTerminal, 100, 0.5);
             Rama(a, 0, NodoTerminal, 10, 0.4);
             Rama(a, 0, NodoTerminal, -1e6, 0); // cannot happen: no outcome
             return 0;
         },
         {{{10, 0.4, 0.4}, {100, 0.5, 0.9}}, 54, std::sqrt(1832.4), 10, 100, 0}},
        {"sin alternativa elegida: el valor del nodo",
         [](Arbol& a) {
             RaizDeTipo(a, NodoDecision);
             Rama(a, 0, NodoTerminal, -200000);
             Rama(a, 0, NodoTerminal, -150000);
             return 0;
         },
         {{{-99999, 1, 1}}, -99999, 0, -99999, -99999, 1}},
        {"un terminal vale 0", [](Arbol&) { return 0; }, {{{0, 1, 1}}, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : casos) {
        Arbol a;
        const int nodo = c.crea(a);
        ResuelveArbol(a);
        Compara(CalculaPerfilRiesgo(a, nodo), c.esperado, c.nombre);
    }
}

// The mean is summed as the roll-back sums, so it is every node's value to the last bit.
TEST(PerfilRiesgo, LaMediaEsElValorDelNodo)
{
    for (const char* ejemplo : {"petroleo.nmr", "lanzamiento.nmr", "inversion.nmr"}) {
        UsuarioCli u;
        Arbol a;
        a.usuario = &u;
        CargaArbolCli(a, std::string(NEMOR_EJEMPLOS) + "/" + ejemplo, false);
        ResuelveArbol(a);
        for (int p = 0; p <= a.UltimaPosicion; ++p) {
            const uint16_t n = a.ListaOrden[p];
            EXPECT_EQ(CalculaPerfilRiesgo(a, n).Media, a.Nodo(n)->Valor) << ejemplo << " nodo " << n;
        }
    }
}

// The gamble pays 0 or 100 through a branch of 10; the other alternative a sure 40.
struct Apuesta {
    Arbol a;
    uint16_t azar, seguro;
    Apuesta()
    {
        RaizDeTipo(a, NodoDecision);
        azar = Rama(a, 0, NodoAzar, 10);
        a.PonerTexto(azar, "Apostar");
        Rama(a, azar, NodoTerminal, -10, 0.5);
        Rama(a, azar, NodoTerminal, 90, 0.5);
        seguro = Rama(a, 0, NodoTerminal, 40);
        a.PonerTexto(seguro, "Cobrar");
    }
};

TEST(PerfilRiesgo, AlternativasConYSinUtilidad)
{
    for (const bool utilidad : {false, true}) {
        Apuesta t;
        t.a.opciones.CriterioRiesgo = utilidad ? CriterioUtilidad : CriterioValorEsperado;
        t.a.opciones.EToleranciaRiesgo = "100";
        ResuelveArbol(t.a);
        const auto alt = PerfilesAlternativas(t.a, 0);
        ASSERT_EQ(alt.size(), 2u);
        EXPECT_EQ(alt[0].Rama, 1);
        EXPECT_EQ(alt[0].Nodo, t.azar);
        EXPECT_EQ(alt[0].Texto, "Apostar");
        EXPECT_EQ(CabeceraAlternativa(alt[0]), "rama 1\tApostar");
        EXPECT_EQ(alt[0].Elegida, !utilidad);
        EXPECT_EQ(alt[1].Elegida, utilidad);
        // The branch payoff is in: 10 - 10 and 10 + 90.
        ASSERT_EQ(alt[0].Perfil.Resultados.size(), 2u);
        EXPECT_EQ(alt[0].Perfil.Resultados[0].Valor, 0);
        EXPECT_EQ(alt[0].Perfil.Resultados[1].Valor, 100);
        EXPECT_EQ(alt[0].Perfil.Media, 50);
        EXPECT_EQ(alt[1].Perfil.Media, 40);
        EXPECT_EQ(alt[0].Perfil.ConEquivalente, utilidad);
        if (utilidad) {
            EXPECT_NEAR(alt[0].Perfil.EquivalenteCierto, 37.98854930417225, 1e-12);
            EXPECT_EQ(alt[1].Perfil.EquivalenteCierto, 40);
            // The root's profile is the chosen alternative's, its equivalent the root's value.
            const PerfilRiesgo p = CalculaPerfilRiesgo(t.a, 0);
            EXPECT_EQ(p.Media, 40);
            EXPECT_EQ(p.EquivalenteCierto, 40);
            EXPECT_EQ(LineasPerfil(p).back(), "equivalente cierto\t40");
        }
    }
}

TEST(PerfilRiesgo, LineasEnLosDosSeparadores)
{
    for (const char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        Arbol a;
        RaizDeTipo(a, NodoAzar);
        Rama(a, 0, NodoTerminal, 10.5, 0.25);
        Rama(a, 0, NodoTerminal, -5, 0.75);
        ResuelveArbol(a);
        const std::string c = sep == '.' ? "." : ",";
        const std::vector<std::string> esperado = {
            "-5\t0" + c + "75\t0" + c + "75",  "10" + c + "5\t0" + c + "25\t1",
            "media\t-1" + c + "125",           "desviación típica\t6" + c + "7116968793294",
            "mínimo\t-5",                      "máximo\t10" + c + "5",
            "probabilidad de pérdida\t0" + c + "75",
        };
        EXPECT_EQ(LineasPerfil(CalculaPerfilRiesgo(a)), esperado);
    }
}

TEST(PerfilRiesgo, NodoInexistenteOSinAlternativas)
{
    Apuesta t;
    ResuelveArbol(t.a);
    struct Caso {
        std::function<void()> f;
        std::string mensaje;
    };
    const Caso casos[] = {
        {[&] { CalculaPerfilRiesgo(t.a, 9); }, "No hay ningún nodo con el número 9."},
        {[&] { CalculaPerfilRiesgo(t.a, -1); }, "No hay ningún nodo con el número -1."},
        {[&] { PerfilesAlternativas(t.a, t.azar); },
         "El nodo 1 no es un nodo de decisión con alternativas que comparar."},
        {[&] { PerfilesAlternativas(t.a, t.seguro); },
         "El nodo 4 no es un nodo de decisión con alternativas que comparar."},
    };
    for (const auto& c : casos) {
        try {
            c.f();
            ADD_FAILURE() << c.mensaje;
        } catch (const ENemor& e) {
            EXPECT_EQ(std::string(e.what()), c.mensaje);
        }
    }
}

} // namespace
