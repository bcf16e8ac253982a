#include "analysis/Rollback.h"
#include "analysis/Variacion.h"
#include "common/Decimal.h"
#include "drawing/FormatoEtiqueta.h"
#include "support/ArbolCalculo.h"
#include "support/UsuarioGuion.h"
#include "variables/Variables.h"

#include <gtest/gtest.h>

namespace {

// The value of a line of the list, or the engine's message when it fails.
std::string Evalua(std::vector<std::string> lista, const std::string& nombre)
{
    Arbol a;
    a.Variables = std::move(lista);
    RecalculaFormulas(a);
    try {
        double v = 0;
        if (!ValorDeVariable(a, nombre, v))
            return "no encontrada";
        return FormatoEtiqueta(v, 15, 0);
    } catch (const ENemor& e) {
        return e.what();
    }
}

TEST(EvaluaLinea, ValoresDeLaLista)
{
    struct Caso {
        char separador;
        std::vector<std::string> lista;
        std::string nombre, esperado;
    };
    const Caso casos[] = {
        {'.', {"X = 3", "Y = X * 2", "Z = X + Y"}, "Y", "6"},
        {'.', {"X = 3", "Y = X * 2", "Z = X + Y"}, "Z", "9"},
        {'.', {"A = 1 + 2", "B = A * 3"}, "B", "7"},
        {'.', {"A = (1 + 2)", "B = A * 3"}, "B", "9"},
        {'.', {"P = 2", "PRECIO = 10", "T = PRECIO * 2"}, "T", "El carácter R es erróneo"},
        {'.', {"PRECIO = 10", "P = 2", "T = PRECIO * 2"}, "T", "20"},
        {'.', {"PRECIO = 10", "T = precio * 2"}, "T", "Variable PRECIO desconocida"},
        {'.', {"! X = 99", "Y = 1"}, "X", "no encontrada"},
        {'.', {"X = 1", "X = 2"}, "X", "1"},
        {'.', {" = 4", "X = 1"}, "", "no encontrada"},
        {'.', {"X ="}, "X", "Inesperada terminación del factor"},
        {'.', {"P = 0,25"}, "P", "0.25"},
        {',', {"P = 0.25"}, "P", "0,25"},
        {',', {"P = 1.000,5"}, "P", "Formato numérico erróneo"},
        {'.', {"P(A) = 0.6", "P(B) = 1 - P(A)"}, "P(B)", "0.4"},
    };
    for (const auto& c : casos) {
        SeparadorTemporal s(c.separador);
        EXPECT_EQ(Evalua(c.lista, c.nombre), c.esperado) << c.nombre << " en " << c.lista.back();
    }
}

TEST(EvaluaLinea, AutorreferenciaDaErrorClaro)
{
    EXPECT_EQ(Evalua({"X = X + 1"}, "X"),
              "La línea «X = X + 1» se refiere a sí misma, directamente o a través de otras líneas, y crece sin fin "
              "al sustituir sus variables");
}

struct ArbolConCoste {
    Arbol a;
    uint16_t rama;
    ArbolConCoste()
    {
        RaizDeTipo(a, NodoDecision);
        rama = Rama(a, 0, NodoTerminal, 5);
        Rama(a, 0, NodoTerminal, 7);
        a.Variables = {"COSTE = 1200"};
        Nodo().FormulaGanancia = "COSTE";
    }
    TNodo& Nodo() { return *a.Nodo(rama); }
};

TEST(RecalculaFormulas, RamaQueNombraUnaLinea)
{
    ArbolConCoste t;
    t.a.VerVariables = true;
    RecalculaFormulas(t.a);
    EXPECT_EQ(t.Nodo().Ganancia, 1200);
    EXPECT_EQ(t.Nodo().EtiquetaGanancia.Caption, "COSTE");
    t.a.VerVariables = false;
    RecalculaFormulas(t.a);
    EXPECT_EQ(t.Nodo().EtiquetaGanancia.Caption, "1200");
    EXPECT_EQ(t.a.Nodo(2)->EtiquetaGanancia.Caption, "7");

    // The line goes: the branch becomes the plain number 0 at the next "Calcular VEM".
    t.a.VerVariables = true;
    t.a.Variables.clear();
    EXPECT_TRUE(CalculaVEM(t.a));
    EXPECT_EQ(t.Nodo().FormulaGanancia, "");
    EXPECT_EQ(t.Nodo().Ganancia, 0);
    EXPECT_EQ(t.Nodo().EtiquetaGanancia.Caption, "0");
    EXPECT_EQ(t.a.Raiz().Valor, 7);
}

TEST(RecalculaFormulas, FuenteDeLasEtiquetas)
{
    ArbolConCoste t;
    t.a.opciones.FontComboBox1 = "Verdana";
    RecalculaFormulas(t.a);
    for (const Etiqueta* e : {&t.Nodo().EtiquetaTexto, &t.Nodo().EtiquetaGanancia, &t.Nodo().EtiquetaProbabilidad,
                              &t.Nodo().EtiquetaValor})
        EXPECT_EQ(e->Fuente, "Verdana");
}

// A failing line stops the refresh: earlier nodes have their new values, later ones keep their old ones.
TEST(RecalculaFormulas, ErrorDejaLoAnteriorHecho)
{
    Arbol a;
    RaizDeTipo(a, NodoDecision);
    const auto n1 = Rama(a, 0, NodoTerminal, 1);
    const auto n2 = Rama(a, 0, NodoTerminal, 2);
    const auto n3 = Rama(a, 0, NodoTerminal, 3);
    a.Nodo(n1)->FormulaGanancia = "BUENA";
    a.Nodo(n2)->FormulaGanancia = "MALA";
    a.Nodo(n3)->FormulaGanancia = "BUENA";
    a.VerVariables = false;
    a.Variables = {"BUENA = 10", "MALA = 1 / 0"};
    EXPECT_THROW(RecalculaFormulas(a), ENemor);
    EXPECT_EQ(a.Nodo(n1)->Ganancia, 10);
    EXPECT_EQ(a.Nodo(n1)->EtiquetaGanancia.Caption, "10");
    EXPECT_EQ(a.Nodo(n2)->Ganancia, 2);
    EXPECT_EQ(a.Nodo(n3)->Ganancia, 3);
    EXPECT_EQ(a.Nodo(n3)->FormulaGanancia, "BUENA");
}

// Many branches naming the same lines get the values each line has on its own.
TEST(RecalculaFormulas, MuchasRamasMismasLineas)
{
    Arbol a;
    RaizDeTipo(a, NodoAzar);
    a.Variables = {"Q = 0.25", "BASE = 100", "DOBLE = BASE * 2", "X = DOBLE - BASE + 1", "X = 99"};
    const char* nombres[] = {"BASE", "DOBLE", "X", "NADA"};
    const double valores[] = {100, 200, 101, 0};
    for (int i = 0; i < 40; ++i) {
        const auto n = Rama(a, 0, NodoTerminal, -1, -1);
        a.Nodo(n)->FormulaGanancia = nombres[i % 4];
        a.Nodo(n)->FormulaProbabilidad = "Q";
    }
    a.opciones.CheckBoxComprobarRojos = false;
    CalculaVEM(a);
    double esperado = 0;
    for (int i = 0; i < 40; ++i) {
        const TNodo& n = *a.Nodo(i + 1);
        EXPECT_EQ(n.Ganancia, valores[i % 4]) << i;
        EXPECT_EQ(n.Probabilidad, 0.25);
        EXPECT_EQ(n.FormulaGanancia, i % 4 == 3 ? "" : nombres[i % 4]);
        esperado += valores[i % 4] * 0.25;
    }
    EXPECT_DOUBLE_EQ(a.Raiz().Valor, esperado);
}

// A line whose expansion is a chain of 600 terms solves, and sweeps.
TEST(RecalculaFormulas, LineaQueSeExpandeAMuchosTerminos)
{
    Arbol a;
    RaizDeTipo(a, NodoDecision);
    const auto total = Rama(a, 0, NodoTerminal);
    const auto uno = Rama(a, 0, NodoTerminal);
    std::string t = "T = C";
    for (int i = 1; i < 600; ++i)
        t += " + C";
    a.Variables = {"C = 1 + 1", t};
    a.Nodo(total)->FormulaGanancia = "T";
    a.Nodo(uno)->FormulaGanancia = "C";
    EXPECT_TRUE(CalculaVEM(a));
    EXPECT_EQ(a.Nodo(total)->Ganancia, 1200);
    EXPECT_EQ(a.Raiz().Valor, 1200);

    // The sweep's view, reduced to the points it receives.
    struct Vista : IVistaVariacion {
        std::vector<std::pair<double, double>> puntos;
        void Limpia() override {}
        void AnyadePunto(double x, double y) override { puntos.emplace_back(x, y); }
        void Muestra() override {}
    } vista;
    ParametrosVariacion p;
    p.Linea = "C = 1 + 1";
    p.Desde = "1";
    p.Hasta = "3";
    p.Incremento = "1";
    ASSERT_TRUE(EjecutaVariaciones(a, p, vista));
    EXPECT_EQ(vista.puntos, (std::vector<std::pair<double, double>>{{1, 600}, {2, 1200}, {3, 1800}}));
    EXPECT_EQ(a.Variables[0], "C = 1 + 1");
}

} // namespace
