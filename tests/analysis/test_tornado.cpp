#include "analysis/Rollback.h"
#include "analysis/Tornado.h"
#include "cli/UsuarioCli.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "support/ArbolCalculo.h"
#include "support/UsuarioGuion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#ifndef NEMOR_EJEMPLOS
#error "NEMOR_EJEMPLOS must name the samples folder"
#endif

namespace {

// Take the gamble (win G = Bruto - Coste with probability P, lose L with Q) or
// a sure amount: the gamble is worth 0.5 x 100 - 0.5 x 20 = 40 against 30.
struct Modelo {
    Arbol a;
    UsuarioGuion u;
    uint16_t apuesta, seguro;
    explicit Modelo(const std::string& p = "0.5", const std::string& q = "0.5")
    {
        a.usuario = &u;
        RaizDeTipo(a, NodoDecision);
        apuesta = Rama(a, 0, NodoAzar);
        const auto gana = Rama(a, apuesta, NodoTerminal);
        a.Nodo(gana)->FormulaGanancia = "G";
        a.Nodo(gana)->FormulaProbabilidad = "P";
        const auto pierde = Rama(a, apuesta, NodoTerminal);
        a.Nodo(pierde)->FormulaGanancia = "L";
        a.Nodo(pierde)->FormulaProbabilidad = "Q";
        seguro = Rama(a, 0, NodoTerminal);
        a.Nodo(seguro)->FormulaGanancia = "Seguro";
        a.Variables = {"Bruto = 150", "Coste = 50", "G = Bruto - Coste", "L = -20", "P = " + p, "Q = " + q,
                       "Seguro = 30", "Cero = 0", "! Nota = 5", "Coste = 7", "Texto = 'a'"};
        CalculaVEM(a);
    }
};

struct Barra {
    std::string nombre;
    double bajo, alto, raizBajo, raizAlto;
    bool cambiaBajo, cambiaAlto;
};

void Compara(const ResultadoTornado& t, const std::vector<Barra>& esperado, const std::string& caso)
{
    ASSERT_EQ(t.Barras.size(), esperado.size()) << caso;
    for (size_t i = 0; i < esperado.size(); ++i) {
        const BarraTornado& b = t.Barras[i];
        const Barra& e = esperado[i];
        EXPECT_EQ(b.Nombre, e.nombre) << caso << " " << i;
        EXPECT_DOUBLE_EQ(b.Bajo, e.bajo) << caso << " " << e.nombre;
        EXPECT_DOUBLE_EQ(b.Alto, e.alto) << caso << " " << e.nombre;
        EXPECT_NEAR(b.RaizBajo, e.raizBajo, 1e-9) << caso << " " << e.nombre;
        EXPECT_NEAR(b.RaizAlto, e.raizAlto, 1e-9) << caso << " " << e.nombre;
        EXPECT_NEAR(b.Amplitud, std::fabs(e.raizAlto - e.raizBajo), 1e-9) << caso << " " << e.nombre;
        EXPECT_EQ(b.CambiaBajo, e.cambiaBajo) << caso << " " << e.nombre;
        EXPECT_EQ(b.CambiaAlto, e.cambiaAlto) << caso << " " << e.nombre;
    }
}

TEST(Tornado, OrdenRecorteYCambiosDeEleccion)
{
    struct Caso {
        const char* nombre;
        std::string p, q;
        double porcentaje;
        std::vector<Barra> barras;
    };
    const Caso casos[] = {
        // P and Q swing alike: list order. Seguro moves nothing. Cero, the
        // formula, the comment and the second Coste are no inputs.
        {"10 %", "0.5", "0.5", 10,
         {{"Bruto", 135, 165, 32.5, 47.5, false, false},
          {"P", 0.45, 0.55, 34, 46, false, false},
          {"Q", 0.45, 0.55, 46, 34, false, false},
          {"Coste", 45, 55, 42.5, 37.5, false, false},
          {"L", -18, -22, 41, 39, false, false},
          {"Seguro", 27, 33, 40, 40, false, false}}},
        // At -30 % the gamble falls below the sure 30: the root takes that.
        {"30 %", "0.5", "0.5", 30,
         {{"Bruto", 105, 195, 30, 62.5, true, false},
          {"P", 0.35, 0.65, 30, 58, true, false},
          {"Q", 0.35, 0.65, 58, 30, false, true},
          {"Coste", 35, 65, 47.5, 32.5, false, false},
          {"L", -14, -26, 43, 37, false, false},
          {"Seguro", 21, 39, 40, 40, false, false}}},
        // A probability stays within 0..1; its companion takes the rest.
        {"recorte arriba", "0.95", "0.05", 10,
         {{"Bruto", 135, 165, 79.75, 108.25, false, false},
          {"P", 0.855, 1, 82.6, 100, false, false},
          {"Coste", 45, 55, 98.75, 89.25, false, false},
          {"Q", 0.045, 0.055, 94.6, 93.4, false, false},
          {"L", -18, -22, 94.1, 93.9, false, false},
          {"Seguro", 27, 33, 94, 94, false, false}}},
        {"recorte en los dos extremos", "0.5", "0.5", 150,
         {{"Bruto", -75, 375, 30, 152.5, true, false},
          {"P", 0, 1, 30, 100, true, false},
          {"Q", 0, 1, 100, 30, false, true},
          {"Coste", -25, 125, 77.5, 30, false, true},
          {"Seguro", -15, 75, 40, 75, false, true},
          {"L", 10, -50, 55, 30, false, true}}},
    };
    for (const auto& c : casos) {
        Modelo m(c.p, c.q);
        const ResultadoTornado t = CalculaTornado(m.a, c.porcentaje);
        EXPECT_EQ(t.EleccionBase, 1) << c.nombre;
        Compara(t, c.barras, c.nombre);
        EXPECT_TRUE(t.Fallidas.empty()) << c.nombre;
    }
}

TEST(Tornado, DejaLaListaElArbolYLasOpcionesComoEstaban)
{
    for (const char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        Modelo m;
        m.a.opciones.CheckBoxComprobarRojos = true;
        m.a.Nodo(m.apuesta)->Valor = 123; // stale: the tree is solved again afterwards
        const auto antes = m.a.Variables;
        const ResultadoTornado t = CalculaTornado(m.a, 10);
        EXPECT_DOUBLE_EQ(t.Base, 40);
        EXPECT_EQ(m.a.Variables, antes);
        EXPECT_TRUE(m.a.opciones.CheckBoxComprobarRojos);
        EXPECT_EQ(m.a.usuario, &m.u);
        EXPECT_DOUBLE_EQ(m.a.Raiz().Valor, 40);
        EXPECT_DOUBLE_EQ(m.a.Nodo(m.apuesta)->Valor, 40);
        EXPECT_TRUE(m.a.Nodo(m.apuesta)->Elegido);
        EXPECT_TRUE(m.u.llamadas.empty()) << "no question about the sums";
    }
}

TEST(Tornado, UnErrorEnLaBaseDejaTodoComoEstaba)
{
    Modelo m;
    m.a.Variables[3] = "L = 1 / 0";
    const auto antes = m.a.Variables;
    EXPECT_THROW(CalculaTornado(m.a, 10), ENemor);
    EXPECT_EQ(m.a.Variables, antes);
    EXPECT_TRUE(m.a.opciones.CheckBoxComprobarRojos);
    EXPECT_EQ(m.a.usuario, &m.u);
}

TEST(Tornado, UnaEntradaQueNoSePuedeResolverSeApartaYSeDice)
{
    Modelo m;
    m.a.Variables[3] = "L = -20 + 10 / (Div - 4.5)"; // Div = 5 gives -20 + 20
    m.a.Variables.push_back("Div = 5");
    const ResultadoTornado t = CalculaTornado(m.a, 10);
    ASSERT_EQ(t.Fallidas.size(), 1u);
    EXPECT_EQ(t.Fallidas[0].Nombre, "Div");
    EXPECT_EQ(t.Fallidas[0].Entrada, 4.5);
    EXPECT_EQ(TextoFallida(t.Fallidas[0]),
              "No se ha podido resolver el árbol con Div = 4.5: Floating point division by zero");
    EXPECT_EQ(t.Barras.size(), 5u); // Bruto, Coste, P, Q, Seguro
}

TEST(Tornado, ErroresAntesDeEmpezar)
{
    struct Caso {
        std::function<void(Arbol&)> f;
        std::string mensaje;
    };
    const Caso casos[] = {
        {[](Arbol& a) { CalculaTornado(a, 0); }, "El porcentaje de variación debe ser un número mayor que cero."},
        {[](Arbol& a) { CalculaArana(a, 10, 0); }, "El número de pasos debe ser al menos 1."},
        {[](Arbol& a) {
             a.opciones.CriterioRiesgo = CriterioUtilidad;
             a.opciones.EToleranciaRiesgo = "0";
             CalculaTornado(a, 10);
         },
         "La tolerancia al riesgo debe ser un número mayor que cero."},
    };
    for (const auto& c : casos) {
        Modelo m;
        const auto antes = m.a.Variables;
        try {
            c.f(m.a);
            ADD_FAILURE() << c.mensaje;
        } catch (const ENemor& e) {
            EXPECT_EQ(std::string(e.what()), c.mensaje);
        }
        EXPECT_EQ(m.a.Variables, antes);
        EXPECT_TRUE(m.a.opciones.CheckBoxComprobarRojos);
    }
}

TEST(Arana, PuntosEspaciadosYLineas)
{
    Modelo m;
    const ResultadoArana r = CalculaArana(m.a, 10, 4);
    ASSERT_EQ(r.Series.size(), 6u);
    EXPECT_EQ(r.Series[0].Entrada.Nombre, "Bruto");
    const double porcentajes[] = {-10, -5, 0, 5, 10};
    const double raices[] = {32.5, 36.25, 40, 43.75, 47.5};
    ASSERT_EQ(r.Series[0].Puntos.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        EXPECT_DOUBLE_EQ(r.Series[0].Puntos[k].Porcentaje, porcentajes[k]);
        EXPECT_NEAR(r.Series[0].Puntos[k].Raiz, raices[k], 1e-9);
    }
    const auto lineas = LineasArana(r);
    ASSERT_EQ(lineas.size(), 30u);
    EXPECT_EQ(lineas[0], "Bruto\t-10\t32.5");
    EXPECT_EQ(lineas[2], "Bruto\t0\t40");
    EXPECT_EQ(lineas[29], "Seguro\t10\t40");
    // Its ends are the tornado's.
    const ResultadoTornado t = TornadoDeArana(r);
    EXPECT_EQ(LineasTornado(t)[0], "Bruto\t135\t165\t32.5\t47.5\t15\t-");
}

TEST(Tornado, ConUtilidadLosValoresSonEquivalentes)
{
    Modelo m;
    m.a.opciones.CriterioRiesgo = CriterioUtilidad;
    m.a.opciones.EToleranciaRiesgo = "1e12";
    const ResultadoTornado t = CalculaTornado(m.a, 10);
    EXPECT_TRUE(t.ConEquivalente);
    EXPECT_NEAR(t.Base, 40, 1e-6);
    EXPECT_NEAR(t.Barras[0].RaizAlto, 47.5, 1e-6);
    m.a.opciones.EToleranciaRiesgo = "10";
    EXPECT_LT(CalculaTornado(m.a, 10).Base, 40);
}

// The inputs of the oil sample: plain numbers, not the lines the Bayes revision writes.
TEST(Tornado, EntradasDelEjemploDelPetroleo)
{
    UsuarioCli u;
    Arbol a;
    a.usuario = &u;
    CargaArbolCli(a, std::string(NEMOR_EJEMPLOS) + "/petroleo.nmr", false);
    std::vector<std::string> nombres, probabilidades;
    for (const auto& e : EntradasSensibilidad(a)) {
        nombres.push_back(e.Nombre);
        if (e.EsProbabilidad)
            probabilidades.push_back(e.Nombre);
    }
    const std::vector<std::string> esperado = {
        "P(Seco)",         "P(Humedo)",          "P(Cerrada/Seco)",     "P(Abierta/Seco)",     "P(Sin/Seco)",
        "P(Cerrada/Humedo)", "P(Abierta/Humedo)", "P(Sin/Humedo)",       "P(Cerrada/Empapado)", "P(Abierta/Empapado)",
        "P(Sin/Empapado)", "CostePerforar",      "CostePrueba",         "IngresoHumedo",       "IngresoEmpapado"};
    EXPECT_EQ(nombres, esperado);
    EXPECT_EQ(probabilidades, (std::vector<std::string>{"P(Seco)", "P(Humedo)"}));
}

} // namespace
