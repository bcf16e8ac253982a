#include "Ayuda.h"
#include "common/Decimal.h"
#include "common/Ini.h"
#include "drawing/FormatoEtiqueta.h"
#include "drawing/Interaccion.h"
#include "drawing/OpcionesIni.h"
#include "support/UsuarioGuion.h"
#include "tree/Documento.h"
#include "tree/Edicion.h"
#include "tree/FicheroArbol.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>

#ifndef NEMOR_DATOS_PRUEBA
#error "NEMOR_DATOS_PRUEBA must name the folder of the test files"
#endif

namespace {

const std::string kDatos = NEMOR_DATOS_PRUEBA;
const double kInf = std::numeric_limits<double>::infinity();

TEST(FicheroArbol, FormaDeLosReales)
{
    struct Caso {
        double x;
        const char* texto;
        double leido; // what the text reads back as
    };
    const Caso casos[] = {
        {0, " 0.00000000000000E+0000", 0},
        {-0.0, " 0.00000000000000E+0000", 0},
        {1.5, " 1.50000000000000E+0000", 1.5},
        {-250, "-2.50000000000000E+0002", -250},
        {0.35, " 3.50000000000000E-0001", 0.35},
        {0.1, " 1.00000000000000E-0001", 0.1},
        {123.45, " 1.23450000000000E+0002", 123.45},
        {1.0 / 3.0, " 3.33333333333333E-0001", 0.333333333333333},
        {2.0 / 3.0, " 6.66666666666667E-0001", 0.666666666666667},
        // An exact tie at the sixteenth digit goes away from zero, not to even.
        {1234567890123465.0, " 1.23456789012347E+0015", 1234567890123470.0},
        {-1234567890123465.0, "-1.23456789012347E+0015", -1234567890123470.0},
        {1234567890123464.0, " 1.23456789012346E+0015", 1234567890123460.0},
        // Carrying into a new leading digit moves the exponent.
        {999999999999999.5, " 1.00000000000000E+0015", 1e15},
        {9.999999999999999e-5, " 1.00000000000000E-0004", 1e-4},
        {1e-300, " 1.00000000000000E-0300", 1e-300},
        {5e-324, " 4.94065645841247E-0324", 5e-324},
        {1e300, " 1.00000000000000E+0300", 1e300},
        // The largest real rounds up past itself and still reads back as itself.
        {DBL_MAX, " 1.79769313486232E+0308", DBL_MAX},
        {-DBL_MAX, "-1.79769313486232E+0308", -DBL_MAX},
        {kInf, "                   +Inf", kInf},
        {-kInf, "                   -Inf", -kInf},
    };
    for (char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        for (const auto& c : casos) {
            const std::string t = TextoRealFichero(c.x);
            EXPECT_EQ(t, c.texto) << c.x;
            EXPECT_EQ(t.size(), 23u);
            std::string token = t.substr(t.find_first_not_of(' '));
            double v = 12345;
            ASSERT_TRUE(LeeRealFichero(token, v)) << token;
            EXPECT_EQ(v, c.leido) << token;
        }
        const std::string nan = TextoRealFichero(std::nan(""));
        EXPECT_EQ(nan, "                    Nan");
        double v = 0;
        ASSERT_TRUE(LeeRealFichero("Nan", v));
        EXPECT_TRUE(std::isnan(v));
    }
}

// The file and the labels round one value the same way: both take it to 18
// significant digits first. Plain rounding of the binary value would give
// 32.4444444444444 in the file for the first case, and the label 32.4444444444445.
TEST(FicheroArbol, RealesRedondeadosComoLasEtiquetas)
{
    struct Caso {
        double x;
        const char* fichero;
        const char* etiqueta; // FormatoEtiqueta with 15 digits, precision 0
    };
    const Caso casos[] = {
        {0.1 * 292 / 0.9, " 3.24444444444445E+0001", "32.4444444444445"},
        {8387.267081785345, " 8.38726708178535E+0003", "8387.26708178535"},
        {1.277818247466815e+20, " 1.27781824746682E+0020", "1.27781824746682E20"},
        {7.200672334264525e-05, " 7.20067233426453E-0005", "7.20067233426453E-5"},
        {-2.405832332960125, "-2.40583233296013E+0000", "-2.40583233296013"},
        {37920080.96725595, " 3.79200809672560E+0007", "37920080.967256"},
    };
    SeparadorTemporal s('.'); // so the label reads as the file does
    for (const auto& c : casos) {
        EXPECT_EQ(TextoRealFichero(c.x), c.fichero) << c.etiqueta;
        EXPECT_EQ(FormatoEtiqueta(c.x, 15, 0), c.etiqueta);
    }
    // Over many values of every size and of the shapes sums and quotients
    // take, the file's 15 digits and the label's are the same number.
    uint64_t semilla = 12345;
    auto Siguiente = [&semilla] {
        semilla = semilla * 6364136223846793005ull + 1442695040888963407ull;
        return semilla;
    };
    for (int i = 0; i < 20000; ++i) {
        double x;
        const uint64_t r = Siguiente();
        if (i % 2 == 0) {
            // Any finite double.
            const uint64_t bits = r & 0x7FEFFFFFFFFFFFFFull;
            std::memcpy(&x, &bits, sizeof x);
        } else {
            x = 0.1 * static_cast<double>(r % 100000) / (0.9 + static_cast<double>(Siguiente() % 1000) / 7.0);
        }
        if (r & 0x8000000000000000ull)
            x = -x;
        double deFichero = 0, deEtiqueta = 0;
        const std::string t = TextoRealFichero(x);
        ASSERT_TRUE(LeeRealFichero(t.substr(t.find_first_not_of(' ')), deFichero)) << t;
        ASSERT_TRUE(LeeRealFichero(FormatoEtiqueta(x, 15, 0), deEtiqueta)) << FormatoEtiqueta(x, 15, 0);
        ASSERT_EQ(deFichero, deEtiqueta) << t << " " << FormatoEtiqueta(x, 15, 0);
    }
}

TEST(FicheroArbol, LecturaDeRealesSueltos)
{
    struct Caso {
        const char* token;
        bool valido;
        double valor;
    };
    const Caso casos[] = {
        {"+1.5", true, 1.5},     {"-2", true, -2},          {".5", true, 0.5},
        {"5.", true, 5},         {"2.5e3", true, 2500},     {"2.5E-3", true, 0.0025},
        {"1e-400", true, 0},     {"INF", true, kInf},       {"1,5", false, 0},
        {"1.5e", false, 0},      {"1e400", false, 0},       {"abc", false, 0},
        {"", false, 0},          {"-", false, 0},           {"1.5x", false, 0},
        {"0x10", false, 0},      {"1e+", false, 0},         {"++1", false, 0},
    };
    for (const auto& c : casos) {
        double v = -99;
        EXPECT_EQ(LeeRealFichero(c.token, v), c.valido) << c.token;
        if (c.valido) {
            EXPECT_EQ(v, c.valor) << c.token;
        }
    }
}

// Builds in memory the tree the hand-written file holds.
void ArbolCompleto(Arbol& a)
{
    a.NuevoArbolVacio();
    a.CrearNodo(0, NodoDecision, 0);
    a.SituarNodo(0, 20, 334);
    const uint16_t uno = NuevoHijo(a, 0, NodoAzar);
    const uint16_t dos = NuevoHijo(a, 0);
    const uint16_t tres = NuevoHijo(a, uno);
    const uint16_t cinco = [&] {
        a.QuitarDeHijos(dos);
        a.DestruirNodo(dos);
        a.QuitarDeOrden(dos);
        a.NuevoIndice(); // 4, handed out and removed again
        a.DestruirNodo(4);
        a.QuitarDeOrden(4);
        return NuevoHijo(a, 0);
    }();
    ASSERT_EQ(uno, 1);
    ASSERT_EQ(tres, 3);
    ASSERT_EQ(cinco, 5);
    TNodo& r = *a.Nodo(0);
    r.Valor = 123.45;
    r.Calculado = true;
    TNodo& n1 = *a.Nodo(1);
    n1.Ganancia = -250;
    n1.FormulaGanancia = "Coste";
    n1.Valor = std::nan("");
    n1.Calculado = true;
    n1.Texto = "Lanzar el producto";
    n1.LongitudRama = 120;
    a.SituarNodo(1, 170, 200);
    n1.Elegido = true;
    n1.Comentario = "Mercado incierto\tver informe\t";
    TNodo& n5 = *a.Nodo(5);
    n5.Ganancia = 1e-300;
    n5.Probabilidad = kInf;
    n5.Valor = -kInf;
    n5.Texto = "No lanzar";
    n5.LongitudRama = 120;
    a.SituarNodo(5, 170, 460);
    TNodo& n3 = *a.Nodo(3);
    n3.Ganancia = 5e-324;
    n3.FormulaGanancia = "Éxito";
    n3.Probabilidad = 0.35;
    n3.FormulaProbabilidad = "PExito";
    n3.Valor = -DBL_MAX;
    n3.Texto = "Éxito €";
    n3.LongitudRama = 95;
    a.SituarNodo(3, 320, 150);
    n3.Comentario = "\t";
    a.Variables = {"Coste = 250", "PExito = 0,35", "Éxito = Coste * 4"};
    a.DocumentoEditor = "informe del análisis.rtf";
}

TEST(FicheroArbol, EscrituraIgualAlFicheroEscritoAMano)
{
    const std::string esperado = Lee(kDatos + "/completo.nmr");
    for (char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        Arbol a;
        ArbolCompleto(a);
        const std::string escrito = TextoArbol(a, "/home/ana/árboles/completo.nmr", "09/12/2026 18:30:05");
        const auto le = Lineas(esperado), lw = Lineas(escrito);
        ASSERT_EQ(lw.size(), le.size());
        for (size_t i = 0; i < le.size(); ++i)
            EXPECT_EQ(lw[i], le[i]) << "línea " << i + 1;
        EXPECT_EQ(escrito, esperado); // byte for byte: Windows-1252, CR LF
    }
}

TEST(FicheroArbol, IdaYVueltaConservaCadaCampo)
{
    const std::string bytes = Lee(kDatos + "/completo.nmr");
    for (char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        Arbol a;
        CargaContenido(a, AnalizaArbol(bytes, false));
        CompruebaTabla(a);
        EXPECT_EQ(a.UltimaPosicion, 3);
        EXPECT_EQ(a.UltimoIndice, 5);
        EXPECT_EQ((std::vector<uint16_t>(a.ListaOrden.begin(), a.ListaOrden.begin() + 4)),
                  (std::vector<uint16_t>{0, 1, 3, 5}));
        const TNodo& n1 = *a.Nodo(1);
        EXPECT_EQ(n1.Tipo, NodoAzar);
        EXPECT_EQ(n1.Ganancia, -250);
        EXPECT_TRUE(std::isnan(n1.Valor));
        EXPECT_EQ(n1.Comentario, "Mercado incierto\tver informe\t");
        EXPECT_TRUE(n1.MarcaVisible);
        EXPECT_TRUE(n1.Elegido);
        EXPECT_EQ(n1.Figura.Left, 170);
        EXPECT_EQ(n1.MarcaComentario.Left, 170 + 30 - 8);
        EXPECT_EQ(n1.EtiquetaTexto.Caption, "Lanzar el producto");
        // Labels are rewritten from the values; "Ver variables" shows the names.
        EXPECT_EQ(n1.EtiquetaGanancia.Caption, "Coste");
        EXPECT_EQ(a.Nodo(5)->EtiquetaValor.Caption, "-INF");
        EXPECT_EQ(a.Nodo(3)->EtiquetaProbabilidad.Caption, "PExito");
        const TNodo& n3 = *a.Nodo(3);
        EXPECT_EQ(n3.Texto, "Éxito €");
        EXPECT_EQ(n3.Probabilidad, 0.35);
        EXPECT_EQ(n3.Ganancia, 5e-324);
        EXPECT_EQ(n3.FormulaProbabilidad, "PExito");
        EXPECT_EQ(a.Nodo(0)->Texto, " ");
        EXPECT_FALSE(a.Nodo(5)->MarcaVisible);
        EXPECT_EQ(a.Variables.size(), 3u);
        EXPECT_EQ(a.DocumentoEditor, "informe del análisis.rtf");
        EXPECT_EQ(TextoArbol(a, "/home/ana/árboles/completo.nmr", "09/12/2026 18:30:05"), bytes);
    }
}

TEST(FicheroArbol, SoloLaRaiz)
{
    Arbol a;
    UsuarioGuion u;
    a.usuario = &u;
    CarpetaTemporal dir;
    const std::string ruta = dir.Ruta("raiz.nmr");
    EscribeArbol(a, ruta);
    const auto l = Lineas(Lee(ruta));
    ASSERT_EQ(l.size(), 8u + 18u + 1u);
    EXPECT_EQ(l[6], "0");
    EXPECT_EQ(l[7], "0");
    EXPECT_EQ(l[8], "#");
    EXPECT_EQ(l[20], " "); // the default text is one blank
    EXPECT_EQ(l[25], ""); // no comment
    EXPECT_EQ(l[26], "0"); // no variables
    EXPECT_EQ(LeerArbol(a, ruta), ResultadoLectura::Leido);
    EXPECT_EQ(u.progreso, (std::vector<std::string>{"Abriendo fichero ..."}));
    EXPECT_FALSE(u.progresoVisible);
    EXPECT_EQ(a.UltimaPosicion, 0);
    EXPECT_EQ(a.Raiz().Texto, " ");
    EXPECT_EQ(a.NombreFichero, ruta);
    EXPECT_EQ(a.Archivo.Caption, ruta);
}

TEST(FicheroArbol, ElZoomNoCambiaLoGuardado)
{
    for (double f : {1.1111111111111112, 2.0, 1.1111111111111112 * 1.1111111111111112}) {
        Arbol a;
        ArbolCompleto(a);
        const std::string alUno = TextoArbol(a, "r", "f");
        AplicaZoom(a, f);
        const int32_t x = a.Nodo(3)->Figura.Left;
        EXPECT_EQ(TextoArbol(a, "r", "f"), alUno) << f;
        EXPECT_EQ(a.Nodo(3)->Figura.Left, x); // saving leaves the zoomed drawing alone

        // Read into a zoomed drawing, the tree shows zoomed and saves the same numbers.
        Arbol b;
        AplicaZoom(b, f);
        CargaContenido(b, AnalizaArbol(alUno, false));
        EXPECT_EQ(b.Nodo(3)->Figura.Left, a.Nodo(3)->Figura.Left) << f;
        EXPECT_EQ(TextoArbol(b, "r", "f"), alUno) << f;
    }
}

// A file of the older layout: blocks end after Elegido.
std::vector<std::string> FicheroAntiguo(bool conVersion)
{
    std::vector<std::string> l;
    if (conVersion)
        l.push_back("V 1.41");
    for (const char* s : {"C:\\Arboles\\viejo.nmr", "01/02/2003", "8585215", "8978312", "16749459", "2", "2"})
        l.push_back(s);
    for (const char* s : {"#", "0", "1", "0", "0", " 0.00000000000000E+0000", "", " 0.00000000000000E+0000", "",
                          " 0.00000000000000E+0000", "2", "1", "2", "0", " ", "60", "20", "334", "0"})
        l.push_back(s);
    for (const char* s : {"#", "1", "0", "0", "0", " 1.00000000000000E+0002", "", " 0.00000000000000E+0000", "",
                          " 0.00000000000000E+0000", "0", "0", "Sí", "60", "140", "300", "1"})
        l.push_back(s);
    for (const char* s : {"#", "2", "0", "0", "0", "-5.00000000000000E+0001", "", " 0.00000000000000E+0000", "",
                          " 0.00000000000000E+0000", "0", "0", "No", "60", "140", "380", "0"})
        l.push_back(s);
    l.push_back("1");
    l.push_back("A = 1");
    return l;
}

TEST(FicheroArbol, DisposicionAntigua)
{
    for (char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        for (bool conVersion : {true, false}) {
            const std::string bytes = Bytes(FicheroAntiguo(conVersion));
            // Option on: read right.
            const ContenidoArbol c = AnalizaArbol(bytes, true);
            ASSERT_EQ(c.Nodos.size(), 3u);
            EXPECT_EQ(c.Version, conVersion ? 1.41 : 0);
            EXPECT_EQ(c.Fecha, "01/02/2003");
            EXPECT_EQ(c.Nodos[1].Texto, "Sí");
            EXPECT_EQ(c.Nodos[2].Ganancia, -50);
            EXPECT_TRUE(c.Nodos[1].Elegido);
            EXPECT_EQ(c.Nodos[2].Comentario, "");
            EXPECT_EQ(c.Variables, (std::vector<std::string>{"A = 1"}));
            // Option off: the next block's "#" is taken as a comment and the read fails.
            EXPECT_THROW(AnalizaArbol(bytes, false), ENemor);
        }
        // A current file reads the same with the option on or off.
        const std::string actual = Lee(kDatos + "/completo.nmr");
        Arbol a, b;
        CargaContenido(a, AnalizaArbol(actual, true));
        CargaContenido(b, AnalizaArbol(actual, false));
        EXPECT_EQ(TextoArbol(a, "r", "f"), TextoArbol(b, "r", "f"));
    }
}

// A small valid file: a decision root with two terminal children.
std::vector<std::string> FicheroPequenyo()
{
    std::vector<std::string> l = {"V 2015", "/tmp/p.nmr", "01/01/2026", "1", "2", "3", "2", "2"};
    auto Bloque = [&l](const char* num, const char* tipo, const char* padre, std::vector<const char*> hijos) {
        for (const char* s : {"#", num, tipo, padre, "0", " 1.00000000000000E+0000", "", " 5.00000000000000E-0001",
                              "", " 0.00000000000000E+0000"})
            l.push_back(s);
        l.push_back(std::to_string(hijos.size()));
        for (const char* h : hijos)
            l.push_back(h);
        for (const char* s : {"0", "texto", "60", "100", "100", "0", ""})
            l.push_back(s);
    };
    Bloque("0", "1", "0", {"1", "2"}); // lines 8..27
    Bloque("1", "0", "0", {});         // lines 28..45
    Bloque("2", "0", "0", {});         // lines 46..63
    l.push_back("0");                  // line 64
    return l;
}

TEST(FicheroArbol, FicherosRotosSeRechazan)
{
    ASSERT_NO_THROW(AnalizaArbol(Bytes(FicheroPequenyo()), false));
    struct Caso {
        const char* que;
        std::vector<std::pair<int, std::string>> cambios; // line index (from 0), new text
        int quitar = -1;                                   // a line to drop
    };
    const Caso casos[] = {
        {"número de nodo mayor que 1000", {{29, "1001"}, {19, "1001"}}},
        {"número repetido", {{47, "1"}, {20, "1"}}},
        {"más de 100 hijos", {{18, "101"}}},
        {"hijo sin bloque", {{20, "7"}, {7, "7"}}},
        {"padre aún no construido", {{31, "2"}}},
        {"padre fuera de la tabla", {{31, "5000"}}},
        {"tipo desconocido", {{10, "3"}}},
        {"tipo negativo", {{10, "-1"}}},
        {"número de nodos negativo", {{6, "-1"}}},
        {"número de nodos mayor que la tabla", {{6, "1001"}}},
        {"último índice por debajo de un número en uso", {{7, "1"}}},
        {"último índice mayor que la tabla", {{7, "1001"}}},
        {"primer bloque que no es la raíz", {{9, "1"}}},
        {"raíz con padre", {{11, "1"}}},
        {"falta la marca de bloque", {{28, "x"}}},
        {"hijo que nombra a otro padre", {{49, "1"}}},
        {"hijo nombrado dos veces", {{20, "1"}}},
        {"nodo que su padre no nombra", {{18, "1"}}, 20},
        {"hijo que es la raíz", {{20, "0"}}},
        {"entero que no es número", {{10, "uno"}}},
        {"real con coma", {{13, "1,5"}}},
        {"real demasiado largo", {{13, std::string(70, '1')}}},
        {"número de variables que no es número", {{64, "tres"}}},
        {"número de variables negativo", {{64, "-1"}}},
        {"número de variables mucho mayor que el fichero", {{64, "2000000000"}}},
        {"versión que no es número", {{0, "V dos mil"}}},
    };
    for (char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        for (const auto& c : casos) {
            auto l = FicheroPequenyo();
            for (const auto& [i, t] : c.cambios)
                l[static_cast<size_t>(i)] = t;
            if (c.quitar >= 0)
                l.erase(l.begin() + c.quitar);
            EXPECT_THROW(AnalizaArbol(Bytes(l), false), ENemor) << c.que;
        }
    }
}

// Files at the edges of what the reader takes. Those it takes write back
// with every line changed here as it was, and read back to the same text;
// those it refuses say why, in valid UTF-8 even when they quote the file.
TEST(FicheroArbol, CasosDeFichero)
{
    const std::string danyado = "El fichero de árbol está dañado: ";
    struct Caso {
        const char* que;
        std::vector<std::pair<int, std::string>> cambios; // line index (from 0), new text (UTF-8)
        std::string error;                                 // empty: the file reads
    };
    const std::vector<Caso> casos = {
        // Colours are skipped, whatever integer they hold.
        {"colores sin signo", {{3, "4294967295"}, {4, "2147483648"}, {5, "-1"}}, ""},
        {"colores enormes", {{3, "99999999999999999999999"}, {4, "-99999999999999999999"}, {5, "+7"}}, ""},
        {"color hexadecimal", {{3, "0xFFFFFFFF"}, {4, "$80000000"}}, ""},
        {"color que no es número", {{3, "rojo"}}, "'rojo' is not a valid integer value"},
        {"color con un byte alto", {{4, "€"}}, "'€' is not a valid integer value"},
        // A terminal node has no branches.
        {"raíz terminal con ramas", {{10, "0"}}, danyado + "el nodo 0 es terminal y tiene 2 ramas"},
        // Positions and branch lengths the drawing holds, and beyond.
        {"posiciones en el límite", {{42, "16777215"}, {43, "-16777215"}, {60, "-16777215"}, {61, "16777215"}}, ""},
        {"posición pasado el límite", {{42, "16777216"}}, danyado + "posición 16777216, 100 del nodo 1 fuera de los límites"},
        {"posición arriba del límite", {{61, "-16777216"}}, danyado + "posición 100, -16777216 del nodo 2 fuera de los límites"},
        {"posiciones extremas de 32 bits",
         {{60, "-2147483648"}, {61, "2147483647"}},
         danyado + "posición -2147483648, 2147483647 del nodo 2 fuera de los límites"},
        {"longitud de rama máxima", {{41, "65535"}, {59, "0"}}, ""},
        {"longitud de rama de 17 bits", {{41, "65536"}}, danyado + "longitud de rama 65536 del nodo 1 fuera de los límites"},
        {"longitud de rama negativa", {{59, "-1"}}, danyado + "longitud de rama -1 del nodo 2 fuera de los límites"},
        // Quoted file bytes come out as the characters they are.
        {"versión con un byte alto tras la V", {{0, "Vé2015"}}, ""},
        {"versión con un byte alto", {{0, "V 20é15"}}, "'20é15' is not a valid floating point value"},
        {"entero con un byte alto", {{6, "2€"}}, "'2€' is not a valid integer value"},
        {"real con un byte alto", {{13, "1.5ñ"}}, "'1.5ñ' is not a valid floating point value"},
        {"número de variables con un byte alto", {{64, "ÿ"}}, "'ÿ' is not a valid integer value"},
    };
    for (char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        for (const auto& c : casos) {
            SCOPED_TRACE(std::string(c.que) + " con separador " + sep);
            auto l = FicheroPequenyo();
            for (const auto& [i, t] : c.cambios)
                l[static_cast<size_t>(i)] = t;
            Arbol a;
            try {
                CargaContenido(a, AnalizaArbol(Bytes(l), false));
            } catch (const ENemor& e) {
                EXPECT_EQ(e.what(), c.error);
                continue;
            }
            ASSERT_EQ(c.error, "") << "the file was read";
            const std::string texto = TextoArbol(a, "r", "f");
            const auto escrito = Lineas(texto);
            ASSERT_EQ(escrito.size(), l.size());
            for (const auto& [i, t] : c.cambios) {
                if (i > 7) { // the header is the writer's own
                    EXPECT_EQ(escrito[static_cast<size_t>(i)], t) << "línea " << i + 1;
                }
            }
            Arbol b;
            CargaContenido(b, AnalizaArbol(texto, false));
            EXPECT_EQ(TextoArbol(b, "r", "f"), texto);
        }
    }
}

// Moves and zoom near the edge of the drawing: positions stop at the limit the
// reader takes, whatever the zoom, so the file written opens again.
TEST(FicheroArbol, PosicionesEnElLimiteSeGuardanYSeLeen)
{
    const int64_t L = kLimitePosicion;
    struct Caso {
        const char* que;
        std::function<void(Arbol&, Edicion&)> haz;
        int32_t x1, y1; // node 1 at zoom factor 1 in the file
    };
    const Caso casos[] = {
        {"más allá del límite", [&](Arbol& a, Edicion&) { a.SituarNodo(1, 3 * L, -INT64_C(1) << 40); }, 16777215,
         -16777215},
        {"hijos movidos lejos con su padre",
         [&](Arbol& a, Edicion&) {
             a.SituarNodo(1, L - 10, 0);
             a.MoverDescendientes(0, INT32_MAX, INT32_MIN);
         },
         16777215, -16777215},
        {"aumentado hasta el tope",
         [&](Arbol& a, Edicion&) {
             a.SituarNodo(1, L, -L);
             for (int i = 0; i < 200; ++i)
                 ZoomAumentar(a);
             EXPECT_LE(a.FactorZoom, kZoomMaximo);
             EXPECT_GT(a.FactorZoom * kZoomAumentar, kZoomMaximo);
         },
         16777215, -16777215},
        {"reducido al mínimo y movido al borde",
         [&](Arbol& a, Edicion&) {
             for (int i = 0; i < 200; ++i)
                 ZoomDisminuir(a);
             EXPECT_GE(a.FactorZoom, kZoomMinimo);
             a.SituarNodo(1, 16777215, 16777215);
         },
         16777215, 16777215},
        {"pegado de un extremo al otro",
         [&](Arbol& a, Edicion& e) {
             a.SituarNodo(1, -L, -L);
             a.SituarNodo(3, L, L); // the copy's children land beyond the limit
             e.Copiar1Click(1);
             ASSERT_TRUE(e.Pegar1Click(3));
             ZoomAumentar(a);
         },
         -16777215, -16777215},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.que);
        UsuarioGuion u;
        Arbol a;
        a.usuario = &u;
        Edicion e(a);
        u.textos = {"2", "2"};
        ASSERT_TRUE(e.CuadrodeDecisin1Click(0)); // nodes 1 and 2
        ASSERT_TRUE(e.NododeAzar1Click(1));      // nodes 3 and 4
        c.haz(a, e);
        const std::string texto = TextoArbol(a, "r", "f");
        Arbol b;
        CargaContenido(b, AnalizaArbol(texto, false));
        EXPECT_EQ(TextoArbol(b, "r", "f"), texto);
        EXPECT_EQ(b.Nodo(1)->Figura.Left, c.x1);
        EXPECT_EQ(b.Nodo(1)->Figura.Top, c.y1);
        for (int p = 0; p <= b.UltimaPosicion; ++p) {
            const Rect& f = b.Nodo(b.ListaOrden[p])->Figura;
            EXPECT_LE(std::abs(f.Left), kLimitePosicion);
            EXPECT_LE(std::abs(f.Top), kLimitePosicion);
        }
    }
}

// Texts that hold line breaks (a path, a name pasted from elsewhere) keep
// their one line each: a break would shift every line after it.
TEST(FicheroArbol, SaltosDeLineaEnLosTextos)
{
    Arbol a;
    ArbolCompleto(a);
    a.Nodo(1)->Texto = "Lanzar\r\nel producto";
    a.Nodo(3)->FormulaGanancia = "\nÉxito";
    a.Nodo(5)->Comentario = "uno\rdos\t";
    a.Variables[0] = "Coste = \n250";
    a.DocumentoEditor = "/informes/a\nb.rtf";
    const std::string texto = TextoArbol(a, "/arboles/x\ny.nmr", "09/12/2026\r\n18:30:05");
    const auto l = Lineas(texto);
    EXPECT_EQ(l.size(), Lineas(Lee(kDatos + "/completo.nmr")).size());
    EXPECT_EQ(l[1], "/arboles/x y.nmr");
    EXPECT_EQ(l.back(), "/informes/a b.rtf");
    Arbol b;
    CargaContenido(b, AnalizaArbol(texto, false));
    EXPECT_EQ(b.Nodo(1)->Texto, "Lanzar  el producto");
    EXPECT_EQ(b.Nodo(3)->FormulaGanancia, " Éxito");
    EXPECT_EQ(b.Nodo(5)->Comentario, "uno dos\t");
    EXPECT_EQ(b.Variables[0], "Coste =  250");
    EXPECT_EQ(TextoArbol(b, "/arboles/x y.nmr", "09/12/2026  18:30:05"), texto);
}

// Colours of any 32 bits and whatever texts the options take: the file
// written under them opens again as the same tree.
TEST(FicheroArbol, OpcionesHostilesSeGuardanYSeLeen)
{
    struct Caso {
        const char* ini;
        std::vector<std::string> colores; // header lines 4 to 6
        std::string digitos, precision;   // texts put into the edits afterwards; empty: as read
    };
    const Caso casos[] = {
        {"[Color]\nCuadro=-1\nCirculo=0x80000000\nTriangulo=0xFFFFFFFF\nLinea=-2147483648\n"
         "[Precision]\nDigitosEtiquetas=0x7FFFFFFF\nPrecisionEtiquetas=-2147483648\n"
         "[Fuente]\nNombre= Times \"Roman\" = ñ; [x] €\n",
         {"-1", "-2147483648", "-1"}, "", ""},
        {"[Color]\nCuadro=2147483647\nCirculo=$FFFFFFFF\nTriangulo=-2147483648\n[Fuente]\nNombre=\n",
         {"2147483647", "-1", "-2147483648"}, " $12", "-0"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.ini);
        CarpetaTemporal dir;
        EscribeFicheroSeguro(RutaIni(), c.ini);
        UsuarioGuion u;
        Arbol a, b;
        a.usuario = b.usuario = &u;
        for (Arbol* x : {&a, &b}) {
            LeeOpciones(*x, FicheroIni(RutaIni()));
            AplicaOpciones(*x);
            if (!c.digitos.empty())
                x->opciones.EDigitosEtiquetas = c.digitos;
            if (!c.precision.empty())
                x->opciones.EPrecisionEtiquetas = c.precision;
        }
        ArbolCompleto(a);
        a.DocumentoEditor.clear(); // the read would look for it beside the file
        const std::string ruta = dir.Ruta("hostil.nmr");
        EscribeArbol(a, ruta);
        const auto l = Lineas(Lee(ruta));
        ASSERT_GT(l.size(), 6u);
        EXPECT_EQ(std::vector<std::string>(l.begin() + 3, l.begin() + 6), c.colores);
        ASSERT_EQ(LeerArbol(b, ruta), ResultadoLectura::Leido);
        EXPECT_EQ(TextoArbol(b, ruta, "f"), TextoArbol(a, ruta, "f"));
    }
}

TEST(FicheroArbol, LecturaFallidaDejaUnArbolNuevoSinTitulo)
{
    CarpetaTemporal dir;
    const std::string ruta = dir.Ruta("roto.nmr");
    auto l = FicheroPequenyo();
    l[47] = "1"; // a number twice
    const std::string roto = Bytes(l);
    {
        std::ofstream(ruta, std::ios::binary) << roto;
    }
    Arbol a;
    UsuarioGuion u;
    a.usuario = &u;
    ArbolCompleto(a);
    a.NombreFichero = "/antes.nmr";
    a.Archivo.Caption = "/antes.nmr";
    u.respuestas = {Respuesta::No};
    EXPECT_THROW(LeerArbol(a, ruta), EFicheroArbol);
    CompruebaTabla(a);
    EXPECT_EQ(a.UltimaPosicion, 0);
    EXPECT_EQ(a.UltimoIndice, 0);
    EXPECT_EQ(a.NombreFichero, "");
    EXPECT_EQ(a.Archivo.Caption, "Sin título");
    EXPECT_TRUE(a.Variables.empty());
    EXPECT_FALSE(u.progresoVisible);
    EXPECT_EQ(Lee(ruta), roto);
}

TEST(FicheroArbol, FicherosCortados)
{
    const std::string bytes = Lee(kDatos + "/completo.nmr");
    const auto lineas = Lineas(bytes);
    // Line index of the variables count.
    const size_t cuenta = lineas.size() - 5;
    ASSERT_EQ(lineas[cuenta], "3");
    for (size_t n = 0; n < lineas.size(); ++n) {
        const std::string corto = Bytes(std::vector<std::string>(lineas.begin(), lineas.begin() + static_cast<long>(n)));
        if (n <= cuenta) {
            EXPECT_THROW(AnalizaArbol(corto, false), ENemor) << n << " líneas";
        } else {
            // Cut within the variables: missing lines read as empty ones.
            ContenidoArbol c;
            ASSERT_NO_THROW(c = AnalizaArbol(corto, false)) << n << " líneas";
            ASSERT_EQ(c.Variables.size(), 3u);
            EXPECT_EQ(c.Variables[2], n > cuenta + 3 ? "Éxito = Coste * 4" : "");
            EXPECT_EQ(c.DocumentoEditor.has_value(), n == lineas.size());
        }
    }
    // Cut anywhere, byte by byte, loading never leaves a slot or position unbuilt.
    Arbol a;
    for (size_t n = 0; n <= bytes.size(); ++n) {
        try {
            CargaContenido(a, AnalizaArbol(std::string_view(bytes).substr(0, n), false));
        } catch (const ENemor&) {
            a.NuevoArbolVacio();
        }
        CompruebaTabla(a);
    }
}

TEST(FicheroArbol, FicheroInexistente)
{
    CarpetaTemporal dir;
    Arbol a;
    UsuarioGuion u;
    a.usuario = &u;
    ArbolCompleto(a);
    const std::string antes = TextoArbol(a, "r", "f");
    const std::string ruta = dir.Ruta("no-esta.nmr");
    EXPECT_EQ(LeerArbol(a, ruta), ResultadoLectura::NoExiste);
    EXPECT_EQ(u.Textos("Error"), (std::vector<std::string>{"No existe el fichero " + ruta}));
    EXPECT_EQ(TextoArbol(a, "r", "f"), antes);
    EXPECT_TRUE(u.progreso.empty());
}

TEST(FicheroArbol, DocumentoEnlazado)
{
    CarpetaTemporal dir;
    const std::string doc = dir.Ruta("informe del análisis.rtf");
    std::ofstream(doc) << "{\\rtf1}";
    struct Caso {
        std::string enFichero; // the document line; empty for none
        std::string queda;     // DocumentoEditor afterwards
        bool carga;
    };
    const Caso casos[] = {
        {doc, doc, true},
        // Moved with the tree: found by name beside it, also from a Windows path.
        {"/otra/carpeta/informe del análisis.rtf", doc, true},
        {"C:\\Mis documentos\\informe del análisis.rtf", doc, true},
        {"/otra/carpeta/perdido.rtf", dir.Ruta("perdido.rtf"), false},
        {"", "", false},
    };
    for (const auto& c : casos) {
        Arbol a;
        UsuarioGuion u;
        a.usuario = &u;
        ArbolCompleto(a);
        a.DocumentoEditor = c.enFichero;
        const std::string ruta = dir.Ruta("arbol.nmr");
        EscribeArbol(a, ruta);
        a.DocumentoEditor = "/previo.rtf";
        struct Editor : UsuarioGuion {
            std::vector<std::string> cargados;
            void EditorCargar(const std::string& r) override { cargados.push_back(r); }
        } e;
        e.respuestas = {Respuesta::No};
        a.usuario = &e;
        ASSERT_EQ(LeerArbol(a, ruta), ResultadoLectura::Leido);
        EXPECT_EQ(a.DocumentoEditor, c.queda) << c.enFichero;
        EXPECT_EQ(e.cargados, c.carga ? std::vector<std::string>{doc} : std::vector<std::string>{}) << c.enFichero;
    }
}

} // namespace
