#include "analysis/Riesgo.h"
#include "analysis/Rollback.h"
#include "analysis/Variacion.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "support/ArbolCalculo.h"
#include "support/UsuarioGuion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

double Equivalente(const std::vector<Lance>& l, double r) { return EquivalenteCierto(l.data(), l.size(), r); }

// Reference values computed by hand with 40 digits: -R ln(sum p exp(-x / R)).
TEST(EquivalenteCierto, ValoresYExtremos)
{
    struct Caso {
        const char* nombre;
        std::vector<Lance> lances;
        double r;
        double esperado;
        double margen; // relative
    };
    const Caso casos[] = {
        {"moneda 0/100, R = 100", {{0, 0.5}, {100, 0.5}}, 100, 37.98854930417224753, 1e-15},
        {"moneda 0/100, R = 1000", {{0, 0.5}, {100, 0.5}}, 1000, 48.75052048637441459, 1e-15},
        {"acciones, R = 500", {{1500, 0.5}, {300, 0.3}, {-800, 0.2}}, 500, -82.81802481723493030, 1e-13},
        {"bonos, R = 500", {{600, 0.5}, {600, 0.3}, {500, 0.2}}, 500, 578.3359095117304559, 1e-15},
        // A very large R: the expected value less half the variance over R
        // (817600 / 2e12 here), then the expected value itself.
        {"R = 1e12, casi el valor esperado", {{1500, 0.5}, {300, 0.3}, {-800, 0.2}}, 1e12, 679.99999959119998772, 1e-15},
        {"R = 1e300 da el valor esperado", {{0, 0.5}, {100, 0.5}}, 1e300, 50, 1e-15},
        // A very small R: the worst outcome, plus R ln(1 / its probability).
        {"R = 0.001, casi lo peor", {{10, 0.2}, {20, 0.3}, {30, 0.5}}, 1e-3, 10.00160943791243410, 1e-15},
        {"R mínimo", {{10, 0.2}, {20, 0.8}}, 5e-324, 10, 0},
        // Payoffs of a million with R = 1: no overflow either way.
        {"-1e6 / 1e6 con R = 1", {{-1e6, 0.5}, {1e6, 0.5}}, 1, -999999.3068528194400547, 1e-15},
        {"1e6 / 1e6 + 1 con R = 1", {{1e6, 0.5}, {1e6 + 1, 0.5}}, 1, 1000000.379885493041722, 1e-15},
        {"seguro de 1e6 con R = 1", {{1e6, 1}}, 1, 1e6, 0},
        // A branch of probability 0 weighs nothing, however bad.
        {"probabilidad 0 no cuenta", {{-1e300, 0}, {5, 1}}, 1, 5, 0},
        {"sin probabilidades", {{7, 0}, {9, 0}}, 10, 0, 0},
        {"sin ramas", {}, 10, 0, 0},
        // Probabilities that do not add up to 1 scale the result as they scale the
        // expected value (0.5 x 100 + 0.4 x 10 = 54 for a large R).
        {"suma 0,9 con R grande", {{100, 0.5}, {10, 0.4}}, 1e12, 53.999999999100000222, 1e-15},
        {"suma 0,9 con R = 1e300", {{100, 0.5}, {10, 0.4}}, 1e300, 54, 1e-15},
        {"suma 0,9 con R = 50", {{100, 0.5}, {10, 0.4}}, 50, 0.9 * 41.15520808871388, 1e-12},
    };
    for (const auto& c : casos) {
        const double v = Equivalente(c.lances, c.r);
        EXPECT_NEAR(v, c.esperado, std::fabs(c.esperado) * c.margen) << c.nombre;
    }
}

TEST(EquivalenteCierto, ProbabilidadNegativaNoTieneEquivalente)
{
    EXPECT_TRUE(std::isnan(Equivalente({{10, 1.5}, {20, -0.5}}, 100)));
}

// Under the expected value the gamble (50) beats the sure 40; a decision maker
// with R = 100 values it at 37.99 and takes the 40, with R = 1000 at 48.75.
struct Apuesta {
    Arbol a;
    UsuarioGuion u;
    uint16_t azar, seguro;
    Apuesta()
    {
        a.usuario = &u;
        RaizDeTipo(a, NodoDecision);
        azar = Rama(a, 0, NodoAzar, 10);
        Rama(a, azar, NodoTerminal, -10, 0.5);
        Rama(a, azar, NodoTerminal, 90, 0.5);
        seguro = Rama(a, 0, NodoTerminal, 40);
    }
};

TEST(CalculaVEM, UtilidadExponencial)
{
    struct Caso {
        int criterio;
        std::string tolerancia;
        double azar, raiz;
        bool eligeAzar;
        double toleranciaValores;
    };
    const Caso casos[] = {
        {CriterioValorEsperado, "100", 40, 50, true, 0},
        {CriterioUtilidad, "100", 27.98854930417225, 40, false, 100},
        {CriterioUtilidad, "1000", 38.75052048637441, 48.75052048637441, true, 1000},
        {CriterioUtilidad, "1e15", 40, 50, true, 1e15},
    };
    for (const auto& c : casos) {
        Apuesta t;
        t.a.opciones.CriterioRiesgo = c.criterio;
        t.a.opciones.EToleranciaRiesgo = c.tolerancia;
        ASSERT_TRUE(CalculaVEM(t.a));
        EXPECT_NEAR(t.a.Nodo(t.azar)->Valor, c.azar, 1e-11) << c.tolerancia;
        EXPECT_NEAR(t.a.Raiz().Valor, c.raiz, 1e-11) << c.tolerancia;
        EXPECT_EQ(t.a.Nodo(t.azar)->Elegido, c.eligeAzar) << c.tolerancia;
        EXPECT_EQ(t.a.Nodo(t.seguro)->Elegido, !c.eligeAzar) << c.tolerancia;
        EXPECT_EQ(t.a.ToleranciaValores, c.toleranciaValores);
    }
}

TEST(CalculaVEM, LasEtiquetasMuestranElEquivalenteYValoresACeroLoOlvida)
{
    Apuesta t;
    t.a.opciones.CriterioRiesgo = CriterioUtilidad;
    t.a.opciones.EToleranciaRiesgo = "100";
    CalculaVEM(t.a);
    EXPECT_EQ(t.a.Nodo(t.azar)->EtiquetaValor.Caption, "27.99");
    ValoresACero(t.a);
    EXPECT_EQ(t.a.ToleranciaValores, 0);
}

TEST(CalculaVEM, ToleranciaMalaOProbabilidadNegativaDetienenElCalculo)
{
    struct Caso {
        std::string tolerancia;
        double probabilidad;
        std::string mensaje;
    };
    const Caso casos[] = {
        {"0", 0.5, "La tolerancia al riesgo debe ser un número mayor que cero."},
        {"-5", 0.5, "La tolerancia al riesgo debe ser un número mayor que cero."},
        {"mil", 0.5, "'mil' is not a valid floating point value"},
        {"100", -0.5, "El nodo de azar 1 tiene una probabilidad negativa: no tiene equivalente cierto."},
    };
    for (const auto& c : casos) {
        Apuesta t;
        t.a.opciones.CheckBoxComprobarRojos = false;
        t.a.opciones.CriterioRiesgo = CriterioUtilidad;
        t.a.opciones.EToleranciaRiesgo = c.tolerancia;
        t.a.Nodo(t.a.Nodo(t.azar)->Hijo(1))->Probabilidad = c.probabilidad;
        t.a.Raiz().Valor = 3;
        try {
            CalculaVEM(t.a);
            ADD_FAILURE() << c.mensaje;
        } catch (const ENemor& e) {
            EXPECT_EQ(std::string(e.what()), c.mensaje);
        }
        if (c.probabilidad > 0) {
            EXPECT_EQ(t.a.Raiz().Valor, 3) << "nothing was reset";
        }
    }
}

TEST(CalculaVEM, ToleranciaConComaOPunto)
{
    for (char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        Apuesta t;
        t.a.opciones.CriterioRiesgo = CriterioUtilidad;
        t.a.opciones.EToleranciaRiesgo = "100,0";
        CalculaVEM(t.a);
        EXPECT_NEAR(t.a.Nodo(t.azar)->Valor, 27.98854930417225, 1e-11);
    }
}

// The sweep solves each step under the tree's criterion: the root follows the
// gamble's certainty equivalent (R = 100) once it beats the sure 40.
TEST(EjecutaVariaciones, ConUtilidadExponencial)
{
    struct Vista : IVistaVariacion {
        std::vector<std::pair<double, double>> puntos;
        void Limpia() override { puntos.clear(); }
        void AnyadePunto(double x, double y) override { puntos.push_back({x, y}); }
        void Muestra() override {}
    } vista;
    Apuesta t;
    t.a.Variables = {"G = 90"};
    t.a.Nodo(t.a.Nodo(t.azar)->Hijo(2))->FormulaGanancia = "G";
    t.a.opciones.CriterioRiesgo = CriterioUtilidad;
    t.a.opciones.EToleranciaRiesgo = "100";
    ParametrosVariacion p;
    p.Linea = "G = 90";
    p.Desde = "50";
    p.Hasta = "150";
    p.Incremento = "50";
    ASSERT_TRUE(EjecutaVariaciones(t.a, p, vista));
    ASSERT_EQ(vista.puntos.size(), 3u);
    EXPECT_DOUBLE_EQ(vista.puntos[0].second, 40);
    EXPECT_NEAR(vista.puntos[1].second, 40.58118554445144988, 1e-12);
    EXPECT_NEAR(vista.puntos[2].second, 50.92464396716064797, 1e-12);
    // Restored and solved again under the same criterion.
    EXPECT_NEAR(t.a.Raiz().Valor, 40, 1e-12);
    EXPECT_EQ(t.a.ToleranciaValores, 100);
}

} // namespace
