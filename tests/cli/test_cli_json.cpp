// The tool's --json output: it parses as strict JSON, says what the text output
// says (numbers to the text's 15 digits), and its numbers are the computed
// doubles exactly.
#include "analysis/Rollback.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "cli/UsuarioCli.h"
#include "support/LectorJson.h"
#include "tree/Arbol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <fstream>
#include <sstream>
#include <unistd.h>

#ifndef NEMOR_FUENTES
#error "NEMOR_FUENTES must name the source folder"
#endif

namespace {

const std::string kEjemplos = std::string(NEMOR_FUENTES) + "/examples/";

struct Salida {
    int codigo;
    std::string out, err;
};

Salida Ejecuta(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int c = EjecutaCli(args, out, err);
    return {c, out.str(), err.str()};
}

std::vector<std::string> Lineas(const std::string& t)
{
    std::vector<std::string> r;
    std::istringstream in(t);
    for (std::string l; std::getline(in, l);)
        r.push_back(l);
    return r;
}

std::vector<std::string> Campos(const std::string& linea, char sep)
{
    std::vector<std::string> r;
    std::istringstream in(linea);
    for (std::string c; std::getline(in, c, sep);)
        r.push_back(c);
    return r;
}

// A number as the text output writes it, under either separator.
double Num(std::string t)
{
    for (char& c : t)
        if (c == ',')
            c = '.';
    char* fin = nullptr;
    const double x = std::strtod(t.c_str(), &fin);
    EXPECT_EQ(*fin, '\0') << t;
    return x;
}

// The text has 15 significant digits.
void Igual15(double texto, double json, const std::string& donde)
{
    EXPECT_LE(std::fabs(texto - json), 1e-14 * std::max(1.0, std::fabs(json))) << donde << ": " << texto << " / " << json;
}

// For each command: the text output and the JSON document must say the same.
TEST(CliJson, DiceLoMismoQueElTexto)
{
    using Comparacion = std::function<void(const std::vector<std::string>& texto, const json::Valor& j)>;
    const Comparacion solve = [](const auto& texto, const json::Valor& j) {
        const auto& nodos = j["nodos"].lista;
        ASSERT_EQ(texto.size(), nodos.size());
        for (size_t i = 0; i < nodos.size(); ++i) {
            const auto c = Campos(texto[i], '\t');
            ASSERT_EQ(c.size(), 5u) << texto[i];
            EXPECT_EQ(c[0], nodos[i]["numero"].texto);
            EXPECT_EQ(c[1], nodos[i]["tipo"].texto);
            Igual15(Num(c[2]), nodos[i]["valor"].numero, texto[i]);
            EXPECT_EQ(c[3] == "E", nodos[i]["elegido"].logico) << texto[i];
            EXPECT_EQ(c[4] == "R", nodos[i]["sumaErronea"].logico) << texto[i];
        }
        EXPECT_EQ(j["valor"].numero, nodos[0]["valor"].numero);
    };
    const Comparacion check = [](const auto& texto, const json::Valor& j) {
        ASSERT_EQ(texto.size(), 1u);
        // "nodos N, último número U, líneas de variables L, versión V"
        std::vector<std::string> numeros;
        for (const auto& palabra : Campos(texto[0], ' '))
            if (!palabra.empty() && std::isdigit(static_cast<unsigned char>(palabra[0])))
                numeros.push_back(palabra.back() == ',' ? palabra.substr(0, palabra.size() - 1) : palabra);
        ASSERT_EQ(numeros.size(), 4u) << texto[0];
        EXPECT_EQ(numeros[0], j["nodos"].texto);
        EXPECT_EQ(numeros[1], j["ultimoNumero"].texto);
        EXPECT_EQ(numeros[2], j["lineasVariables"].texto);
        Igual15(Num(numeros[3]), j["version"].numero, texto[0]);
        EXPECT_EQ(j["documento"].tipo, json::Valor::Tipo::Nulo);
    };
    const Comparacion sweep = [](const auto& texto, const json::Valor& j) {
        const auto& puntos = j["puntos"].lista;
        ASSERT_EQ(texto.size(), puntos.size());
        ASSERT_FALSE(puntos.empty());
        for (size_t i = 0; i < puntos.size(); ++i) {
            const auto c = Campos(texto[i], '\t');
            ASSERT_EQ(c.size(), 2u) << texto[i];
            Igual15(Num(c[0]), puntos[i]["x"].numero, texto[i]);
            Igual15(Num(c[1]), puntos[i]["valor"].numero, texto[i]);
        }
    };
    const Comparacion bayes = [](const auto& texto, const json::Valor& j) {
        const auto& v = j["variables"].lista;
        ASSERT_EQ(texto.size(), v.size());
        for (size_t i = 0; i < v.size(); ++i)
            EXPECT_EQ(texto[i], v[i].texto);
    };
    // One block per profile: outcomes, then the statistics by name; with
    // --alternatives each block after its "rama N" line.
    const Comparacion profile = [](const auto& texto, const json::Valor& j) {
        const bool alternativas = j.Tiene("alternativas");
        std::vector<const json::Valor*> bloques;
        if (alternativas) {
            for (const auto& a : j["alternativas"].lista)
                bloques.push_back(&a);
        } else {
            bloques.push_back(&j);
        }
        ASSERT_FALSE(bloques.empty());
        size_t l = 0;
        const auto linea = [&] { return l < texto.size() ? texto[l++] : std::string("(falta)"); };
        for (const json::Valor* b : bloques) {
            if (alternativas) {
                const auto c = Campos(linea(), '\t');
                ASSERT_EQ(c.size(), 2u);
                EXPECT_EQ(c[0], "rama " + (*b)["rama"].texto);
                EXPECT_EQ(c[1], (*b)["texto"].texto);
            }
            for (const auto& r : (*b)["resultados"].lista) {
                const std::string t = linea();
                const auto c = Campos(t, '\t');
                ASSERT_EQ(c.size(), 3u) << t;
                Igual15(Num(c[0]), r["valor"].numero, t);
                Igual15(Num(c[1]), r["probabilidad"].numero, t);
                Igual15(Num(c[2]), r["acumulada"].numero, t);
            }
            const std::pair<std::string, const char*> estadisticas[] = {
                {"media", "media"},
                {"desviación típica", "desviacionTipica"},
                {"mínimo", "minimo"},
                {"máximo", "maximo"},
                {"probabilidad de pérdida", "probabilidadPerdida"},
            };
            for (const auto& [nombre, clave] : estadisticas) {
                const std::string t = linea();
                const auto c = Campos(t, '\t');
                ASSERT_EQ(c.size(), 2u) << t;
                EXPECT_EQ(c[0], nombre);
                Igual15(Num(c[1]), (*b)[clave].numero, t);
            }
            // The certainty equivalent where the text has it, and only there.
            const bool equivalente = l < texto.size() && texto[l].rfind("equivalente cierto\t", 0) == 0;
            EXPECT_EQ(b->Tiene("equivalenteCierto"), equivalente);
            if (equivalente) {
                const std::string t = linea();
                Igual15(Num(Campos(t, '\t')[1]), (*b)["equivalenteCierto"].numero, t);
            }
        }
        EXPECT_EQ(l, texto.size()) << "every line of the text is in the document";
    };
    const Comparacion tornado = [](const auto& texto, const json::Valor& j) {
        const auto& entradas = j["entradas"].lista;
        ASSERT_EQ(texto.size(), entradas.size());
        ASSERT_FALSE(entradas.empty());
        for (size_t i = 0; i < entradas.size(); ++i) {
            const json::Valor& e = entradas[i];
            const auto c = Campos(texto[i], '\t');
            ASSERT_EQ(c.size(), 7u) << texto[i];
            EXPECT_EQ(c[0], e["nombre"].texto);
            const char* claves[] = {"bajo", "alto", "raizBajo", "raizAlto", "amplitud"};
            for (int k = 0; k < 5; ++k)
                Igual15(Num(c[k + 1]), e[claves[k]].numero, texto[i] + " " + claves[k]);
            EXPECT_EQ(c[6] == "*", e["cambiaBajo"].logico || e["cambiaAlto"].logico) << texto[i];
        }
        EXPECT_TRUE(j["fallidas"].lista.empty());
    };
    const Comparacion spider = [](const auto& texto, const json::Valor& j) {
        size_t l = 0;
        for (const auto& e : j["entradas"].lista) {
            for (const auto& p : e["puntos"].lista) {
                ASSERT_LT(l, texto.size());
                const auto c = Campos(texto[l], '\t');
                ASSERT_EQ(c.size(), 3u) << texto[l];
                EXPECT_EQ(c[0], e["nombre"].texto);
                Igual15(Num(c[1]), p["porcentaje"].numero, texto[l]);
                Igual15(Num(c[2]), p["valor"].numero, texto[l]);
                ++l;
            }
            EXPECT_EQ(e["puntos"].lista.size(), static_cast<size_t>(j["pasos"].numero) + 1);
        }
        EXPECT_EQ(l, texto.size());
        EXPECT_TRUE(j["fallidas"].lista.empty());
    };
    struct Caso {
        std::vector<std::string> args;
        Comparacion compara;
    };
    const std::string petroleo = kEjemplos + "petroleo.nmr", lanzamiento = kEjemplos + "lanzamiento.nmr",
                      inversion = kEjemplos + "inversion.nmr";
    const Caso casos[] = {
        {{"solve", petroleo}, solve},
        {{"solve", lanzamiento}, solve},
        {{"solve", inversion}, solve},
        {{"check", petroleo}, check},
        {{"sweep", petroleo, "CostePrueba = -10", "-30", "0", "7.5"}, sweep},
        {{"sweep", lanzamiento, "PAlta = 0.3", "0", "1", "0.125", "--set", "PMedia = 0.45", "--set", "PAlta = 0.3",
          "--set", "PBaja = (1 - PAlta - PMedia)"},
         sweep},
        {{"bayes", petroleo}, bayes},
        {{"solve", inversion, "--risk-tolerance=500"}, solve},
        {{"profile", petroleo}, profile},
        {{"profile", lanzamiento, "1"}, profile},
        {{"profile", inversion, "0", "--alternatives", "--risk-tolerance=500"}, profile},
        {{"tornado", lanzamiento, "--pct", "20"}, tornado},
        {{"tornado", petroleo, "--risk-tolerance=1000"}, tornado},
        {{"spider", lanzamiento, "--steps", "4", "--risk-tolerance=200"}, spider},
    };
    for (const char* sep : {"--decimal=.", "--decimal=,"}) {
        for (const auto& c : casos) {
            std::string todo = sep;
            for (const auto& a : c.args)
                todo += " " + a;
            SCOPED_TRACE(todo);
            std::vector<std::string> texto = {sep}, conJson = {sep};
            texto.insert(texto.end(), c.args.begin(), c.args.end());
            conJson.insert(conJson.end(), c.args.begin(), c.args.end());
            // --json may stand anywhere among the command's arguments.
            conJson.insert(conJson.begin() + 2 + (c.args.size() > 2 ? 2 : 0), "--json");
            const Salida t = Ejecuta(texto), j = Ejecuta(conJson);
            ASSERT_EQ(t.codigo, 0) << t.err;
            ASSERT_EQ(j.codigo, 0) << j.err;
            ASSERT_EQ(j.out.back(), '\n');
            EXPECT_EQ(std::count(j.out.begin(), j.out.end(), '\n'), 1) << "one document, one line";
            json::Valor doc;
            ASSERT_NO_THROW(doc = json::Lee(j.out)) << j.out;
            EXPECT_EQ(doc["fichero"].texto, c.args[1]);
            // Solved under exponential utility, the document says with which R.
            std::string r;
            for (const auto& a : c.args)
                if (a.rfind("--risk-tolerance=", 0) == 0)
                    r = a.substr(17);
            EXPECT_EQ(doc.Tiene("toleranciaRiesgo"), !r.empty());
            if (!r.empty()) {
                EXPECT_EQ(doc["toleranciaRiesgo"].numero, Num(r));
            }
            c.compara(Lineas(t.out), doc);
        }
    }
}

// An input at which the tree cannot be solved is left out of the results: the
// document names it with the error's text, and standard error says so as the
// text output does.
TEST(CliJson, EntradaQueNoSePuedeResolver)
{
    std::string bytes;
    {
        std::ifstream f(kEjemplos + "lanzamiento.nmr", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(f), {});
    }
    // At 10 % below the price, 22.5, the regional investment divides by zero.
    const std::string linea = "InversionRegional = 250\r\n";
    const auto p = bytes.find(linea);
    ASSERT_NE(p, std::string::npos);
    bytes.replace(p, linea.size(), "InversionRegional = 250 + 10 / (Precio - 22.5)\r\n");
    const auto ruta =
        std::filesystem::temp_directory_path() / ("nemor_json_falla_" + std::to_string(getpid()) + ".nmr");
    std::ofstream(ruta, std::ios::binary) << bytes;

    const std::vector<std::string> pruebas[] = {{"--decimal=.", "tornado", "--json", ruta.string()},
                                                {"--decimal=.", "spider", "--json", ruta.string(), "--steps", "2"}};
    for (const auto& args : pruebas) {
        SCOPED_TRACE(args[1]);
        std::ostringstream errores;
        auto* antes = std::cerr.rdbuf(errores.rdbuf());
        const Salida s = Ejecuta(args);
        std::cerr.rdbuf(antes);
        ASSERT_EQ(s.codigo, 0) << s.err;
        const json::Valor doc = json::Lee(s.out);
        ASSERT_EQ(doc["fallidas"].lista.size(), 1u) << s.out;
        const json::Valor& f = doc["fallidas"][0];
        EXPECT_EQ(f["nombre"].texto, "Precio");
        EXPECT_EQ(f["entrada"].numero, 22.5);
        EXPECT_EQ(f["mensaje"].texto, "Floating point division by zero");
        EXPECT_FALSE(doc["entradas"].lista.empty());
        for (const auto& e : doc["entradas"].lista)
            EXPECT_NE(e["nombre"].texto, "Precio");
        EXPECT_EQ(errores.str(),
                  "No se ha podido resolver el árbol con Precio = 22.5: Floating point division by zero.\n");
    }
    std::filesystem::remove(ruta);
}

// The numbers are the doubles the solver computed, not their 15-digit text,
// and the texts arrive in UTF-8 whatever the file's code page.
TEST(CliJson, NumerosExactosYTextosUtf8)
{
    for (const char* muestra : {"petroleo.nmr", "lanzamiento.nmr", "inversion.nmr"}) {
        SCOPED_TRACE(muestra);
        const Salida s = Ejecuta({"solve", "--json", kEjemplos + muestra});
        ASSERT_EQ(s.codigo, 0) << s.err;
        const json::Valor doc = json::Lee(s.out);

        UsuarioCli u;
        Arbol arbol;
        arbol.usuario = &u;
        CargaArbolCli(arbol, kEjemplos + muestra, false);
        arbol.opciones.CheckBoxComprobarRojos = true;
        CalculaVEM(arbol);
        const auto& nodos = doc["nodos"].lista;
        ASSERT_EQ(nodos.size(), static_cast<size_t>(arbol.NumeroNodos()));
        for (const auto& n : nodos) {
            const TNodo& nodo = *arbol.Nodo(static_cast<int>(n["numero"].numero));
            EXPECT_EQ(n["valor"].numero, nodo.Valor) << n["valor"].texto;
            EXPECT_EQ(n["ganancia"].numero, nodo.Ganancia) << n["ganancia"].texto;
            EXPECT_EQ(n["probabilidad"].numero, nodo.Probabilidad) << n["probabilidad"].texto;
            EXPECT_EQ(n["texto"].texto, nodo.Texto);
            EXPECT_LE(n["valor"].texto.size(), 24u) << "at most 17 significant digits";
        }
    }
    const json::Valor inversion = json::Lee(Ejecuta({"solve", "--json", kEjemplos + "inversion.nmr"}).out);
    EXPECT_EQ(inversion["nodos"][0]["texto"].texto, "\xC2\xBF" "D\xC3\xB3nde invertir 10.000 \xE2\x82\xAC?");
}

TEST(CliJson, Escritor)
{
    struct Caso {
        const char* nombre;
        std::function<void(EscritorJson&)> escribe;
        std::string esperado;
    };
    const Caso casos[] = {
        {"numeros",
         [](EscritorJson& j) {
             j.AbreLista();
             for (double x : {0.1, -2.5, 1e300, 5e-324, 0.1 + 0.2, -0.0, std::nan(""), HUGE_VAL, 22.506666666666668})
                 j.Numero(x);
             j.Entero(-9007199254740993LL);
             j.Cierra();
         },
         "[0.1,-2.5,1e+300,5e-324,0.30000000000000004,0,null,null,22.506666666666668,-9007199254740993]\n"},
        {"textos",
         [](EscritorJson& j) {
             j.AbreObjeto();
             j.Campo("comillas \"y\" \\", "a\tb\nc\r");
             j.Campo("control", std::string("\x01\x1f", 2));
             j.Campo("utf8", "ñ € 𝄞");
             j.Campo("no utf8", "\xF1\xE9 \xC3 \xED\xA0\x80 \xC0\xAF");
             j.Cierra();
         },
         "{\"comillas \\\"y\\\" \\\\\":\"a\\tb\\nc\\r\",\"control\":\"\\u0001\\u001f\",\"utf8\":\"ñ € 𝄞\","
         "\"no utf8\":\"\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\"}\n"},
        {"anidados",
         [](EscritorJson& j) {
             j.AbreObjeto();
             j.Clave("a");
             j.AbreLista();
             j.AbreObjeto();
             j.Cierra();
             j.AbreLista();
             j.Cierra();
             j.Nulo();
             j.Logico(true);
             j.Cierra();
             j.Campo("b", false);
             j.Cierra();
         },
         "{\"a\":[{},[],null,true],\"b\":false}\n"},
    };
    for (const auto& c : casos) {
        std::ostringstream out;
        EscritorJson j(out);
        c.escribe(j);
        EXPECT_EQ(out.str(), c.esperado) << c.nombre;
        EXPECT_NO_THROW(json::Lee(out.str())) << c.nombre;
    }
    // Misuse is the command's fault, and loud.
    const std::function<void(EscritorJson&)> malos[] = {
        [](EscritorJson& j) { j.AbreObjeto(), j.Numero(1); },
        [](EscritorJson& j) { j.AbreLista(), j.Clave("x"); },
        [](EscritorJson& j) { j.Cierra(); },
        [](EscritorJson& j) { j.AbreObjeto(), j.Clave("x"), j.Cierra(); },
        [](EscritorJson& j) { j.Numero(1), j.Numero(2); },
    };
    for (const auto& m : malos) {
        std::ostringstream out;
        EscritorJson j(out);
        EXPECT_THROW(m(j), std::logic_error);
    }
}

// "-" reads the tree from standard input, for every command that reads one.
TEST(CliJson, GuionLeeLaEntradaEstandar)
{
    std::string bytes;
    {
        std::ifstream f(kEjemplos + "lanzamiento.nmr", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(f), {});
    }
    struct Caso {
        std::vector<std::string> args; // "-" stands where the file goes
        std::string entrada;
        int codigo;
    };
    const Caso casos[] = {
        {{"solve", "-"}, bytes, 0},
        {{"check", "--json", "-"}, bytes, 0},
        {{"bayes", "-"}, bytes, 0},
        {{"sweep", "-", "PAlta = 0.3", "0", "1", "0.5"}, bytes, 0},
        {{"check", "-"}, bytes.substr(0, 200), 1},
        {{"check", "-"}, "", 1},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.args[0] + " " + std::to_string(c.entrada.size()));
        std::istringstream entrada(c.entrada);
        auto* antes = std::cin.rdbuf(entrada.rdbuf());
        const Salida desdeEntrada = Ejecuta(c.args);
        std::cin.rdbuf(antes);
        EXPECT_EQ(desdeEntrada.codigo, c.codigo) << desdeEntrada.err;
        if (c.codigo != 0) {
            EXPECT_EQ(desdeEntrada.out, "");
            EXPECT_NE(desdeEntrada.err, "");
            continue;
        }
        std::vector<std::string> conFichero = c.args;
        for (auto& a : conFichero)
            if (a == "-")
                a = kEjemplos + "lanzamiento.nmr";
        std::string esperado = Ejecuta(conFichero).out;
        const auto p = esperado.find(kEjemplos + "lanzamiento.nmr");
        if (p != std::string::npos) // the JSON names the file it read
            esperado.replace(p, kEjemplos.size() + 15, "-");
        EXPECT_EQ(desdeEntrada.out, esperado);
    }
}

} // namespace
