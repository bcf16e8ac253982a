#include "cli/Cli.h"
#include "common/Decimal.h"
#include "formula/Formula.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>

namespace {

// What a case expects of ParseFormula(formula): its ToFloat, its ToText, or a
// message raised while parsing or only when the value is asked for.
enum class Espera { Real, Texto, FallaAlLeer, FallaAlEvaluar };

struct Caso {
    std::string formula;
    char separador; // '.' or ','; 0 runs the case under both
    Espera espera;
    double valor = 0;
    std::string texto = {}; // ToText, or the error message
};

Caso R(std::string f, double v, char sep = 0) { return {std::move(f), sep, Espera::Real, v}; }
Caso T(std::string f, std::string t, char sep = 0) { return {std::move(f), sep, Espera::Texto, 0, std::move(t)}; }
Caso L(std::string f, std::string m, char sep = 0) { return {std::move(f), sep, Espera::FallaAlLeer, 0, std::move(m)}; }
Caso E(std::string f, std::string m, char sep = 0) { return {std::move(f), sep, Espera::FallaAlEvaluar, 0, std::move(m)}; }

const double kPi = 3.141592653589793;
const std::string kCeroDiv = "Floating point division by zero";
const std::string kInvalida = "Invalid floating point operation";
const std::string kDesborde = "Floating point overflow";
const std::string kDivEntera = "Division by zero";
const std::string kFinFactor = "Inesperada terminación del factor";
const std::string kFormato = "Formato numérico erróneo";

std::vector<Caso> Casos()
{
    return {
        // Blanks, ends and stray characters.
        L("", kFinFactor), L("   ", kFinFactor), L("()", kFinFactor), L("1 +", kFinFactor),
        L("2 3", "El carácter 3 es erróneo"), L("2)", "El carácter ) es erróneo"),
        L("1;2", "El carácter ; es erróneo"), L("(1).", "El carácter . es erróneo", '.'),
        L("#", "Error de sintaxis"), L("(1", " ) falta cerrar un paréntesis"),
        L("SIN(1", "Parámetros de función incorrectos"), L("IF(TRUE; 1; 2", "Parámetros de función incorrectos"),
        R("\t1\r\n+ 2", 3), R(std::string("1\0 basura", 9), 1),

        // Numbers and the decimal separator of the moment.
        R("0,25", 0.25, ','), R("POWER(2,5; 2)", 6.25, ','), L("0.25", "El carácter . es erróneo", ','),
        R("0.25", 0.25, '.'), L("0,25", "El carácter , es erróneo", '.'),
        L("SIN(1,2)", "Parámetros de función incorrectos", '.'),
        R("1e5", 1e5), R("1E-5", 1e-5), R("2,5E3", 2500, ','), R("2.5E3", 2500, '.'), R("2.", 2, '.'),
        L("1E+5", kFormato), L("1E", kFormato), L("1E-", kFormato), L("1E5E3", kFormato),
        L("1.2.3", kFormato, '.'), L("1,2,3", kFormato, ','), L("1E5.2", kFormato, '.'),
        R("2147483647", 2147483647), L("2147483648", "'2147483648' is not a valid integer value"),
        R("2147483648,0", 2147483648.0, ','), L("1E400", kDesborde), R("1E-400", 0),
        L("1E99999999", kDesborde), R("1E-99999999", 0), R("1E-310", 1e-310), R("2.5E-320", 2.5e-320, '.'),
        R(std::string(27, '0') + "7", 7), L(std::string(28, '0') + "7", kFormato),
        R("0.00000000000000000000000001", 1e-26, '.'),
        R("$FF", 255), R("$ff", 255), R("$FFFFFFFF", -1), R("$80000000", -2147483648.0), R("$000000001F", 31),
        L("$", "Letra inválida en número hexadecimal"), L("$123456789", "Letra inválida en número hexadecimal"),
        L("$FG", "El carácter G es erróneo"), R("$" + std::string(255, '0'), 0),
        L("$" + std::string(256, '0'), "Cadena hexadecimal demasiado larga"),

        // Strings, and the code page inside the engine.
        T("'It''s'", "It's"), R("LENGTH('It''s')", 4), L("'abc", "Cadena sin finalizar"), L("'", "Cadena sin finalizar"),
        R("LENGTH('" + std::string(256, 'a') + "')", 256), L("'" + std::string(257, 'a') + "'", "Cadena demasiado larga"),
        R("LENGTH('ñ')", 1), R("POS('Ñ'; UPPER('ñ'))", 0), R("POS('A'; UPPER('a'))", 1), T("UPPER('ñandú')", "ñANDú"),
        T("'漢'", "?"), R("LENGTH('€漢')", 2), L("1 ñ", "El carácter ñ es erróneo"),
        E("FLOAT('año')", "No puede convertirse año a un valor real"),

        // Names, case and operator words.
        R("sin(0)", 0), R("Sin(0)", 0), R("SIN (0)", 0), L("SIN", "Parámetros no válidos para SIN"),
        R("PI", kPi), R("PI(7)", kPi), R("PI(1 DIV 0)", kPi), L("PI()", kFinFactor),
        L("x + 1", "Variable X desconocida"), L("*3", "opMult no está permitido aquí"),
        L("AND", "opAnd no está permitido aquí"), L("1 + / 2", "opDivide no está permitido aquí"),
        L("ORDEN", "Variable ORDEN desconocida"), L("DIVISOR", "Variable DIVISOR desconocida"),
        L("NO", "Variable NO desconocida"), L("XO", "Variable XO desconocida"), L("1 ORDEN", "El carácter O es erróneo"),
        R("true", 1), R("False", 0), R("5 and 3", 1), R("7 Div 2", 3),

        // Precedence and associativity.
        R("1 - 2 - 3", -4), R("2 ^ 3 ^ 2", 64), R("2 * 3 ^ 2", 18), R("2 + 3 * 4", 14), R("20 / 2 / 5", 2),
        E("-2 ^ 2", kInvalida), R("--3", 3), R("NOT NOT TRUE", 1), R("1 + 2 = 3", 1),
        R("3 < 2 AND 3 = 0", 1), // (3 < (2 AND 3)) = 0
        R("NOT 1 = 2", 0),       // (NOT 1) = 2
        R("1 < 2 AND 3 < 4", 1),

        // When kinds are checked: the outermost node only when its value is asked.
        E("7 DIV 2.0", "El operador opDiv es incompatible con Float", '.'),
        L("(7 DIV 2.0) + 1", "El operador opDiv es incompatible con Float", '.'),
        E("NOT 1.5", "El operador opNot es incompatible con Float", '.'),
        E("'abc' - 'a'", "El operador opMinus es incompatible con String"),
        L("-'abc' + 1", "El operador opMinus es incompatible con String"),
        E("-'abc'", "String no es un número real"), E("TRUE < FALSE", "no puede aplicarse opLT a operadores boleanos"),

        // IF and the conversion functions' checks.
        L("IF(1; 2; 3)", "El primer parámetro de IF debe ser boleano"),
        L("IF(TRUE; 1; 2.0)", "Las opciones de IF deben ser del mismo tipo", '.'),
        L("IF(TRUE; 1)", "IF debe tener 3 parámetros"), L("IF", "IF debe tener 3 parámetros"),
        L("ENUMERATED(1)", "No se puede lanzar a enumeración"), L("ENUMERATED", "No se puede lanzar a enumeración"),
        L("FLOAT(1; 2)", "Parametros inválidos para typecast"), L("FLOAT", "Parametros inválidos para typecast"),
        L("OBJECT(1)", "El tipo Object es incompatible con el tipo Integer"),
        L("COPY('abc'; 1; 2.0)", "Parámetros no válidos para COPY", '.'),
        L("COPY('abc'; 1; TRUE)", "Parámetros no válidos para COPY"),
        L("SQRT('4')", "Parámetros no válidos para SQRT"), L("POWER(2)", "Parámetros no válidos para POWER"),
        L("SIN(1; 2)", "Parámetros no válidos para SIN"), R("LENGTH(1 = 1)", 4),

        // Arithmetic.
        R("7 / 2", 3.5), R("7 DIV 2", 3), R("-7 DIV 2", -3), R("7 MOD -2", 1), R("-7 MOD 2", -1),
        R("2 ^ 10", 1024), R("2 ^ 0.5", std::sqrt(2.0), '.'), R("2 ^ 0,5", std::sqrt(2.0), ','),
        E("0 ^ 2", kCeroDiv), E("(-2) ^ 2", kInvalida), E("POWER(0; 0)", kCeroDiv), E("POWER(-8; 2)", kInvalida),
        E("1 / 0", kCeroDiv), E("0 / 0", kInvalida), E("1 DIV 0", kDivEntera), E("1 MOD 0", kDivEntera),
        E("EXP(1000)", kDesborde), E("10 ^ 400", kDesborde), E("1E308 * 10", kDesborde), E("SQR(1E200)", kDesborde),
        R("1E-300 * 1E-300", 0), E("LN(0)", kCeroDiv), E("LN(-1)", kInvalida), E("SQRT(-1)", kInvalida),
        R("1 + 2.5", 3.5, '.'), R("TRUE + 1", 2),

        // 32-bit integers wrap, and never trap.
        R("2147483647 + 1", -2147483648.0), R("65536 * 65536", 0), R("0 - (-2147483647 - 1)", -2147483648.0),
        R("(-2147483647 - 1) DIV -1", -2147483648.0), R("(-2147483647 - 1) MOD -1", 0),
        R("1 SHL 33", 2), R("1 SHL 32", 1), R("-1 SHR 28", 15), R("-1 SHR 32", -1),
        R("5 AND 3", 1), R("5 OR 3", 7), R("5 XOR 3", 6), R("NOT 0", -1), R("NOT 5", -6),

        // Booleans and short circuits; XOR evaluates both sides.
        R("TRUE", 1), R("1 < 2", 1), R("NOT (1 < 2)", 0), R("TRUE AND FALSE", 0), R("NOT TRUE", 0),
        R("FALSE AND (1 DIV 0 = 1)", 0), R("TRUE OR (1 DIV 0 = 1)", 1), E("TRUE XOR (1 DIV 0 = 1)", kDivEntera),
        E("TRUE AND (1 DIV 0 = 1)", kDivEntera), E("FALSE OR (1 DIV 0 = 1)", kDivEntera),
        R("IF(TRUE; 1; 1 DIV 0)", 1), R("IF(FALSE; 1 DIV 0; 2)", 2), R("IF(1 > 2; 10; 20)", 20),
        E("IF(TRUE; 'a'; 'b')", "String no es un número real"), T("IF(1 < 2; 'a'; 'b') + 'c'", "ac"),

        // Operands left before right, except in ToText.
        E("(1 DIV 0) + FLOAT('x')", kDivEntera), E("(1 DIV 0) < FLOAT('x')", kDivEntera),
        E("STRING(1 DIV 0) < STRING(FLOAT('x'))", kDivEntera),
        E("LENGTH(STRING(1 DIV 0) + STRING(FLOAT('x')))", "No puede convertirse x a un valor real"),

        // Texts.
        E("'abc'", "String no es un número real"), E("LENGTH(+'abc')", "String no es una cadena de texto"),
        R("'a' + 'b'", 0), R("LENGTH('a' + 1)", 2), R("POS('c'; 'abcabc')", 3), R("POS(''; 'abc')", 0),
        R("POS('a'; '')", 0), R("POS('abcd'; 'abc')", 0),
        R("LENGTH(COPY('abcdef'; 0; 2))", 2), R("POS('ab'; COPY('abcdef'; 0; 2))", 1),
        R("LENGTH(COPY('abc'; 5; 1))", 0), R("LENGTH(COPY('abc'; 2; 100))", 2), T("COPY('abcdef'; 2; 3)", "bcd"),
        T("COPY('abc'; -2147483647 - 1; 2147483647)", "abc"), T("COPY('abc'; 2147483647; 2147483647)", ""),
        T("COPY('abc'; 2; 0)", ""), E("COPY('abc'; 1; 2)", "String no es un número real"),
        T("'A' + 1", "A1"), T("'x' + 2.5", "x2.5", '.'), T("'x' + 2,5", "x2,5", ','), T("'v' + TRUE", "vTRUE"),
        T("STRING(2.5)", "2.5", '.'), T("STRING(TRUE)", "TRUE"), T("STRING(1) + 1", "11"), T("LOWER('AbC')", "abc"),
        T("1 < 2", "TRUE"), T("7 / 2", "3,5", ','), T("-7 DIV 2", "-3"),
        R("'10' < 9", 1), R("1 = 1.0", 1, '.'), R("TRUE = 1", 1), R("'a' < 'B'", 0), R("'ab' < 'abc'", 1),
        R("'ñ' > 'z'", 1),

        // Rounding and the math library.
        R("ROUND(0.5)", 0, '.'), R("ROUND(1.5)", 2, '.'), R("ROUND(2.5)", 2, '.'), R("ROUND(3.5)", 4, '.'),
        R("ROUND(-2.5)", -2, '.'), R("TRUNC(-1.7)", -1, '.'), R("INT(-1.7)", -1, '.'), R("FRAC(1.75)", 0.75, '.'),
        R("FRAC(-2.5)", -0.5, '.'), R("TRUNC(4294967301.0)", 5, '.'), R("TRUNC(2147483648.0)", -2147483648.0, '.'),
        E("TRUNC(1E19)", kInvalida), E("ROUND(-1E19)", kInvalida), R("ABS(-3)", 3), R("ABS(-2.5)", 2.5, '.'),
        R("SIN(PI)", 1.2246467991473532e-16), R("COS(0)", 1), R("ARCTAN(1) * 4", kPi), R("COS(1E19)", 0),
        R("SIN(-1E19)", 0), R("EXP(0)", 1), R("LN(EXP(2))", 2), R("SQRT(16)", 4), R("SQR(-3)", 9),
        R("POWER(2; 10)", 1024),

        // The conversion functions.
        R("INTEGER('  42')", 42), E("INTEGER('42 ')", "No puede convertirse 42  a un valor entero"),
        R("INTEGER('$1F')", 31), R("INTEGER('x1F')", 31), R("INTEGER('0x1F')", 31), R("INTEGER('-$10')", -16),
        R("INTEGER('-2147483648')", -2147483648.0), E("INTEGER('2147483648')", "No puede convertirse 2147483648 a un valor entero"),
        E("INTEGER('')", "No puede convertirse  a un valor entero"), R("INTEGER(2.9)", 2, '.'), R("INTEGER(TRUE)", 1),
        R("BOOLEAN('true')", 1), E("BOOLEAN('si')", "No puede convertirse SI a un valor boleano"),
        R("BOOLEAN(1E-31)", 0), R("BOOLEAN(1E-29)", 1), R("BOOLEAN(2)", 1), R("BOOLEAN(0)", 0),
        R("INTEGER('12') + 0.5", 12.5, '.'), E("FLOAT('x')", "No puede convertirse x a un valor real"),
        E("FLOAT('1,5')", "No puede convertirse 1,5 a un valor real"), R("FLOAT('1.5')", 1.5),
        R("FLOAT(' -1.5e3')", -1500), E("FLOAT('1E400')", kDesborde), R("FLOAT(3)", 3),
    };
}

void Comprueba(const Caso& c)
{
    const std::string formula =
        c.formula.size() <= 80 ? c.formula : c.formula.substr(0, 60) + "… (" + std::to_string(c.formula.size()) + " caracteres)";
    SCOPED_TRACE("«" + formula + "» con separador " + std::string(1, SeparadorDecimal()));
    IValue v;
    try {
        v = ParseFormula(c.formula);
    } catch (const ENemor& e) {
        EXPECT_EQ(c.espera, Espera::FallaAlLeer) << "falla al leer: " << e.what();
        if (c.espera == Espera::FallaAlLeer) {
            EXPECT_EQ(e.what(), c.texto);
        }
        return;
    }
    ASSERT_NE(c.espera, Espera::FallaAlLeer) << "se esperaba: " << c.texto;
    try {
        if (c.espera == Espera::Texto) {
            EXPECT_EQ(v->ToText(), c.texto);
            return;
        }
        const double x = v->ToFloat();
        EXPECT_EQ(c.espera, Espera::Real) << "dio " << x;
        if (c.valor == 0) {
            EXPECT_EQ(x, 0.0);
        } else {
            EXPECT_DOUBLE_EQ(x, c.valor);
        }
    } catch (const ENemor& e) {
        EXPECT_EQ(c.espera, Espera::FallaAlEvaluar) << "falla al evaluar: " << e.what();
        if (c.espera == Espera::FallaAlEvaluar) {
            EXPECT_EQ(e.what(), c.texto);
        }
    }
    // A failed evaluation leaves the tree as it was: asking again gives the same.
    if (c.espera == Espera::FallaAlEvaluar) {
        EXPECT_THROW(v->ToFloat(), ENemor);
    }
}

void CompruebaEnAmbosSeparadores(const std::vector<Caso>& casos)
{
    for (const Caso& c : casos)
        for (char sep : {'.', ','}) {
            if (c.separador && c.separador != sep)
                continue;
            SeparadorTemporal s(sep);
            Comprueba(c);
        }
}

TEST(Formula, TablaDeCasosEnAmbosSeparadores) { CompruebaEnAmbosSeparadores(Casos()); }

std::string Repite(const std::string& s, int n)
{
    std::string r;
    r.reserve(s.size() * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}

// A chain of n operands: antes, primero, then the siguientes in turn, despues.
struct Cadena {
    std::string antes, primero;
    std::vector<std::string> siguientes;
    std::string despues;
    std::string Formula(int n) const
    {
        std::string r = antes + primero;
        for (int i = 1; i < n; ++i)
            r += siguientes[static_cast<size_t>(i - 1) % siguientes.size()];
        return r + despues;
    }
};

// A chain of infix operators is not nesting: any length parses and reads
// with the values, errors and order of reading of a short one.
TEST(Formula, CadenasLargas)
{
    struct Forma {
        Cadena cadena;
        Espera espera;
        std::function<double(int)> valor; // of n operands
        std::string texto = {};           // ToText, or the error message
        char separador = 0;
    };
    const Forma formas[] = {
        {{"", "1", {" + 1"}, ""}, Espera::Real, [](int n) { return n; }},
        {{"", "1", {" - 1", " + 1"}, ""}, Espera::Real, [](int n) { return n % 2; }},
        {{"", "0.5", {" + 0.5"}, ""}, Espera::Real, [](int n) { return n / 2.0; }, {}, '.'},
        {{"", "0,5", {" + 0,5"}, ""}, Espera::Real, [](int n) { return n / 2.0; }, {}, ','},
        {{"", "2", {" * 1"}, ""}, Espera::Real, [](int) { return 2; }},
        {{"", "2", {" * 3", " / 3"}, ""}, Espera::Real, [](int n) { return n % 2 ? 2 : 6; }},
        {{"", "2", {" ^ 1"}, ""}, Espera::Real, [](int) { return 2; }},
        {{"", "1", {" = 1"}, ""}, Espera::Real, [](int) { return 1; }},
        {{"", "5", {" AND 7"}, ""}, Espera::Real, [](int) { return 5; }},
        {{"", "TRUE", {" XOR TRUE"}, ""}, Espera::Real, [](int n) { return n % 2; }},
        // Each level's chain as an operand of the looser one.
        {{"", "1 * 2", {" + 1 * 2"}, ""}, Espera::Real, [](int n) { return 2 * n; }},
        {{"", "1 + 2", {" * 1"}, ""}, Espera::Real, [](int) { return 3; }},
        {{"-(", "1", {" + 1"}, ")"}, Espera::Real, [](int n) { return -n; }},
        {{"IF(TRUE; ", "1", {" + 1"}, "; 0)"}, Espera::Real, [](int n) { return n; }},
        {{"LENGTH(", "'ab'", {" + 'ab'"}, ")"}, Espera::Real, [](int n) { return 2 * n; }},
        {{"LENGTH(", "1", {" + 1"}, " + 'x')"}, Espera::Real, [](int n) { return std::to_string(n).size() + 1; }},
        // Short circuits: no right operand is read.
        {{"", "FALSE", {" AND (1 DIV 0 = 1)"}, ""}, Espera::Real, [](int) { return 0; }},
        {{"", "TRUE", {" OR (1 DIV 0 = 1)"}, ""}, Espera::Real, [](int) { return 1; }},
        // Errors: left operands before right ones, except in a concatenation.
        {{"", "1 DIV 0", {" + 1"}, " + FLOAT('x')"}, Espera::FallaAlEvaluar, nullptr, kDivEntera},
        {{"LENGTH(", "STRING(1 DIV 0)", {" + 'a'"}, " + STRING(FLOAT('x')))"}, Espera::FallaAlEvaluar, nullptr,
         "No puede convertirse x a un valor real"},
        {{"", "1E308", {" + 1E308"}, ""}, Espera::FallaAlEvaluar, nullptr, kDesborde},
        {{"", "'a' - 1", {" + 1"}, ""}, Espera::FallaAlLeer, nullptr, "El operador opMinus es incompatible con String"},
        {{"", "'a'", {" + 1"}, " - 1"}, Espera::FallaAlEvaluar, nullptr, "El operador opMinus es incompatible con String"},
    };
    std::vector<Caso> casos;
    for (const Forma& f : formas)
        for (int n : {512, 513, 100000}) {
            // The separator matters only to the chains that say so.
            const char separador = f.separador ? f.separador : '.';
            casos.push_back({f.cadena.Formula(n), separador, f.espera, f.valor ? f.valor(n) : 0, f.texto});
        }
    // The text of a long numeric chain and of a long concatenation.
    for (int n : {513, 100000}) {
        casos.push_back(T(Cadena{"", "1", {" + 1"}, ""}.Formula(n), std::to_string(n), '.'));
        casos.push_back(T(Cadena{"", "'a'", {" + 'b'", " + 'c'"}, ""}.Formula(n),
                          "a" + Repite("bc", (n - 1) / 2) + ((n - 1) % 2 ? "b" : ""), '.'));
    }
    CompruebaEnAmbosSeparadores(casos);
}

// Nesting (parentheses, prefixes, function arguments) is bounded, so no text
// can exhaust the stack while it is parsed, evaluated or freed.
TEST(Formula, AnidamientoAcotado)
{
    const std::string demasiado = "Fórmula demasiado anidada: más de 512 niveles";
    // Every level of this one nests a chain of each precedence level.
    const std::string todosLosNiveles = Repite("1 = 0 + 1 * 1 ^ (", 511) + "1" + Repite(")", 511);
    struct Caso {
        std::string formula;
        const char* mensaje; // null: it evaluates to valor
        double valor;
    };
    const Caso casos[] = {
        {Repite("(", 100000), demasiado.c_str(), 0},
        {Repite("(", 100000) + "1" + Repite(")", 100000), demasiado.c_str(), 0},
        {Repite("-", 100000) + "1", demasiado.c_str(), 0},
        {Repite("NOT ", 100000) + "TRUE", demasiado.c_str(), 0},
        {Repite("SIN(", 100000), demasiado.c_str(), 0},
        {Repite("(", 512) + "1" + Repite(")", 512), demasiado.c_str(), 0},
        {Repite("(", 511) + "1" + Repite(")", 511), nullptr, 1},
        {Repite("-", 512) + "1", demasiado.c_str(), 0},
        {Repite("-", 511) + "1", nullptr, -1},
        {Repite("ABS(", 512) + "1" + Repite(")", 512), demasiado.c_str(), 0},
        {Repite("ABS(", 511) + "1" + Repite(")", 511), nullptr, 1},
        // Chains inside the nesting do not count towards it.
        {Repite("(1 + ", 511) + "1" + Repite(")", 511), nullptr, 512},
        {Repite("(1 + ", 512) + "1" + Repite(")", 512), demasiado.c_str(), 0},
        {todosLosNiveles, nullptr, 1},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.formula.substr(0, 20) + "… (" + std::to_string(c.formula.size()) + " caracteres)");
        if (c.mensaje) {
            try {
                ParseFormula(c.formula);
                ADD_FAILURE() << "no falla";
            } catch (const EExpression& e) {
                EXPECT_EQ(e.what(), std::string(c.mensaje));
            }
        } else {
            EXPECT_EQ(ParseFormula(c.formula)->ToFloat(), c.valor);
        }
    }
}

// A resolver can bring host objects into a formula; their published properties
// are read each time the value is asked for.
struct Ficha : TObject {
    TPropInfo nombre{"Nombre", TTipoPropiedad::Cadena, {}};
    TPropInfo precio{"Precio", TTipoPropiedad::Real, {}};
    TPropInfo color{"Color", TTipoPropiedad::Enumeracion, {"Rojo", "Verde"}};
    TPropInfo activa{"Activa", TTipoPropiedad::Booleano, {}};
    TPropInfo otra{"Otra", TTipoPropiedad::Clase, {}};
    TPropInfo raro{"Raro", TTipoPropiedad::Otro, {}};
    double valorPrecio = 2.5;
    Ficha* siguiente = nullptr;

    std::string ClassName() const override { return "TFicha"; }
    const TPropInfo* BuscaPropiedad(const std::string& n) const override
    {
        for (const TPropInfo* p : {&nombre, &precio, &color, &activa, &otra, &raro}) {
            std::string a = n, b = p->Nombre;
            for (auto& ch : a)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            for (auto& ch : b)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            if (a == b)
                return p;
        }
        return nullptr;
    }
    int64_t LeeOrdinal(const TPropInfo&) const override { return 1; }
    double LeeReal(const TPropInfo&) const override { return valorPrecio; }
    std::string LeeTexto(const TPropInfo&) const override { return "caf\xE9"; }
    TObject* LeeObjeto(const TPropInfo&) const override { return siguiente; }
};

struct NodoFicha : TExpression {
    explicit NodoFicha(Ficha* f) : ficha(f) {}
    TObject* ToObject() override { return ficha; }
    TValueKind Kind() override { return TValueKind::Object; }
    const char* ClassName() const override { return "NodoFicha"; }
    Ficha* ficha;
};

void ResuelveFicha(void* datos, const std::string& nombre, std::unique_ptr<TParameterList>& parametros, IValue& r)
{
    if (nombre == "F" && !parametros)
        r = IValue(new NodoFicha(static_cast<Ficha*>(datos)));
}

TEST(Formula, ObjetosDeUnResolvedor)
{
    Ficha segunda, ficha;
    ficha.siguiente = &segunda;
    segunda.valorPrecio = 7;
    struct Caso {
        const char* formula;
        Espera espera;
        const char* esperado; // text, value as text, or message
    };
    const Caso casos[] = {
        {"F.Precio * 2", Espera::Real, "5"},
        {"F . precio + F.Otra.Precio", Espera::Real, "9.5"},
        {"F.Nombre", Espera::Texto, "café"},
        {"LENGTH(F.Nombre)", Espera::Real, "4"},
        {"F.Color", Espera::Texto, "Verde"},
        {"F.Color", Espera::Real, "1"},
        {"IF(F.Activa; 1; 2)", Espera::Real, "1"},
        {"F", Espera::Texto, "TFicha"},
        {"F = F", Espera::Real, "0"},
        {"F + 1", Espera::FallaAlLeer, "El tipo Object es incompatible con el tipo Integer"},
        {"F.Peso", Espera::FallaAlLeer, "Peso no es una propiedad publica de TFicha"},
        {"F.Raro", Espera::FallaAlLeer, "El tipo de la propiedad Raro no está soportado"},
        {"F.", Espera::FallaAlLeer, "Propiedad no válida para el objeto TFicha"},
        {"F.Color + 1", Espera::Real, "2"},
        {"(F.Color) + (F.Color)", Espera::FallaAlEvaluar, "El operador opPlus es incompatible con Enumerated"},
        {"-F.Color", Espera::FallaAlLeer, "El operador opMinus es incompatible con Object"},
        {"F", Espera::FallaAlEvaluar, "Object no es un número real"},
        {"STRING(F)", Espera::Texto, "TFicha"},
        {"FLOAT(F)", Espera::FallaAlLeer, "El tipo Float es incompatible con el tipo Object"},
        {"OBJECT(F).Precio", Espera::Real, "2.5"},
        {"F(1)", Espera::FallaAlLeer, "Variable F desconocida"},
    };
    SeparadorTemporal s('.');
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.formula);
        try {
            IValue v = ParseFormula(c.formula, ResuelveFicha, &ficha);
            ASSERT_NE(c.espera, Espera::FallaAlLeer);
            if (c.espera == Espera::Texto)
                EXPECT_EQ(v->ToText(), c.esperado);
            else if (c.espera == Espera::Real)
                EXPECT_EQ(FloatText(v->ToFloat()), c.esperado);
            else
                EXPECT_THROW(
                    try { v->ToFloat(); } catch (const EExpression& e) {
                        EXPECT_EQ(e.what(), std::string(c.esperado));
                        throw;
                    },
                    EExpression);
        } catch (const EExpression& e) {
            EXPECT_EQ(c.espera, Espera::FallaAlLeer) << e.what();
            EXPECT_EQ(e.what(), std::string(c.esperado));
        }
    }
    // The tree reads the property afresh each time.
    IValue v = ParseFormula("F.Precio", ResuelveFicha, &ficha);
    ficha.valorPrecio = 4;
    EXPECT_EQ(v->ToFloat(), 4);
}

TEST(Formula, DescripcionDelTipo)
{
    const struct {
        const char* formula;
        const char* esperado; // the type's name, or the message
    } casos[] = {{"'a'", "String"},
                 {"1.5", "Double"},
                 {"1", "Integer"},
                 {"TRUE", "Boolean"},
                 {"1 < 2", "Boolean"},
                 {"7 / 2", "Double"},
                 {"ROUND(1.5)", "Integer"},
                 {"F.Precio", "Double"},
                 {"F.Color", "No puede proporcionarse información sobre el tipo de TObjectProperty"},
                 {"IF(TRUE; F; F)", "No puede proporcionarse información sobre el tipo de TConditional"}};
    SeparadorTemporal s('.');
    Ficha ficha;
    for (const auto& c : casos) {
        try {
            EXPECT_EQ(ParseFormula(c.formula, ResuelveFicha, &ficha)->TypeName(), c.esperado) << c.formula;
        } catch (const EExpression& e) {
            EXPECT_EQ(e.what(), std::string(c.esperado)) << c.formula;
        }
    }
}

TEST(Formula, ComandoEval)
{
    const struct {
        std::vector<std::string> args;
        int codigo;
        const char* salida;
        const char* error;
    } casos[] = {
        {{"--decimal=.", "eval", "2 ^ 10"}, 0, "1024\n", ""},
        {{"--decimal=,", "eval", "(1200 * 1,21 - 300) / 2"}, 0, "576\n", ""},
        {{"--decimal=,", "eval", "7 / 2"}, 0, "3,5\n", ""},
        {{"--decimal=.", "eval", "IF(TRUE; 1)"}, 1, "", "IF debe tener 3 parámetros.\n"},
        {{"--decimal=.", "eval", "x"}, 1, "", "Variable X desconocida.\n"},
        {{"--decimal=.", "eval", "1 / 0"}, 1, "", "Floating point division by zero.\n"},
        {{"--decimal=.", "eval", "FLOAT('ñ')"}, 1, "", "No puede convertirse ñ a un valor real.\n"},
        {{"--decimal=.", "eval", Cadena{"", "1", {" + 1"}, ""}.Formula(513)}, 0, "513\n", ""},
    };
    for (const auto& c : casos) {
        std::ostringstream out, err;
        EXPECT_EQ(EjecutaCli(c.args, out, err), c.codigo) << c.args.back();
        EXPECT_EQ(out.str(), c.salida);
        EXPECT_EQ(err.str(), c.error);
    }
}

} // namespace
