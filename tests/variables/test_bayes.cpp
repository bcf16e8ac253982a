#include "common/Decimal.h"
#include "support/UsuarioGuion.h"
#include "tree/Arbol.h"
#include "variables/Bayes.h"
#include "variables/Variables.h"

#include <gtest/gtest.h>

namespace {

using Lineas = std::vector<std::string>;

const Lineas kEjemplo = {"BAYES(F,D)",    "P(A) = 0.6",    "P(B) = 0.4",   "P(F/A) = 0.8",
                         "P(D/A) = 0.2", "P(F/B) = 0.3", "P(D/B) = 0.7"};

struct Revision {
    Lineas lineas;
    std::vector<std::string> mensajes; // "caption|text"
};

Revision Revisa(Lineas lista, const std::string& precision = "4")
{
    Arbol a;
    UsuarioGuion u;
    a.usuario = &u;
    a.opciones.EPrecisionBayes = precision;
    a.Variables = std::move(lista);
    CalculaFormulasBayes(a);
    Revision r{a.Variables, {}};
    for (const auto& l : u.llamadas) {
        EXPECT_EQ(l.tipo, "Mensaje");
        EXPECT_EQ(l.icono, Icono::Error);
        r.mensajes.push_back(l.titulo + "|" + l.texto);
    }
    return r;
}

Lineas Mas(Lineas a, const Lineas& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Bayes, RevisionesDeLaLista)
{
    struct Caso {
        const char* nombre;
        char separador;
        Lineas lista;
        std::string precision;
        Lineas despues;
        std::vector<std::string> mensajes;
    };
    const Lineas escritas = {"P(F) = 0.6000",   "P(D) = 0.4000",   "P(A/F) = 0.8000",
                             "P(B/F) = 0.2000", "P(A/D) = 0.3000", "P(B/D) = 0.7000"};
    const Caso casos[] = {
        {"ejemplo", '.', kEjemplo, "4", Mas(kEjemplo, escritas), {}},
        {"otra vez, con otras previas", '.',
         {"BAYES(F,D)", "P(A) = 0.5", "P(B) = 0.5", "P(F/A) = 0.8", "P(D/A) = 0.2", "P(F/B) = 0.3", "P(D/B) = 0.7",
          "P(F) = 0.6000", "P(D) = 0.4000", "P(A/F) = 0.8000", "P(B/F) = 0.2000", "P(A/D) = 0.3000",
          "P(B/D) = 0.7000"},
         "4",
         {"BAYES(F,D)", "P(A) = 0.5", "P(B) = 0.5", "P(F/A) = 0.8", "P(D/A) = 0.2", "P(F/B) = 0.3", "P(D/B) = 0.7",
          "P(F) = 0.5500", "P(D) = 0.4500", "P(A/F) = 0.7273", "P(B/F) = 0.2727", "P(A/D) = 0.2222",
          "P(B/D) = 0.7778"},
         {}},
        {"previa con formula", '.',
         {"BAYES(F,D)", "P(A) = 0.6", "P(B) = 1 - P(A)", "P(F/A) = 0.8", "P(D/A) = 0.2", "P(F/B) = 0.3",
          "P(D/B) = 0.7"},
         "4",
         Mas({"BAYES(F,D)", "P(A) = 0.6", "P(B) = 1 - P(A)", "P(F/A) = 0.8", "P(D/A) = 0.2", "P(F/B) = 0.3",
              "P(D/B) = 0.7"},
             escritas),
         {}},
        {"blanco en el resultado", '.', Mas({"BAYES(F, D)"}, Lineas(kEjemplo.begin() + 1, kEjemplo.end())), "4",
         Mas({"BAYES(F, D)"}, Mas(Lineas(kEjemplo.begin() + 1, kEjemplo.end()), {"P(F) = 0.6000"})),
         {"Error|No se encuentra el valor de P( D/A)"}},
        {"falta una verosimilitud", '.', Lineas(kEjemplo.begin(), kEjemplo.end() - 1), "4",
         Mas(Lineas(kEjemplo.begin(), kEjemplo.end() - 1), {"P(F) = 0.6000"}),
         {"Error|No se encuentra el valor de P(D/B)"}},
        {"ninguna linea con F/", '.', {"BAYES(F,D)", "P(A) = 0.6", "P(D/A) = 0.2"}, "4",
         {"BAYES(F,D)", "P(A) = 0.6", "P(D/A) = 0.2"}, {}},
        {"precision 2", '.', kEjemplo, "2",
         Mas(kEjemplo, {"P(F) = 0.60", "P(D) = 0.40", "P(A/F) = 0.80", "P(B/F) = 0.20", "P(A/D) = 0.30",
                        "P(B/D) = 0.70"}),
         {}},
        {"precision 6", '.', kEjemplo, "6",
         Mas(kEjemplo, {"P(F) = 0.600000", "P(D) = 0.400000", "P(A/F) = 0.800000", "P(B/F) = 0.200000",
                        "P(A/D) = 0.300000", "P(B/D) = 0.700000"}),
         {}},
        // The user's own P(F) above the Bayes line goes; the line below the
        // Bayes line moves up into its place and is passed over in this run.
        {"linea del usuario encima y segundo BAYES debajo", '.',
         {"P(F) = 0.9", "BAYES(F,D)", "BAYES(G)", "P(A) = 0.6", "P(B) = 0.4", "P(F/A) = 0.8", "P(D/A) = 0.2",
          "P(F/B) = 0.3", "P(D/B) = 0.7", "P(G/A) = 0.5", "P(G/B) = 0.5"},
         "4",
         {"BAYES(F,D)", "BAYES(G)", "P(A) = 0.6", "P(B) = 0.4", "P(F/A) = 0.8", "P(D/A) = 0.2", "P(F/B) = 0.3",
          "P(D/B) = 0.7", "P(G/A) = 0.5", "P(G/B) = 0.5", "P(F) = 0.6000", "P(D) = 0.4000", "P(A/F) = 0.8000",
          "P(B/F) = 0.2000", "P(A/D) = 0.3000", "P(B/D) = 0.7000"},
         {}},
        {"coma decimal", ',', {"BAYES(F,D)", "P(A) = 0.6", "P(B) = 0,4", "P(F/A) = 0,8", "P(D/A) = 0,2",
                               "P(F/B) = 0,3", "P(D/B) = 0,7"},
         "4",
         {"BAYES(F,D)", "P(A) = 0,6", "P(B) = 0,4", "P(F/A) = 0,8", "P(D/A) = 0,2", "P(F/B) = 0,3", "P(D/B) = 0,7",
          "P(F) = 0,6000", "P(D) = 0,4000", "P(A/F) = 0,8000", "P(B/F) = 0,2000", "P(A/D) = 0,3000",
          "P(B/D) = 0,7000"},
         {}},
        {"sin resultados", '.', {"BAYES()", "P(A) = 1"}, "4", {"BAYES()", "P(A) = 1"}, {}},
        {"en minusculas", '.', Mas({"bayes(F)"}, Lineas(kEjemplo.begin() + 1, kEjemplo.end())), "4",
         Mas({"bayes(F)"}, Mas(Lineas(kEjemplo.begin() + 1, kEjemplo.end()),
                               {"P(F) = 0.6000", "P(A/F) = 0.8000", "P(B/F) = 0.2000"})),
         {}},
    };
    for (const auto& c : casos) {
        SeparadorTemporal s(c.separador);
        const Revision r = Revisa(c.lista, c.precision);
        EXPECT_EQ(r.lineas, c.despues) << c.nombre;
        EXPECT_EQ(r.mensajes, c.mensajes) << c.nombre;
    }
}

TEST(Bayes, ErroresDetienenLaRevision)
{
    struct Caso {
        Lineas lista;
        std::string precision, mensaje;
        Lineas despues;
    };
    const Caso casos[] = {
        // The marginal is written rounded to 0.0000 and read back as 0.
        {{"BAYES(F)", "P(A) = 0.5", "P(F/A) = 0.00001"}, "4", "Floating point division by zero",
         {"BAYES(F)", "P(A) = 0.5", "P(F/A) = 0.00001", "P(F) = 0.0000"}},
        {{"BAYES(F)", "P(A) = 0.5", "P(F/A) = 1 +"}, "4", "Inesperada terminación del factor",
         {"BAYES(F)", "P(A) = 0.5", "P(F/A) = 1 +"}},
        {kEjemplo, "cuatro", "'cuatro' is not a valid integer value", kEjemplo},
    };
    for (const auto& c : casos) {
        Arbol a;
        UsuarioGuion u;
        a.usuario = &u;
        a.opciones.EPrecisionBayes = c.precision;
        a.Variables = c.lista;
        try {
            CalculaFormulasBayes(a);
            ADD_FAILURE() << c.mensaje;
        } catch (const ENemor& e) {
            EXPECT_EQ(std::string(e.what()), c.mensaje);
        }
        EXPECT_EQ(a.Variables, c.despues) << c.mensaje;
    }
}

TEST(Bayes, FormatoDeLosValoresEscritos)
{
    struct Caso {
        double valor;
        int decimales;
        std::string punto, coma;
    };
    const Caso casos[] = {
        {0.6, 4, "0.6000", "0,6000"},
        {0.72727272727, 4, "0.7273", "0,7273"},
        {0.00005, 4, "0.0001", "0,0001"},
        {0.00004999, 4, "0.0000", "0,0000"},
        {0.99996, 4, "1.0000", "1,0000"},
        {0.123456789, 10, "0.1234567900", "0,1234567900"},
        {1234.56789, 6, "1234.567900", "1234,567900"},
        {-0.25, 2, "-0.25", "-0,25"},
        {-0.00001, 4, "0.0000", "0,0000"},
        {0, 4, "0.0000", "0,0000"},
        {0.5, 0, "1", "1"},
        {12345678.9, 2, "12345679.00", "12345679,00"},
        {123456789.0, 2, "1.2345679E8", "1,2345679E8"},
    };
    for (const auto& c : casos) {
        {
            SeparadorTemporal s('.');
            EXPECT_EQ(FormatoBayes(c.valor, c.decimales), c.punto) << c.valor;
        }
        SeparadorTemporal s(',');
        EXPECT_EQ(FormatoBayes(c.valor, c.decimales), c.coma) << c.valor;
    }
}

} // namespace
