#include "analysis/Variacion.h"

#include "analysis/Rollback.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "common/EscrituraSegura.h"
#include "support/ArbolCalculo.h"
#include "support/UsuarioGuion.h"
#include "variables/Variables.h"

#include <gtest/gtest.h>

namespace {

struct VistaPrueba : IVistaVariacion {
    std::vector<std::string> lineas;
    std::vector<std::pair<double, double>> puntos;
    std::vector<std::vector<std::string>> variablesEnCadaPaso;
    std::vector<ProgresoVariacion> progreso;
    Arbol* arbol = nullptr;
    int limpiezas = 0, muestras = 0;
    uint64_t detenerTras = 0; // the user stops the sweep after this many points; 0 never
    std::vector<bool> panel;
    void Limpia() override
    {
        ++limpiezas;
        lineas.clear();
        puntos.clear();
    }
    void AnyadePunto(double x, double y) override
    {
        puntos.emplace_back(x, y);
        lineas.push_back(LineaVariacion(x, y));
    }
    void Muestra() override { ++muestras; }
    void PanelVisible(bool v) override { panel.push_back(v); }
    bool Paso(const ProgresoVariacion& p) override
    {
        if (arbol)
            variablesEnCadaPaso.push_back(arbol->Variables);
        progreso.push_back(p);
        return p.Puntos != detenerTras;
    }
};

// A chance root with three branches whose probabilities name P1, P2, P3 and
// whose payoffs are 100, 200 and 300.
struct Barrido : ::testing::Test {
    Arbol a;
    UsuarioGuion u;
    VistaPrueba v;
    uint16_t r1 = 0, r2 = 0, r3 = 0;
    void SetUp() override
    {
        a.usuario = &u;
        v.arbol = &a;
        RaizDeTipo(a, NodoAzar);
        r1 = Rama(a, 0, NodoTerminal, 100);
        r2 = Rama(a, 0, NodoTerminal, 200);
        r3 = Rama(a, 0, NodoTerminal, 300);
        a.Variables = {"P1 = 0.5", "P2 = 0.3", "P3 = 0.2", "G = 100", "H = G * 2"};
        a.Nodo(r1)->FormulaProbabilidad = "P1";
        a.Nodo(r2)->FormulaProbabilidad = "P2";
        a.Nodo(r3)->FormulaProbabilidad = "P3";
        // Companions start from the probabilities the last solve stored.
        RecalculaFormulas(a);
    }
    ParametrosVariacion Params(const std::string& linea, const char* desde, const char* hasta, const char* paso)
    {
        ParametrosVariacion p;
        p.Linea = linea;
        p.Desde = desde;
        p.Hasta = hasta;
        p.Incremento = paso;
        return p;
    }
};

TEST_F(Barrido, SecuenciasDeX)
{
    SeparadorTemporal s('.');
    struct Caso {
        const char *desde, *hasta, *paso;
        size_t puntos;
        const char* ultima; // last table line's x
    } casos[] = {
        {"0", "1", "0.1", 11, "1"},
        {"0", "0.3", "0.1", 3, "0.2"},
        {"1", "0", "0.1", 0, nullptr},
        {"0,5", "0.5", "1", 1, "0.5"}, // either separator is accepted
    };
    for (const auto& c : casos) {
        v.lineas.clear();
        ASSERT_TRUE(EjecutaVariaciones(a, Params("P1 = 0.5", c.desde, c.hasta, c.paso), v));
        ASSERT_EQ(v.lineas.size(), c.puntos) << c.desde << ".." << c.hasta;
        EXPECT_EQ(v.puntos.size(), c.puntos);
        if (c.ultima) {
            EXPECT_EQ(v.lineas.back().substr(0, v.lineas.back().find('\t')), c.ultima);
        }
        EXPECT_EQ(a.Variables, (std::vector<std::string>{"P1 = 0.5", "P2 = 0.3", "P3 = 0.2", "G = 100", "H = G * 2"}));
    }
    EXPECT_EQ(v.muestras, 4);
    EXPECT_TRUE(u.llamadas.empty());
}

TEST_F(Barrido, PrimeraLineaYTabla)
{
    SeparadorTemporal s(',');
    ASSERT_TRUE(EjecutaVariaciones(a, Params("P1 = 0.5", "0", "1", "0,5"), v));
    // At x = 0 the companions 0.3 and 0.2 become 0.6 and 0.4: 0.6*200 + 0.4*300 = 240.
    ASSERT_EQ(v.lineas.size(), 3u);
    EXPECT_EQ(v.lineas[0], "0\t240");
    EXPECT_EQ(v.lineas[1], "0,5\t170");
    EXPECT_EQ(v.lineas[2], "1\t100");
    // Afterwards the tree is solved again with the restored list (separators normalised).
    EXPECT_DOUBLE_EQ(a.Raiz().Valor, 0.5 * 100 + 0.3 * 200 + 0.2 * 300);
}

TEST_F(Barrido, CompanerosReescalados)
{
    SeparadorTemporal s('.');
    ASSERT_TRUE(EjecutaVariaciones(a, Params("P1 = 0.5", "0.6", "0.6", "1"), v));
    ASSERT_EQ(v.variablesEnCadaPaso.size(), 1u);
    const auto& l = v.variablesEnCadaPaso[0];
    EXPECT_EQ(l[0], "P1 = 0.6");
    EXPECT_EQ(l[1], "P2 = 0.24");
    EXPECT_EQ(l[2], "P3 = 0.16");

    // One sibling a plain number 0.2: the variable goes to 0.4 * 0.3 / 0.5 = 0.24 and the sum is 1.04.
    a.Nodo(r3)->FormulaProbabilidad.clear();
    a.Nodo(r3)->Probabilidad = 0.2;
    RecalculaFormulas(a);
    v.variablesEnCadaPaso.clear();
    ASSERT_TRUE(EjecutaVariaciones(a, Params("P1 = 0.5", "0.6", "0.6", "1"), v));
    EXPECT_EQ(v.variablesEnCadaPaso[0][1], "P2 = 0.24");
    EXPECT_EQ(v.variablesEnCadaPaso[0][2], "P3 = 0.2");
}

// A name that is also part of an earlier line's name: the value goes to the line called so.
TEST_F(Barrido, EscribeEnLaLineaDeSuNombre)
{
    SeparadorTemporal s('.');
    a.Variables = {"XP2 = 5", "! P1 como prior", "P1 = 0.5", "P2 = 0.3", "P3 = 0.2"};
    RecalculaFormulas(a);
    ASSERT_TRUE(EjecutaVariaciones(a, Params("P1 = 0.5", "0.6", "0.6", "1"), v));
    ASSERT_EQ(v.variablesEnCadaPaso.size(), 1u);
    EXPECT_EQ(v.variablesEnCadaPaso[0],
              (std::vector<std::string>{"XP2 = 5", "! P1 como prior", "P1 = 0.6", "P2 = 0.24", "P3 = 0.16"}));
    EXPECT_EQ(v.lineas, std::vector<std::string>{"0.6\t156"}); // 60 + 48 + 48
}

TEST(TablaVariacion, GrabaLosBytesExactos)
{
    SeparadorTemporal s(',');
    const std::string dir = ::testing::TempDir();
    const std::string ruta = dir + "/tabla_variacion_sin_extension";
    EscribeFicheroSeguro(ruta, "anterior");
    GrabaTablaVariacion(ruta, std::vector<PuntoGrafico>{{0, 240}, {0.5, 170}, {1, 100.125}});
    std::string bytes;
    ASSERT_TRUE(LeeFicheroEntero(ruta, bytes));
    EXPECT_EQ(bytes, "0\t240\r\n0,5\t170\r\n1\t100,125\r\n");
    GrabaTablaVariacion(ruta, {});
    ASSERT_TRUE(LeeFicheroEntero(ruta, bytes));
    EXPECT_EQ(bytes, "");
    // A folder cannot be written as a file: the file error, nothing half-written.
    EXPECT_THROW(GrabaTablaVariacion(dir, std::vector<PuntoGrafico>{{1, 2}}), EInOutError);
}

TEST_F(Barrido, Rechazos)
{
    SeparadorTemporal s('.');
    a.opciones.CheckBoxComprobarRojos = true;
    struct Caso {
        ParametrosVariacion p;
        const char* mensaje;
    } casos[] = {
        {Params("P1 = 0.5", "0", "1", "0"), kMensajeIncremento},
        {Params("P1 = 0.5", "0", "1", "-0.1"), kMensajeIncremento},
        // Adding 1 to 1e20 leaves it as it is: at the start, at the end, or on the way there.
        {Params("P1 = 0.5", "1e20", "2e20", "1"), kMensajeIncrementoSinEfecto},
        {Params("P1 = 0.5", "-1e20", "0", "1"), kMensajeIncrementoSinEfecto},
        {Params("P1 = 0.5", "0", "1e20", "1"), kMensajeIncrementoSinEfecto},
        // Near 2^53 adding 0.6 stops moving x although the range is only a few steps long.
        {Params("P1 = 0.5", "9007199254740991", "9007199254740999", "0.6"), kMensajeIncrementoSinEfecto},
        {Params("G = 100", "0", "1", "0.1"), kMensajeNoAsociada}, // used only inside H
        {Params("G 100", "0", "1", "0.1"), kMensajeNoAsociada},   // no name: not every plain branch
    };
    for (auto& c : casos) {
        u.llamadas.clear();
        EXPECT_FALSE(EjecutaVariaciones(a, c.p, v));
        ASSERT_EQ(u.llamadas.size(), 1u);
        EXPECT_EQ(u.llamadas[0].titulo, "Error");
        EXPECT_EQ(u.llamadas[0].texto, c.mensaje);
        EXPECT_EQ(u.llamadas[0].icono, Icono::Error);
        EXPECT_TRUE(a.opciones.CheckBoxComprobarRojos);
    }
    EXPECT_EQ(v.limpiezas, 0);

    // Companions that add up to 0 cannot share the rest.
    a.Variables = {"P1 = 1", "P2 = 0", "P3 = 0"};
    RecalculaFormulas(a);
    u.llamadas.clear();
    EXPECT_FALSE(EjecutaVariaciones(a, Params("P1 = 1", "0", "1", "0.5"), v));
    EXPECT_EQ(u.Textos("Mensaje"), std::vector<std::string>{kMensajeCompanerosCero});

    // A bad number raises the conversion error; the option comes back.
    EXPECT_THROW(EjecutaVariaciones(a, Params("P1 = 1", "a", "1", "0.5"), v), EConvertError);
    EXPECT_TRUE(a.opciones.CheckBoxComprobarRojos);
}

TEST_F(Barrido, ModoConjunto)
{
    SeparadorTemporal s('.');
    a.Variables = {"A = 0.5", "B = 0.4995", "C = 0.498", "G = 100"};
    auto p = Params("G = 100", "0", "0.2", "0.1");
    p.Conjunto = true;
    p.LineasConjunto = {"A = 0.5", "B = 0.4995"}; // 0.9995, within 0.001: accepted
    a.Nodo(r1)->FormulaGanancia = "G";
    EXPECT_TRUE(EjecutaVariaciones(a, p, v));
    EXPECT_EQ(v.lineas.size(), 3u); // 0.1 + 0.1 is exactly 0.2
    p.LineasConjunto = {"A = 0.5", "C = 0.498"}; // 0.998: refused
    EXPECT_FALSE(EjecutaVariaciones(a, p, v));
    p.LineasConjunto = {};
    EXPECT_FALSE(EjecutaVariaciones(a, p, v));
    EXPECT_EQ(u.Textos("Mensaje"), (std::vector<std::string>{kMensajeConjuntoNoSuma, kMensajeConjuntoNoSuma}));
    EXPECT_EQ(TextoSuma(a, {"A = 0.5", "B = 0.4995"}), "Suma = 0.9995");
    EXPECT_EQ(TextoSuma(a, {}), "Suma = 0");
}

// Set mode has no test of use: the chosen line need not be named by a branch,
// nor have a name at all. The companions are the set's lines not called as
// the chosen one, nameless ones included in the total though they set nothing.
TEST_F(Barrido, ModoConjuntoSinPruebaDeUso)
{
    SeparadorTemporal s('.');
    struct Caso {
        const char* que;
        std::vector<std::string> variables;
        const char* gananciaR1; // the line r1's payoff names, or none
        std::string linea;
        std::vector<std::string> conjunto;
        const char *desde, *hasta, *paso;
        std::vector<std::string> tabla;
        std::vector<std::string> variablesUltimoPaso;
    } casos[] = {
        {"the chosen line has no name: it sets nothing, the set shares the rest",
         {"P1 = 0.5", "P2 = 0.3", "P3 = 0.2", "texto suelto"}, "", "texto suelto",
         {"P1 = 0.5", "P2 = 0.3", "P3 = 0.2"}, "0", "0.5", "0.5",
         {"0\t170", "0.5\t85"},
         {"P1 = 0.25", "P2 = 0.15", "P3 = 0.1", "texto suelto"}},
        {"a nameless companion counts in the total and stays as it is",
         {"P1 = 0.5", "P2 = 0.3", "P3 = 0.2", " Resto = 0.2"}, "", "P1 = 0.5",
         {"P1 = 0.5", "P2 = 0.3", " Resto = 0.2"}, "0.6", "0.6", "1",
         {"0.6\t168"}, // 60 + 0.24 * 200 + 0.2 * 300
         {"P1 = 0.6", "P2 = 0.24", "P3 = 0.2", " Resto = 0.2"}},
        {"a variable only another line uses",
         {"P1 = 0.5", "P2 = 0.3", "P3 = 0.2", "G = 0.5", "Q = 0.5", "H = G * 1000"}, "H", "G = 0.5",
         {"G = 0.5", "Q = 0.5"}, "0", "0.5", "0.5",
         {"0\t120", "0.5\t370"}, // 0.5 * 1000 x + 60 + 60
         {"P1 = 0.5", "P2 = 0.3", "P3 = 0.2", "G = 0.5", "Q = 0.5", "H = G * 1000"}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.que);
        a.Variables = c.variables;
        a.Nodo(r1)->FormulaGanancia = c.gananciaR1;
        RecalculaFormulas(a);
        auto p = Params(c.linea, c.desde, c.hasta, c.paso);
        p.Conjunto = true;
        p.LineasConjunto = c.conjunto;
        v.variablesEnCadaPaso.clear();
        u.llamadas.clear();
        ASSERT_TRUE(EjecutaVariaciones(a, p, v));
        EXPECT_TRUE(u.llamadas.empty());
        EXPECT_EQ(v.lineas, c.tabla);
        ASSERT_FALSE(v.variablesEnCadaPaso.empty());
        EXPECT_EQ(v.variablesEnCadaPaso.back(), c.variablesUltimoPaso);
        EXPECT_EQ(a.Variables, c.variables);
    }
    // Swept alone, the same nameless line is refused: no branch can name it.
    a.Variables = {"P1 = 0.5", "P2 = 0.3", "P3 = 0.2", "texto suelto"};
    u.llamadas.clear();
    EXPECT_FALSE(EjecutaVariaciones(a, Params("texto suelto", "0", "1", "0.5"), v));
    EXPECT_EQ(u.Textos("Mensaje"), std::vector<std::string>{kMensajeNoAsociada});
}

// "Detener": the points computed stay, everything else is as after any sweep.
TEST_F(Barrido, DetenidaConservaLosPuntosYRestaura)
{
    SeparadorTemporal s('.');
    a.opciones.CheckBoxComprobarRojos = true;
    a.opciones.CheckBoxArbolVisibleVariaciones = false;
    const auto antes = a.Variables;
    v.detenerTras = 3;
    ASSERT_TRUE(EjecutaVariaciones(a, Params("P1 = 0.5", "0", "1", "0.1"), v));
    EXPECT_EQ(v.lineas, (std::vector<std::string>{"0\t240", "0.1\t226", "0.2\t212"}));
    ASSERT_EQ(v.progreso.size(), 3u);
    EXPECT_EQ(v.progreso[2].Puntos, 3u);
    EXPECT_DOUBLE_EQ(v.progreso[2].X, 0.2);
    EXPECT_DOUBLE_EQ(v.progreso[2].Fraccion, 0.2);
    EXPECT_EQ(v.muestras, 1);
    EXPECT_EQ(a.Variables, antes);
    EXPECT_DOUBLE_EQ(a.Raiz().Valor, 170); // solved again with P1 = 0.5
    EXPECT_DOUBLE_EQ(a.Nodo(r2)->Probabilidad, 0.3);
    EXPECT_TRUE(a.opciones.CheckBoxComprobarRojos);
    EXPECT_EQ(v.panel, (std::vector<bool>{false, true}));
    EXPECT_TRUE(u.llamadas.empty());
}

// No cap on the number of points: a cheap tree swept over 100,001 values.
TEST(BarridoLargo, CalculaTodosLosPuntos)
{
    SeparadorTemporal s('.');
    Arbol a;
    RaizDeTipo(a, NodoDecision);
    const uint16_t r = Rama(a, 0, NodoTerminal);
    a.Variables = {"G = 0"};
    a.Nodo(r)->FormulaGanancia = "G";
    ParametrosVariacion p;
    p.Linea = "G = 0";
    p.Desde = "0";
    p.Hasta = "100000";
    p.Incremento = "1";
    struct Cuenta : IVistaVariacion {
        uint64_t puntos = 0;
        PuntoGrafico ultimo;
        ProgresoVariacion progreso;
        void Limpia() override {}
        void AnyadePunto(double x, double y) override
        {
            ++puntos;
            ultimo = {x, y};
        }
        void Muestra() override {}
        bool Paso(const ProgresoVariacion& pr) override
        {
            progreso = pr;
            return true;
        }
    } v;
    ASSERT_TRUE(EjecutaVariaciones(a, p, v));
    EXPECT_EQ(v.puntos, 100001u);
    EXPECT_EQ(v.ultimo, (PuntoGrafico{100000, 100000}));
    EXPECT_EQ(v.progreso.Puntos, 100001u);
    EXPECT_EQ(v.progreso.Fraccion, 1.0);
    EXPECT_EQ(a.Variables, std::vector<std::string>{"G = 0"});
}

// The candidates of a set sort as the Variable box does, whatever the option says.
TEST(LineasConjunto, OrdenComoElCuadroVariable)
{
    Arbol a;
    a.Variables = {"zeta = 1", "Ñandú = 2", "árbol = 3", "Nube = 4", "nz = 5", "Ánfora = 6", "año = 7",
                   "Oca = 8",  "! nota",     "BAYES(A)",  "",         "b = 9"};
    const std::vector<std::string> orden = {"Ánfora = 6", "año = 7", "árbol = 3", "b = 9", "Nube = 4",
                                            "nz = 5",     "Ñandú = 2", "Oca = 8", "zeta = 1"};
    a.opciones.CheckBoxListaVarOrdenada = true;
    EXPECT_EQ(LineasConjuntoOrdenadas(a), orden);
    EXPECT_EQ(ListaSeleccionVariables(a), orden);
    a.opciones.CheckBoxListaVarOrdenada = false;
    EXPECT_EQ(LineasConjuntoOrdenadas(a), orden);

    struct Par {
        const char *antes, *despues;
    } pares[] = {
        {"Ñu", "zeta"}, {"Árbol", "Zapato"}, // not after «z», as bytes would put them
        {"nz", "ña"},   {"Ñz", "o"},     // ñ right after n
        {"a", "B"},     {"á", "b"},      {"Árbol", "arce"},   // case and accents ignored
        {"ARBOL", "arbol"},              // equal so: byte order, upper first
    };
    for (const auto& p : pares) {
        EXPECT_TRUE(OrdenAlfabetico(p.antes, p.despues)) << p.antes << " < " << p.despues;
        EXPECT_FALSE(OrdenAlfabetico(p.despues, p.antes)) << p.despues << " < " << p.antes;
    }
}

TEST_F(Barrido, ErrorEnUnPasoLoDejaTodoComoEstaba)
{
    SeparadorTemporal s('.');
    a.opciones.CheckBoxComprobarRojos = true;
    a.opciones.CheckBoxArbolVisibleVariaciones = false;
    // H fails once G is swept to 0.2: division by zero inside the formula.
    a.Variables = {"P1 = 0.5", "P2 = 0.3", "P3 = 0.2", "G = 0", "H = 1 / (G - 0.2)"};
    a.Nodo(r1)->FormulaGanancia = "G";
    a.Nodo(r2)->FormulaGanancia = "H";
    const auto antes = a.Variables;
    EXPECT_THROW(EjecutaVariaciones(a, Params("G = 0", "0", "1", "0.1"), v), ENemor);
    EXPECT_EQ(a.Variables, antes);
    EXPECT_TRUE(a.opciones.CheckBoxComprobarRojos);
    EXPECT_EQ(v.panel, (std::vector<bool>{false, true}));
    EXPECT_EQ(a.Nodo(r1)->Ganancia, 0); // branches back at the restored values
    EXPECT_EQ(v.muestras, 0);
}

TEST_F(Barrido, SinMensajesDeSumaDuranteElBarrido)
{
    SeparadorTemporal s('.');
    a.opciones.CheckBoxComprobarRojos = true;
    a.Variables = {"P1 = 0.5", "P2 = 0.3", "P3 = 0.9"};
    a.Nodo(r3)->FormulaProbabilidad.clear();
    a.Nodo(r3)->Probabilidad = 0.9; // never adds up to 1
    u.respuestas.push_back(Respuesta::Si);
    EXPECT_TRUE(EjecutaVariaciones(a, Params("P1 = 0.5", "0", "1", "0.5"), v));
    EXPECT_TRUE(u.llamadas.empty());
    EXPECT_TRUE(a.opciones.CheckBoxComprobarRojos);
}

// A Bayes line short of a value tells so once, not at every step.
TEST_F(Barrido, UnMensajePorSweepNoPorPaso)
{
    SeparadorTemporal s('.');
    a.Variables = {"P1 = 0.5", "P2 = 0.3", "P3 = 0.2", "BAYES(F)", "P(F/A) = 0.5"}; // no P(A)
    RecalculaFormulas(a);
    ASSERT_TRUE(EjecutaVariaciones(a, Params("P1 = 0.5", "0", "1", "0.25"), v));
    EXPECT_EQ(v.lineas.size(), 5u);
    EXPECT_EQ(u.Textos("Mensaje"), std::vector<std::string>{"No se encuentra el valor de P(A)"});
    EXPECT_EQ(a.usuario, &u);
}

TEST(BuscaNodoVariable, GanaElUltimo)
{
    Arbol a;
    RaizDeTipo(a, NodoAzar);
    const uint16_t x = Rama(a, 0, NodoTerminal);
    const uint16_t y = Rama(a, 0, NodoTerminal);
    a.Nodo(x)->FormulaGanancia = "V";
    a.Nodo(y)->FormulaProbabilidad = "V";
    const UsoVariable u = BuscaNodoVariable(a, "V");
    EXPECT_TRUE(u.Encontrado);
    EXPECT_EQ(u.Nodo, y);
    EXPECT_TRUE(u.ComoProbabilidad);
    EXPECT_FALSE(BuscaNodoVariable(a, "v").Encontrado); // exact case
}

} // namespace
