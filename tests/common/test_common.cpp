#include "cli/Cli.h"
#include "common/Cp1252.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "common/Redondeo.h"
#include "drawing/FormatoEtiqueta.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

namespace {

struct CasoFormato {
    double x;
    int digitos;
    int precision;
    const char* punto; // with "." as separator; "," gives the same text with the separator swapped
};

TEST(FormatoEtiqueta, TablaDeCasosEnAmbosSeparadores)
{
    const double inf = std::numeric_limits<double>::infinity();
    const CasoFormato casos[] = {
        {0.5, 4, 4, "0.5"},
        {100, 4, 4, "100"},
        {2.0 / 3.0, 4, 4, "0.6667"},
        {123.45, 4, 4, "123.5"},
        {12345, 4, 4, "1.235E0004"},
        {0.00012, 4, 4, "0.00012"},
        {0.000012, 4, 4, "1.2E-0005"},
        {0.00001, 4, 4, "1E-0005"},
        {-2.5, 4, 4, "-2.5"},
        {0, 4, 4, "0"},
        {inf, 4, 4, "INF"},
        {-inf, 4, 4, "-INF"},
        {std::nan(""), 4, 4, "NAN"},
        // Rounding carries into a new leading digit.
        {9.99995, 4, 4, "10"},
        {9999.5, 4, 4, "1E0004"},
        {0.00099995, 4, 4, "0.001"},
        // Exactly D digits before the point stays plain; one more goes scientific.
        {1234, 4, 4, "1234"},
        {10000, 4, 4, "1E0004"},
        // Precision outside 0..4 counts as 0; digits are clamped to 2..18.
        {12345, 4, 7, "1.235E4"},
        {12345, 4, -1, "1.235E4"},
        {12345, 4, 0, "1.235E4"},
        {12345, 4, 2, "1.235E04"},
        {123.45, 1, 4, "1.2E0002"},
        {0.1, 40, 0, "0.100000000000000006"},
        {1.0 / 3.0, 15, 0, "0.333333333333333"},
        {1200 * 1.21 - 300, 15, 0, "1152"},
        {-0.000012, 4, 4, "-1.2E-0005"},
        {1e300, 15, 0, "1E300"},
        {123456789012345.0, 15, 0, "123456789012345"},
        {0.0012345, 2, 4, "0.0012"},
    };
    for (char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        for (const auto& c : casos) {
            std::string esperado = c.punto;
            if (sep == ',')
                for (char& ch : esperado)
                    if (ch == '.')
                        ch = ',';
            EXPECT_EQ(FormatoEtiqueta(c.x, c.digitos, c.precision), esperado)
                << "x=" << c.x << " d=" << c.digitos << " p=" << c.precision << " sep=" << sep;
        }
    }
}

TEST(NormalizarDecimal, AmbosSentidosEnAmbosSeparadores)
{
    struct Caso {
        char sep;
        const char* entrada;
        const char* salida;
    } casos[] = {
        {'.', "1.5", "1.5"},   {'.', "1,5", "1.5"}, {'.', "12", "12"},   {'.', "1,5,6", "1.5,6"},
        {'.', "abc", "abc"},   {'.', "a.b", "a,b"}, {',', "1,5", "1,5"}, {',', "1.5", "1,5"},
        {',', "1.5.6", "1,5.6"}, {',', "1,2.3", "1.2.3"}, {',', "", ""}, {'.', " 2.5 ", " 2.5 "},
    };
    for (const auto& c : casos) {
        SeparadorTemporal s(c.sep);
        EXPECT_EQ(NormalizarDecimal(c.entrada), c.salida) << c.entrada << " sep=" << c.sep;
    }
}

TEST(Conversiones, Reales)
{
    SeparadorTemporal s(',');
    EXPECT_DOUBLE_EQ(StrToFloat("1,25"), 1.25);
    EXPECT_DOUBLE_EQ(StrToFloat(" -3E2 "), -300);
    EXPECT_DOUBLE_EQ(StrToFloat("1E-400"), 0.0);
    for (const char* malo : {"1.25", "", ",", "1e", "1,2,3", "x", "0x10", "INF"}) {
        try {
            StrToFloat(malo);
            ADD_FAILURE() << malo;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(malo) + "' is not a valid floating point value");
        }
    }
    EXPECT_THROW(StrToFloat("1E400"), EOverflow);
}

TEST(Conversiones, Enteros)
{
    struct Caso {
        const char* texto;
        bool vale;
        int32_t valor;
    } casos[] = {
        {"42", true, 42},         {" -7", true, -7},       {"+3", true, 3},        {"0x1F", true, 31},
        {"$ff", true, 255},       {"2147483647", true, 2147483647},                 {"2147483648", false, 0},
        {"-2147483648", true, INT32_MIN},                  {"4 ", false, 0},       {"", false, 0},
        {"abc", false, 0},        {"1.5", false, 0},       {"0x", false, 0},
    };
    for (const auto& c : casos) {
        int32_t v = 0;
        EXPECT_EQ(TryStrToInt(c.texto, v), c.vale) << c.texto;
        if (c.vale) {
            EXPECT_EQ(v, c.valor) << c.texto;
        }
    }
    try {
        StrToInt("abc");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
}

TEST(Redondeo, MitadesAlPar)
{
    EXPECT_EQ(Round(16.5), 16);
    EXPECT_EQ(Round(17.5), 18);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-3.5), -4);
    EXPECT_EQ(Round(2.4999), 2);
    EXPECT_EQ(Round(7.5L), 8);
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_EQ(Trunc(8 * 1.111111), 8);
    EXPECT_THROW(Round(std::nan("")), EInvalidOp);
}

TEST(CajaError, PuntoFinalSoloSiHaceFalta)
{
    EXPECT_EQ(TextoCajaError("Variable X desconocida"), "Variable X desconocida.");
    EXPECT_EQ(TextoCajaError("Ya termina."), "Ya termina.");
    EXPECT_EQ(TextoCajaError("¿Seguro?"), "¿Seguro?.");
    EXPECT_EQ(TextoCajaError("abre ("), "abre (");
    EXPECT_EQ(TextoCajaError("dañado ó"), "dañado ó.");
    EXPECT_EQ(TextoCajaError(""), "");
}

TEST(Cp1252, IdaYVuelta)
{
    EXPECT_EQ(Utf8ACp1252("ñÑáé€"), std::string("\xF1\xD1\xE1\xE9\x80"));
    EXPECT_EQ(Cp1252AUtf8(std::string("\xF1\xD1\xE1\xE9\x80\x81")), "ñÑáé€\xC2\x81");
    EXPECT_EQ(Utf8ACp1252("a\xE2\x82"), "a??");    // truncated sequence: each stray byte
    EXPECT_EQ(Utf8ACp1252("日本"), "??");            // outside the code page
    EXPECT_EQ(Utf8ACp1252("\xC0\xAF"), "??");        // overlong
    std::string todos;
    for (int b = 1; b < 256; ++b)
        todos += static_cast<char>(b);
    EXPECT_EQ(Utf8ACp1252(Cp1252AUtf8(todos)), todos);
}

TEST(Cli, FormatYNormalize)
{
    struct Caso {
        std::vector<std::string> args;
        int codigo;
        const char* salida;
        const char* error;
    } casos[] = {
        {{"format", "12345", "4", "4"}, 0, "1.235E0004\n", ""},
        {{"--decimal=,", "format", "0.5", "4", "4"}, 0, "0,5\n", ""},
        {{"--decimal=,", "format", "2,5", "4", "4"}, 0, "2,5\n", ""},
        {{"--decimal=.", "normalize", "1,5"}, 0, "1.5\n", ""},
        {{"--decimal=,", "normalize", "1.5"}, 0, "1,5\n", ""},
        {{"--decimal=.", "format", "abc", "4", "4"}, 1, "", "'abc' is not a valid floating point value.\n"},
        {{"format", "1"}, 2, "", nullptr},
        {{"nada"}, 2, "", nullptr},
        {{}, 2, "", nullptr},
        {{"--decimal=x", "format", "1", "4", "4"}, 2, "", nullptr},
        {{"format", "1", "x", "4"}, 2, "", nullptr},
    };
    for (const auto& c : casos) {
        std::ostringstream out, err;
        EXPECT_EQ(EjecutaCli(c.args, out, err), c.codigo);
        EXPECT_EQ(out.str(), c.salida);
        if (c.error)
            EXPECT_EQ(err.str(), c.error);
        else
            EXPECT_NE(err.str().find("uso: nemor-cli"), std::string::npos);
    }
}

} // namespace
