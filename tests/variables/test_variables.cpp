#include "common/Decimal.h"
#include "support/ArbolCalculo.h"
#include "support/UsuarioGuion.h"
#include "variables/Sustitucion.h"
#include "variables/Variables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

void Lista(Arbol& a, std::vector<std::string> lineas)
{
    a.Variables = std::move(lineas);
    CargaVariables(a);
}

TEST(LineaDeVariable, NombreYDefinicion)
{
    struct Caso {
        std::string linea, nombre, definicion;
    };
    const Caso casos[] = {
        {"COSTE = 5", "COSTE", "5"},
        {"COSTE TOTAL = 5", "COSTE", "5"},
        {" COSTE = 5", "", "5"},
        {"X=3", "X", "3"},
        {"P(A1)= 0.2  ", "P(A1)", "0.2  "},
        {"Año = 2 = 3", "Año", "2 = 3"},
        {"sin igual", "", "sin igual"},
        {"   blancos delante", "", "blancos delante"},
        {"X =", "X", ""},
        {"", "", ""},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(NombreDeLinea(c.linea), c.nombre) << c.linea;
        EXPECT_EQ(DefinicionDeLinea(c.linea), c.definicion) << c.linea;
    }
}

TEST(CargaVariables, SoloLineasDeDefinicion)
{
    Arbol a;
    Lista(a, {"X = 3", "", "! X = 99", "otra cosa", "BAYES(F,D)", "Y=X*2", " = 4", "X = 5"});
    EXPECT_EQ(a.NombresVariables, (std::vector<std::string>{"X", "Y", "", "X"}));
    EXPECT_EQ(a.DefinicionesVariables, (std::vector<std::string>{"3", "X*2", "4", "5"}));
}

// The replacement is plain text: these are the results users get, surprises included.
TEST(SustituyeVariables, SustitucionTextual)
{
    struct Caso {
        std::vector<std::string> lista;
        std::string texto, esperado;
    };
    const Caso casos[] = {
        {{"X = 3", "Y = X * 2", "Z = X + Y"}, "X + Y", "3 + 3 * 2"},
        {{"A = 1 + 2", "B = A * 3"}, "A * 3", "1 + 2 * 3"},
        {{"A = (1 + 2)", "B = A * 3"}, "A * 3", "(1 + 2) * 3"},
        // A short name listed first eats the start of a longer one.
        {{"P = 2", "PRECIO = 10"}, "PRECIO * 2", "2RECIO * 2"},
        {{"PRECIO = 10", "P = 2"}, "PRECIO * 2", "10 * 2"},
        {{"PRECIO = 10"}, "precio * 2", "precio * 2"},
        // Comments define nothing.
        {{"! X = 99", "Y = 1"}, "X + Y", "X + 1"},
        // One replacement per name and pass, until nothing changes.
        {{"A = 2"}, "A * A * A", "2 * 2 * 2"},
        {{" = 4", "X = 1"}, "X = 4", "1 = 4"},
        {{}, "sin lista", "sin lista"},
    };
    for (const auto& c : casos) {
        Arbol a;
        Lista(a, c.lista);
        EXPECT_EQ(SustituyeVariables(a, c.texto), c.esperado) << c.texto;
    }
}

// A line that refers to itself stops with a message naming it, whatever the
// path, and saying whether it grows or only comes back to the same text.
TEST(SustituyeVariables, AutorreferenciaTerminaConError)
{
    struct Caso {
        std::vector<std::string> lista;
        std::string evaluada, culpable;
        bool crece;
    };
    const Caso casos[] = {
        {{"X = X + 1"}, "X = X + 1", "X = X + 1", true},
        {{"X = X + 1", "Z = X * 2"}, "Z = X * 2", "X = X + 1", true},
        {{"A = B + 1", "B = A + 1"}, "A = B + 1", "A = B + 1", true},
        // Standing still: replacing gives the same text back.
        {{"A = B", "B = A"}, "B = A", "A = B", false},
        {{"X = X"}, "X = X", "X = X", false},
        // The name lives inside a longer word of its own formula.
        {{"E = EXP(1)"}, "E = EXP(1)", "E = EXP(1)", true},
    };
    for (const auto& c : casos) {
        Arbol a;
        Lista(a, c.lista);
        try {
            EvaluaLinea(a, c.evaluada);
            ADD_FAILURE() << "sin error: " << c.evaluada;
        } catch (const EVariableCiclica& e) {
            const std::string m = e.what();
            EXPECT_NE(m.find("«" + c.culpable + "» se refiere a sí misma, directamente o a través de otras líneas, y " +
                             (c.crece ? "crece sin fin al sustituir sus variables"
                                      : "sus variables no se pueden sustituir")),
                      std::string::npos)
                << m;
            if (c.evaluada != c.culpable) {
                EXPECT_NE(m.find("No se puede calcular «" + c.evaluada + "»"), std::string::npos) << m;
            }
        }
    }
}

// «C = 1 + 1», «T = C + C + ... + C»: n uses of a name need n passes, and the
// textual expansion is a flat chain the engine reads whatever its length.
TEST(SustituyeVariables, LineaQueUsaOtraCientosDeVeces)
{
    for (int n : {513, 600, 5000}) {
        std::string t = "T = C";
        for (int i = 1; i < n; ++i)
            t += " + C";
        Arbol a;
        Lista(a, {"C = 1 + 1", t});
        EXPECT_EQ(EvaluaLinea(a, t), 2.0 * n) << n;
    }
}

// A list without any line referring to itself whose substitution still does
// not settle is refused with its own message, saying what happened (which
// bound it passed) and blaming no line.
TEST(SustituyeVariables, ExpansionDemasiadoGrande)
{
    // Each level names the one below twice: D0 is used 2^niveles times.
    auto duplicando = [](const std::string& d0, int niveles) {
        std::vector<std::string> lista{"D0_ = " + d0};
        for (int k = 1; k <= niveles; ++k)
            lista.push_back("D" + std::to_string(k) + "_ = D" + std::to_string(k - 1) + "_ + D" + std::to_string(k - 1) + "_");
        return lista;
    };
    std::string larga = "1";
    for (int i = 1; i < 10000; ++i)
        larga += " + 1";
    std::string usaMuchas = "T = C";
    for (int i = 1; i <= 10000; ++i)
        usaMuchas += " + C";
    struct Caso {
        std::vector<std::string> lista;
        std::string mensaje;
    };
    const Caso casos[] = {
        // 16384 uses of a short line: too many passes, not too many characters.
        {duplicando("1", 14), "La fórmula de «D14_ = D13_ + D13_» es demasiado larga: sustituir sus variables necesita "
                              "más de 10000 pasadas por la lista"},
        // 32 uses of a line of 40000 characters.
        {duplicando(larga, 5), "La fórmula de «D5_ = D4_ + D4_» es demasiado larga: al sustituir sus variables pasa de "
                               "1000000 caracteres"},
        // A line naming another one 10001 times, quoted in part.
        {{"C = 1 + 1", usaMuchas},
         "La fórmula de «T = C + C + C + C + C + C + C + C + C + C + C + C + C + C + C + C + C + C + C + …» es "
         "demasiado larga: sustituir sus variables necesita más de 10000 pasadas por la lista"},
        // XY only appears where the formulas of A and B meet, and its own formula is AB again.
        {{"A = X", "B = Y", "XY = AB", "Z = AB"},
         "La fórmula de «Z = AB» no se puede calcular: al sustituir sus variables vuelve una y otra vez al mismo texto"},
    };
    for (const auto& c : casos) {
        Arbol a;
        Lista(a, c.lista);
        try {
            EvaluaLinea(a, c.lista.back());
            ADD_FAILURE();
        } catch (const EVariableCiclica& e) {
            EXPECT_EQ(std::string(e.what()), c.mensaje);
        }
    }
}

// Deep and wide lists that settle, however many passes they take, never hit the bound.
TEST(SustituyeVariables, ListasLargasNoAlcanzanElLimite)
{
    Arbol a;
    // Each level doubles the uses of the one below: 4096 uses of A0.
    std::vector<std::string> lista{"A0 = 1"};
    for (int k = 1; k <= 12; ++k)
        lista.push_back("A" + std::to_string(k) + "x = A" + std::to_string(k - 1) + (k == 1 ? "" : "x") + " + A" +
                        std::to_string(k - 1) + (k == 1 ? "" : "x"));
    // Three hundred more lines, four levels deep.
    for (int i = 0; i < 300; ++i)
        lista.push_back("N" + std::to_string(i) + "_ = " + (i < 75 ? std::to_string(i) : "N" + std::to_string(i - 75) + "_ + N" + std::to_string(i % 75) + "_"));
    Lista(a, lista);
    const std::string r = SustituyeVariables(a, "A12x");
    EXPECT_EQ(std::count(r.begin(), r.end(), '1'), 4096);
    EXPECT_EQ(r.find('A'), std::string::npos);
    const std::string s = SustituyeVariables(a, "N299_");
    EXPECT_EQ(s.find('N'), std::string::npos) << s;
}

// The plain reading of the rule: search every name afresh on every pass.
ResultadoSustitucion SustitucionDirecta(const std::vector<std::string>& nombres, const std::vector<std::string>& defs,
                                        std::string t, int pasadas, size_t longitud)
{
    ResultadoSustitucion r;
    for (int pasada = 1;; ++pasada) {
        const std::string antes = t;
        r.ultimos.clear();
        for (size_t i = 0; i < nombres.size(); ++i) {
            if (nombres[i].empty())
                continue;
            const size_t p = t.find(nombres[i]);
            if (p != std::string::npos) {
                t.replace(p, nombres[i].size(), defs[i]);
                r.ultimos.push_back(i);
            }
        }
        r.texto = t;
        if (r.ultimos.empty())
            return r;
        if (t == antes || pasada >= pasadas || t.size() > longitud) {
            r.ciclica = true;
            return r;
        }
    }
}

// Names and formulas from a tiny alphabet, so names overlap, nest inside
// each other and reappear across replacement boundaries.
TEST(SustituyeVariables, IgualQueLaSustitucionDirecta)
{
    std::mt19937 azar(20151);
    const std::string letras = "ABAB+1";
    auto palabra = [&](int minimo, int maximo) {
        std::string w;
        const int n = std::uniform_int_distribution<int>(minimo, maximo)(azar);
        for (int k = 0; k < n; ++k)
            w += letras[std::uniform_int_distribution<size_t>(0, letras.size() - 1)(azar)];
        return w;
    };
    int ciclicas = 0, acabadas = 0;
    for (int caso = 0; caso < 3000; ++caso) {
        std::vector<std::string> nombres, defs;
        const int lineas = std::uniform_int_distribution<int>(1, 5)(azar);
        for (int k = 0; k < lineas; ++k) {
            nombres.push_back(palabra(0, 3));
            defs.push_back(palabra(0, 6));
        }
        const std::string texto = palabra(0, 8);
        const auto esperado = SustitucionDirecta(nombres, defs, texto, 60, 400);
        const auto obtenido = SustituyeNombres(nombres, defs, texto, 60, 400);
        ASSERT_EQ(obtenido.texto, esperado.texto) << caso << " " << texto;
        ASSERT_EQ(obtenido.ciclica, esperado.ciclica) << caso;
        ASSERT_EQ(obtenido.ultimos, esperado.ultimos) << caso;
        (esperado.ciclica ? ciclicas : acabadas)++;
    }
    // Both outcomes were exercised.
    EXPECT_GT(ciclicas, 100);
    EXPECT_GT(acabadas, 100);
}

TEST(NormalizaSeparadores, ListaEnAmbosSeparadores)
{
    struct Caso {
        char separador;
        std::vector<std::string> antes, despues;
    };
    const Caso casos[] = {
        {',', {"P = 0.25", "P.X = 1.000,5", "! C = 0.5", "BAYES(0.5)", "otra 0.5"},
         {"P = 0,25", "P,X = 1,000,5", "! C = 0.5", "BAYES(0.5)", "otra 0.5"}},
        {'.', {"P = 0,25", "F = MAX(1,5; 2)", "! C = 0,5", ""}, {"P = 0.25", "F = MAX(1.5; 2)", "! C = 0,5", ""}},
    };
    for (const auto& c : casos) {
        SeparadorTemporal s(c.separador);
        Arbol a;
        a.Variables = c.antes;
        NormalizaSeparadores(a);
        EXPECT_EQ(a.Variables, c.despues);
    }
}

TEST(FijaValorVariable, PrimeraLineaQueContieneElNombre)
{
    struct Caso {
        std::vector<std::string> antes;
        std::string nombre, valor;
        bool hallado;
        std::vector<std::string> despues;
    };
    const Caso casos[] = {
        {{"PRECIO = 10 * 2"}, "PRECIO", "12.5", true, {"PRECIO = 12.5"}},
        {{"X=3"}, "X", "0.7", true, {"X= 0.7"}},
        {{"BA = 1", "A = 2"}, "A", "5", true, {"BA = 5", "A = 2"}},
        {{"! A vale = 1", "A = 2"}, "A", "5", true, {"! A vale = 5", "A = 2"}},
        {{"linea con A"}, "A", "5", true, {" 5"}},
        {{"X = 1"}, "Y", "5", false, {"X = 1"}},
        // An empty name matches nothing rather than the first line.
        {{"X = 1"}, "", "5", false, {"X = 1"}},
    };
    for (const auto& c : casos) {
        Arbol a;
        a.Variables = c.antes;
        EXPECT_EQ(FijaValorVariable(a, c.nombre, c.valor), c.hallado) << c.nombre;
        EXPECT_EQ(a.Variables, c.despues) << c.nombre;
    }
}

TEST(ListaSeleccion, LineasOfrecidasYOrden)
{
    Arbol a;
    a.Variables = {"b = 1", "", "! X = 99", "BAYES(F,D)", "calcula bayes aqui", "Árbol = 3", "A = 2", "Ñu = 1",
                   "nz = 4", "texto suelto"};
    a.opciones.CheckBoxListaVarOrdenada = true;
    EXPECT_EQ(ListaSeleccionVariables(a),
              (std::vector<std::string>{"A = 2", "Árbol = 3", "b = 1", "nz = 4", "Ñu = 1", "texto suelto"}));
    a.opciones.CheckBoxListaVarOrdenada = false;
    EXPECT_EQ(ListaSeleccionVariables(a),
              (std::vector<std::string>{"b = 1", "Árbol = 3", "A = 2", "Ñu = 1", "nz = 4", "texto suelto"}));
    for (const std::string t : {"A = 2", "texto suelto"}) {
        EXPECT_TRUE(EsVariable(a, t)) << t;
        EXPECT_TRUE(EsVariableVariacion(a, t)) << t;
    }
    for (const std::string t : {"A", "A =  2", "! X = 99", "BAYES(F,D)", ""})
        EXPECT_FALSE(EsVariable(a, t)) << t;
}

} // namespace
