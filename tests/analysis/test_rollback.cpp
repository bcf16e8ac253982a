#include "analysis/Rollback.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "support/ArbolCalculo.h"
#include "support/UsuarioGuion.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Solucion {
    double raiz;
    std::vector<uint16_t> elegidos;
};

Solucion Resuelve(Arbol& a)
{
    ReiniciaValores(a);
    EvaluaNodo(a, 0);
    Solucion s{a.Raiz().Valor, {}};
    for (int p = 0; p <= a.UltimaPosicion; ++p)
        if (a.Nodo(a.ListaOrden[p])->Elegido)
            s.elegidos.push_back(a.ListaOrden[p]);
    return s;
}

// Each case grows a tree; the rollback must give the root's value and the chosen branches.
TEST(EvaluaNodo, ValoresYRamasElegidas)
{
    struct Caso {
        const char* nombre;
        std::function<void(Arbol&)> crea;
        double raiz;
        std::vector<uint16_t> elegidos;
    };
    const Caso casos[] = {
        {"solo la raiz", [](Arbol&) {}, 0, {}},
        {"empate: gana la primera rama",
         [](Arbol& a) {
             RaizDeTipo(a, NodoDecision);
             Rama(a, 0, NodoTerminal, 10);
             Rama(a, 0, NodoTerminal, 10);
         },
         10, {1}},
        {"empate tras sumas con decimales",
         [](Arbol& a) {
             RaizDeTipo(a, NodoDecision);
             const auto c1 = Rama(a, 0, NodoAzar, 0.1);
             Rama(a, c1, NodoTerminal, 0.2, 1);
             const auto c2 = Rama(a, 0, NodoAzar, 0.1);
             Rama(a, c2, NodoTerminal, 0.2, 1);
         },
         0.1 + 0.2, {1}},
        {"la estrictamente mayor",
         [](Arbol& a) {
             RaizDeTipo(a, NodoDecision);
             Rama(a, 0, NodoTerminal, 5);
             Rama(a, 0, NodoTerminal, 7);
             Rama(a, 0, NodoTerminal, 7);
         },
         7, {2}},
        {"suelo -99999: ninguna elegida",
         [](Arbol& a) {
             RaizDeTipo(a, NodoDecision);
             Rama(a, 0, NodoTerminal, -200000);
             Rama(a, 0, NodoTerminal, -150000);
         },
         -99999, {}},
        {"exactamente el suelo tampoco se elige",
         [](Arbol& a) {
             RaizDeTipo(a, NodoDecision);
             Rama(a, 0, NodoTerminal, -99999);
         },
         -99999, {}},
        {"decision sin ramas en la raiz", [](Arbol& a) { RaizDeTipo(a, NodoDecision); }, -99999, {}},
        {"azar sin normalizar",
         [](Arbol& a) {
             RaizDeTipo(a, NodoAzar);
             Rama(a, 0, NodoTerminal, 100, 0.5);
             Rama(a, 0, NodoTerminal, 10, 0.4);
         },
         54, {}},
        {"ganancias a lo largo del camino",
         [](Arbol& a) {
             RaizDeTipo(a, NodoDecision);
             const auto c = Rama(a, 0, NodoAzar, 100);
             Rama(a, c, NodoTerminal, 50, 0.5);
             Rama(a, c, NodoTerminal, -20, 0.5);
         },
         115, {1}},
        {"nodo interior sin ramas vale 0",
         [](Arbol& a) {
             RaizDeTipo(a, NodoDecision);
             Rama(a, 0, NodoDecision, -5);
             Rama(a, 0, NodoTerminal, -6);
         },
         -5, {1}},
    };
    for (const auto& c : casos) {
        Arbol a;
        c.crea(a);
        const Solucion s = Resuelve(a);
        EXPECT_EQ(s.raiz, c.raiz) << c.nombre;
        EXPECT_EQ(s.elegidos, c.elegidos) << c.nombre;
    }
}

TEST(EvaluaNodo, EtiquetasYValoresIntermedios)
{
    Arbol a;
    RaizDeTipo(a, NodoDecision);
    const auto c = Rama(a, 0, NodoAzar, 100);
    Rama(a, c, NodoTerminal, 50, 0.5);
    const auto t = Rama(a, c, NodoTerminal, -20, 0.5);
    a.opciones.EDigitosEtiquetas = "4";
    Resuelve(a);
    EXPECT_EQ(a.Nodo(c)->Valor, 15);
    EXPECT_EQ(a.Nodo(c)->EtiquetaValor.Caption, "15");
    EXPECT_EQ(a.Raiz().EtiquetaValor.Caption, "115");
    EXPECT_TRUE(a.Nodo(c)->Calculado);
    EXPECT_FALSE(a.Nodo(t)->Calculado);
    EXPECT_EQ(a.Nodo(t)->EtiquetaValor.Caption, "0");
}

// A probability check on a chance node below a decision root, in both locales.
struct ArbolSumas {
    Arbol a;
    UsuarioGuion u;
    uint16_t azar;
    ArbolSumas(double p1, double p2)
    {
        a.usuario = &u;
        RaizDeTipo(a, NodoDecision);
        azar = Rama(a, 0, NodoAzar, 0);
        Rama(a, azar, NodoTerminal, 100, p1);
        Rama(a, azar, NodoTerminal, 10, p2);
    }
    TNodo& Azar() { return *a.Nodo(azar); }
};

TEST(CalculaVEM, SumasQueNoDanUno)
{
    struct Caso {
        char separador;
        std::string tolerancia;
        bool rojo;
        std::string pista;
    };
    const Caso casos[] = {
        {'.', "0.001", true, "Nodo 1\rsuma(P) = 0.9"},
        {',', "0.001", true, "Nodo 1\rsuma(P) = 0,9"},
        {'.', "0,001", true, "Nodo 1\rsuma(P) = 0.9"},
        {',', "0,001", true, "Nodo 1\rsuma(P) = 0,9"},
        {'.', "0.2", false, "Nodo 1"},
        {',', "0.2", false, "Nodo 1"},
    };
    for (const auto& c : casos) {
        SeparadorTemporal s(c.separador);
        ArbolSumas t(0.5, 0.4);
        t.a.opciones.EditPrecisionSumatorio = c.tolerancia;
        if (c.rojo)
            t.u.respuestas.push_back(Respuesta::Si);
        EXPECT_TRUE(CalculaVEM(t.a));
        EXPECT_EQ(t.Azar().SumaErronea, c.rojo) << c.tolerancia;
        EXPECT_EQ(t.Azar().HintFigura, c.pista);
        if (c.rojo) {
            ASSERT_EQ(t.u.llamadas.size(), 1u);
            EXPECT_EQ(t.u.llamadas[0].titulo, "Atención");
            EXPECT_EQ(t.u.llamadas[0].texto,
                      "Existen nodos de azar cuyas probabilidades no suman 1 (en rojo) ¿Calcular de todos modos?");
            EXPECT_EQ(t.u.llamadas[0].botones, Botones::SiNo);
            EXPECT_EQ(t.u.llamadas[0].icono, Icono::Exclamacion);
        } else {
            EXPECT_TRUE(t.u.llamadas.empty());
        }
        // Used as they stand: 0.5 × 100 + 0.4 × 10.
        EXPECT_DOUBLE_EQ(t.a.Raiz().Valor, 54);
    }
}

TEST(CalculaVEM, NoDejaTodoComoEstaba)
{
    ArbolSumas t(0.5, 0.4);
    t.a.Raiz().Valor = 7;
    t.a.Raiz().EtiquetaValor.Caption = "7";
    t.a.Nodo(t.azar)->Elegido = true;
    t.u.respuestas.push_back(Respuesta::No);
    EXPECT_FALSE(CalculaVEM(t.a));
    EXPECT_EQ(t.a.Raiz().Valor, 7);
    EXPECT_EQ(t.a.Raiz().EtiquetaValor.Caption, "7");
    EXPECT_TRUE(t.Azar().Elegido);
    EXPECT_TRUE(t.Azar().SumaErronea);
}

TEST(CalculaVEM, RojoSeQuitaCuandoLaSumaVuelveAUno)
{
    ArbolSumas t(0.5, 0.4);
    t.u.respuestas.push_back(Respuesta::Si);
    CalculaVEM(t.a);
    ASSERT_TRUE(t.Azar().SumaErronea);
    t.a.Nodo(t.Azar().Hijo(2))->Probabilidad = 0.5;
    EXPECT_TRUE(CalculaVEM(t.a));
    EXPECT_FALSE(t.Azar().SumaErronea);
    EXPECT_EQ(t.Azar().HintFigura, "Nodo 1");
    EXPECT_EQ(t.u.llamadas.size(), 1u);
}

TEST(CalculaVEM, SinComprobarLosRojosSeQuedanHastaValoresACero)
{
    ArbolSumas t(0.5, 0.4);
    t.u.respuestas.push_back(Respuesta::Si);
    CalculaVEM(t.a);
    t.a.opciones.CheckBoxComprobarRojos = false;
    t.a.Nodo(t.Azar().Hijo(2))->Probabilidad = 0.5;
    EXPECT_TRUE(CalculaVEM(t.a));
    EXPECT_TRUE(t.Azar().SumaErronea);
    EXPECT_EQ(t.u.llamadas.size(), 1u);
    EXPECT_DOUBLE_EQ(t.a.Raiz().Valor, 55);

    ValoresACero(t.a);
    EXPECT_FALSE(t.Azar().SumaErronea);
    EXPECT_EQ(t.Azar().HintFigura, "Nodo 1\rsuma(P) = 0.9");
    for (int n = 0; n <= t.a.UltimaPosicion; ++n) {
        const TNodo& nodo = *t.a.Nodo(n);
        EXPECT_EQ(nodo.Valor, 0);
        EXPECT_EQ(nodo.EtiquetaValor.Caption, "0");
        EXPECT_FALSE(nodo.Calculado);
        EXPECT_FALSE(nodo.Elegido);
    }
}

TEST(CalculaVEM, AzarEnLaRaizNoSeComprueba)
{
    Arbol a;
    UsuarioGuion u;
    a.usuario = &u;
    RaizDeTipo(a, NodoAzar);
    Rama(a, 0, NodoTerminal, 10, 0.3);
    Rama(a, 0, NodoTerminal, 20, 0.4);
    EXPECT_TRUE(CalculaVEM(a));
    EXPECT_TRUE(u.llamadas.empty());
    EXPECT_FALSE(a.Raiz().SumaErronea);
    EXPECT_DOUBLE_EQ(a.Raiz().Valor, 11);
}

TEST(CalculaVEM, ErroresDeOpcionesDetienenElCalculo)
{
    struct Caso {
        std::string tolerancia, digitos, mensaje;
    };
    const Caso casos[] = {
        {"abc", "4", "'abc' is not a valid floating point value"},
        {"0.001", "x4", "'x4' is not a valid integer value"},
    };
    for (const auto& c : casos) {
        ArbolSumas t(0.5, 0.5);
        t.a.Raiz().Valor = 3;
        t.a.opciones.EditPrecisionSumatorio = c.tolerancia;
        t.a.opciones.EDigitosEtiquetas = c.digitos;
        try {
            CalculaVEM(t.a);
            ADD_FAILURE() << c.mensaje;
        } catch (const ENemor& e) {
            EXPECT_EQ(std::string(e.what()), c.mensaje);
        }
        EXPECT_EQ(t.a.Raiz().Valor, 3) << "no rollback took place";
    }
}

TEST(ResuelveArbol, ContestaSiYDevuelveLosRojos)
{
    Arbol a;
    RaizDeTipo(a, NodoDecision);
    const auto b1 = Rama(a, 0, NodoAzar);
    Rama(a, b1, NodoTerminal, 10, 0.5);
    const auto b2 = Rama(a, 0, NodoAzar);
    Rama(a, b2, NodoTerminal, 10, 1);
    const auto b3 = Rama(a, 0, NodoAzar);
    Rama(a, b3, NodoTerminal, 30, 0.2);
    EXPECT_EQ(ResuelveArbol(a), (std::vector<uint16_t>{b1, b3}));
    EXPECT_DOUBLE_EQ(a.Raiz().Valor, 10);
    EXPECT_TRUE(a.Nodo(b2)->Elegido);
}

TEST(RefrescaEtiquetas, NombresONumeros)
{
    Arbol a;
    RaizDeTipo(a, NodoAzar);
    const auto n = Rama(a, 0, NodoTerminal, 1200, 0.25);
    TNodo& t = *a.Nodo(n);
    t.FormulaGanancia = "COSTE";
    t.Texto = "Vender";
    t.Valor = 1234.5678;
    a.VerVariables = true;
    RefrescaEtiquetas(a);
    EXPECT_EQ(t.EtiquetaTexto.Caption, "Vender");
    EXPECT_EQ(t.EtiquetaGanancia.Caption, "COSTE");
    EXPECT_EQ(t.EtiquetaProbabilidad.Caption, "0.25");
    EXPECT_EQ(t.EtiquetaValor.Caption, "1235");
    a.VerVariables = false;
    RefrescaEtiquetas(a);
    EXPECT_EQ(t.EtiquetaGanancia.Caption, "1200");
}

TEST(EvaluaNodo, RamasEnCicloDanErrorEnVezDeReventar)
{
    Arbol a;
    RaizDeTipo(a, NodoDecision);
    const auto d = Rama(a, 0, NodoDecision);
    const auto e = Rama(a, d, NodoDecision);
    a.AnyadirHijo(e, d); // a damaged file could link a node below itself
    ReiniciaValores(a);
    EXPECT_THROW(EvaluaNodo(a, 0), ENemor);
}

} // namespace
