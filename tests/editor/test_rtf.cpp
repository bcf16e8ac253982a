#include "common/Errores.h"
#include "editor/FicheroEditor.h"
#include "editor/Regla.h"
#include "editor/Rtf.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// One line per paragraph: alignment, indents in twips, bullet, then each run
// as [font points flags #rrggbb] and its text.
std::string Resumen(const DocumentoRtf& d)
{
    std::string r;
    for (const auto& p : d.Parrafos) {
        r += "LRCJ"[static_cast<int>(p.Alin)];
        if (p.Izquierda || p.PrimeraLinea || p.Derecha)
            r += " li" + std::to_string(p.Izquierda) + " fi" + std::to_string(p.PrimeraLinea) + " ri" +
                 std::to_string(p.Derecha);
        if (p.Vinyeta)
            r += " *";
        r += ':';
        for (const auto& t : p.Tramos) {
            const auto& f = t.Formato;
            r += "[" + f.Fuente + " " + std::to_string(f.MediosPuntos / 2) + (f.MediosPuntos % 2 ? ".5" : "");
            if (f.Negrita)
                r += " B";
            if (f.Cursiva)
                r += " I";
            if (f.Subrayado)
                r += " U";
            if (f.Color >= 0) {
                char c[16];
                std::snprintf(c, sizeof c, " #%02x%02x%02x", f.Color & 0xFF, (f.Color >> 8) & 0xFF, (f.Color >> 16) & 0xFF);
                r += c;
            }
            r += "]" + t.Texto;
        }
        r += "\n";
    }
    return r;
}

TramoTexto T(std::string texto, std::string fuente = "Arial", int medios = 24, bool b = false, bool i = false,
             bool u = false, int32_t color = -1)
{
    return {std::move(texto), FormatoTexto{std::move(fuente), medios, b, i, u, color}};
}

Parrafo P(std::vector<TramoTexto> tramos, Alineacion a = Alineacion::Izquierda, int32_t li = 0, int32_t fi = 0,
          int32_t ri = 0, bool vinyeta = false)
{
    Parrafo p;
    p.Alin = a;
    p.Izquierda = li;
    p.PrimeraLinea = fi;
    p.Derecha = ri;
    p.Vinyeta = vinyeta;
    p.Tramos = std::move(tramos);
    return p;
}

TEST(Rtf, LosAtributosSobrevivenEscribirLeerEscribir)
{
    struct Caso {
        const char* nombre;
        DocumentoRtf doc;
    };
    const Caso casos[] = {
        {"vacío", {{P({})}}},
        {"estilos y tamaños",
         {{P({T("normal "), T("negrita", "Arial", 24, true), T(" cursiva", "Arial", 21, false, true),
              T(" subrayado", "Times New Roman", 40, false, false, true), T(" todo", "Courier New", 17, true, true, true)})}}},
        {"colores, el mismo en dos fuentes",
         {{P({T("rojo", "Arial", 24, false, false, false, 0x0000FF), T("azul", "Verdana", 24, false, false, false, 0xFF0000),
              T("rojo otra vez", "Verdana", 24, false, false, false, 0x0000FF), T("negro", "Arial", 24, false, false, false, 0)})}}},
        {"alineaciones, sangrías y viñetas",
         {{P({T("centro")}, Alineacion::Centro), P({T("derecha")}, Alineacion::Derecha, 0, 0, 567),
           P({T("justificado")}, Alineacion::Justificada, 1440, -720, 0),
           P({T("uno")}, Alineacion::Izquierda, 720, -360, 0, true), P({T("dos")}, Alineacion::Izquierda, 720, -360, 0, true),
           P({}), P({T("después de una línea vacía")}, Alineacion::Izquierda, 0, 360)}}},
        {"caracteres que RTF escapa",
         {{P({T("llaves {} y barra \\ y tab\tfin"), T("año € “comillas” — ñ ü", "Arial", 24, true)}),
           P({T("línea\u2028partida"), T("中文 😀 ∑", "SimSun")})}}},
        {"nombres de fuente raros", {{P({T("x", "Fuente {rara} \\ é"), T("y", "")})}}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        const std::string w1 = EscribirRtf(c.doc);
        EXPECT_TRUE(EsRtf(w1));
        const DocumentoRtf leido = LeerRtf(w1);
        EXPECT_EQ(Resumen(leido), Resumen(c.doc));
        EXPECT_EQ(leido, c.doc);
        EXPECT_EQ(EscribirRtf(leido), w1);
    }
}

TEST(Rtf, EscribeCodigosDePagina1252YUnicode)
{
    const std::string w = EscribirRtf({{P({T("é€中😀{")})}});
    EXPECT_NE(w.find("{\\rtf1\\ansi\\ansicpg1252"), std::string::npos);
    EXPECT_NE(w.find("\\'e9\\'80\\u20013?\\u-10179?\\u-8704?\\{"), std::string::npos) << w;
}

TEST(Rtf, LeeMuestrasDeProcesadoresDeTexto)
{
    struct Caso {
        const char* nombre;
        const char* rtf;
        const char* esperado;
    };
    const Caso casos[] = {
        {"editor sencillo de sistema",
         R"({\rtf1\ansi\ansicpg1252\deff0\nouicompat\deflang3082{\fonttbl{\f0\fnil\fcharset0 Calibri;}{\f1\fnil\fcharset2 Symbol;}}
{\colortbl ;\red255\green0\blue0;}
{\*\generator Riched20 10.0.19041}\viewkind4\uc1 
\pard\sa200\sl276\slmult1\qc\b\f0\fs22\lang10 T\'edtulo\b0\par
\pard\sa200\sl276\slmult1\cf1\i rojo\cf0\i0  normal\par
\pard{\pntext\f1\'B7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'B7}}\fi-360\li720\sa200\sl276\slmult1 uno\par
}
)",
         "C:[Calibri 11 B]Título\n"
         "L:[Calibri 11 I #ff0000]rojo[Calibri 11] normal\n"
         "L li720 fi-360 ri0 *:[Calibri 11]uno\n"},
        {"procesador de oficina con estilos, listas, campos e información",
         R"({\rtf1\adeflang1025\ansi\ansicpg1252\uc1\adeff31507\deff0\stshfdbch31505\deflang3082{\fonttbl{\f0\fbidi \froman\fcharset0\fprq2{\*\panose 02020603050405020304}Times New Roman;}{\f3\fbidi \froman\fcharset2\fprq2{\*\panose 05050102010706020507}Symbol;}
{\f37\fbidi \fswiss\fcharset0\fprq2{\*\panose 020f0502020204030204}Calibri;}}{\colortbl;\red0\green0\blue0;\red0\green0\blue255;}
{\stylesheet{\ql \li0\ri0\widctlpar\wrapdefault\rin0\lin0\itap0 \rtlch\fcs1 \af0\afs24\alang1025 \ltrch\fcs0 \fs24\lang3082\snext0 \sqformat \spriority0 Normal;}}
{\*\listtable{\list\listtemplateid-1{\listlevel\levelnfc23\leveljc0\levelfollow0\levelstartat1{\leveltext\leveltemplateid201981953\'01\u-3913 ?;}{\levelnumbers;}\f3\fbias0 \fi-360\li720\lin720 }{\listname ;}\listid1}}
{\*\listoverridetable{\listoverride\listid1\listoverridecount0\ls1}}
{\info{\title Nota}{\author Ana}{\creatim\yr2024\mo3\dy5\hr10\min2}}
{\*\rsidtbl \rsid1}{\*\generator Microsoft Word 16.0;}
\paperw11906\paperh16838\margl1701\margr1701\margt1417\margb1417
\pard\plain \ltrpar\s0\qj \li0\ri0\widctlpar\rin0\lin0\itap0 \rtlch\fcs1 \af0\afs24 \ltrch\fcs0 \f37\fs24\lang3082 {\rtlch\fcs1 \af0 \ltrch\fcs0 \b\insrsid1 Coste:}{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1  1000 \u8364\'80 \u8805\'3f 5}{\rtlch \ltrch\insrsid1 \par }
{\listtext\pard\plain\ltrpar \rtlch\fcs1 \af0 \ltrch\fcs0 \f3\fs24\insrsid1 \loch\af3\dbch\af0\hich\f3 \'b7\tab}\pard\plain \ltrpar\s0\fi-360\li720\ri0\widctlpar\ls1\rin0\lin720\itap0 \f37\fs24 {\field{\*\fldinst {\insrsid1 HYPERLINK "http://x" }}{\fldrslt {\cf2\ul\insrsid1 enlace}}}\sectd \par }
)",
         "J:[Calibri 12 B]Coste:[Calibri 12] 1000 € ≥ 5\n"
         "L li720 fi-360 ri0 *:[Calibri 12 U #0000ff]enlace\n"},
        {"paquete de oficina libre",
         "{\\rtf1\\ansi\\deff3\\adeflang1025\n"
         R"({\fonttbl{\f0\froman\fprq2\fcharset0 Times New Roman;}{\f1\froman\fprq2\fcharset2 Symbol;}{\f2\fswiss\fprq2\fcharset0 Arial;}{\f3\froman\fprq2\fcharset0 Liberation Serif{\*\falt Times New Roman};}}
{\colortbl;\red0\green0\blue0;\red201\green33\blue30;}
{\stylesheet{\s0\snext0\hich\af3\dbch\af5\loch\f3\fs24\lang3082 Normal;}}{\*\generator LibreOffice/7.4$Linux_X86_64}{\info{\creatim\yr2024\mo1\dy2\hr3\min4}}{\*\userprops}\deftab709
{\*\pgdsctbl
{\pgdsc0\pgdscuse451\pgwsxn11906\pghsxn16838\pgdscnxt0 Default Page Style;}}
\formshade{\*\pgdscno0}\paperh16838\paperw11906\sectd\sbknone\pgndec
{\*\ftnsep\chftnsep}\pgndec\pard\plain \s0\hich\af3\dbch\af5\loch\f3\fs24\lang3082\qr\ri567\li0\lin0\rin567\fi0{\cf2\i\hich\af3\dbch\af5\rtlch \ltrch\loch\fs28\loch\f2
Decisi\u243\'f3n}{\i0\hich\af3\dbch\af5\rtlch \ltrch\loch
 final}
\par })",
         "R li0 fi0 ri567:[Arial 14 I #c9211e]Decisión[Liberation Serif 12] final\n"},
        {"editor de texto de escritorio con párrafos por barra y salto",
         "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2709\n"
         R"(\cocoatextscaling0\cocoaplatform0{\fonttbl\f0\fswiss\fcharset0 Helvetica;\f1\fswiss\fcharset0 Helvetica-Bold;}
{\colortbl;\red255\green255\blue255;}
{\*\expandedcolortbl;;}
\paperw11900\paperh16840\margl1440\margr1440\vieww11520\viewh8400\viewkind0
\pard\tx566\tx1133\pardirnatural\partightenfactor0

\f0\fs24 \cf0 Primera l\'ednea\
\
\f1\b Negrita
\f0\b0 \'a0y m\'e1s})",
         "L:[Helvetica 12]Primera línea\n"
         "L:\n"
         "L:[Helvetica-Bold 12 B]Negrita[Helvetica 12]\u00a0y más\n"},
        {"grupos anidados, destinos desconocidos, palabras desconocidas y escapes",
         R"({\rtf1{\fonttbl{\f0 Arial;}}{\*\destinoraro {anidado {\b m\'e1s} texto}}\foo123 a{\b b{\i c}d}e\'e9\u8364?\{\}\\\~\tab f\line g\emdash\-h\_})",
         "L:[Arial 12]a[Arial 12 B]b[Arial 12 B I]c[Arial 12 B]d[Arial 12]eé€{}\\\u00a0\tf\u2028g—h\u2011\n"},
        {"\\uc con otros recuentos y pares sustitutos",
         R"({\rtf1\uc2 \u8364XYz{\uc0\u8364 w}{\uc1\u-10179?\u-8704?\u-10179\'3f x}})",
         "L:[ 12]€z€w😀 x\n"},
        {"datos binarios que parecen llaves", R"({\rtf1 a{\pict\bin4 }}{{}b})", "L:[ 12]ab\n"},
        {"fichero truncado tras un párrafo",
         R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard\qc\b Hola\par Mun)",
         "C:[Arial 12 B]Hola\nC:[Arial 12 B]Mun\n"},
        {"truncado dentro de un escape", R"({\rtf1 abc\'e)", "L:[ 12]abc\n"},
        {"nombre de fuente con caracteres que el control se reserva",
         R"({\rtf1{\fonttbl{\f0 Ari\u65532?al \u65532?;}}x})", "L:[Arial 12]x\n"},
        {"truncado dentro de la tabla de fuentes", R"({\rtf1{\fonttbl{\f0 Ari)", "L:\n"},
        {"llaves de cierre de más y valores desmesurados",
         R"({\rtf1\fs999999999999\li-99999999999 x}}} y\par})",
         "L:[ 1638]x[ 12] y\n"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        const DocumentoRtf d = LeerDocumentoEditor(c.rtf);
        EXPECT_EQ(Resumen(d), c.esperado);
        // Whatever was read writes back stably.
        const std::string w = EscribirRtf(d);
        EXPECT_EQ(LeerRtf(w), d);
        EXPECT_EQ(EscribirRtf(LeerRtf(w)), w);
    }
}

TEST(Rtf, LoQueNoEsRtfSeLeeComoTextoPlano)
{
    struct Caso {
        const char* nombre;
        std::string bytes;
        const char* esperado;
    };
    const Caso casos[] = {
        {"líneas de Windows", "Hola\r\nMundo\r\n", "L:[ 12]Hola\nL:[ 12]Mundo\nL:\n"},
        {"finales mezclados", "a\rb\nc", "L:[ 12]a\nL:[ 12]b\nL:[ 12]c\n"},
        {"UTF-8", "café\tté", "L:[ 12]café\tté\n"},
        {"Windows-1252", "caf\xe9 \x80", "L:[ 12]café €\n"},
        {"vacío", "", "L:\n"},
        {"RTF que no empieza en el primer byte", " {\\rtf1 x}", "L:[ 12] {\\rtf1 x}\n"},
        {"caracteres de control", std::string("a\0b\x01" "c", 5), "L:[ 12]abc\n"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        EXPECT_FALSE(EsRtf(c.bytes));
        const DocumentoRtf d = LeerDocumentoEditor(c.bytes);
        EXPECT_EQ(Resumen(d), c.esperado);
        EXPECT_EQ(LeerRtf(EscribirRtf(d)), d);
    }
}

TEST(ReglaEditor, PosicionesYSoltarMarcas)
{
    // anchoRegla 500, markers 9 pixels wide (desplazamiento 4).
    struct Caso {
        SangriasPuntos s;
        int primera, izquierda, derecha;
    };
    const Caso casos[] = {
        {{0, 0, 0}, 2, 2, 486},
        {{36, -18, 9}, 50, 26, 474},
        {{18, 18, 0}, 26, 50, 486},
        {{-3, 0, -6}, -2, -2, 494},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.primera);
        EXPECT_EQ(PosicionMarcaPrimera(c.s), c.primera);
        EXPECT_EQ(PosicionMarcaIzquierda(c.s), c.izquierda);
        EXPECT_EQ(PosicionMarcaDerecha(c.s, 500), c.derecha);
        SangriasPuntos vuelta{};
        SoltarMarcaPrimera(vuelta, c.primera, c.izquierda, 4);
        SoltarMarcaDerecha(vuelta, c.derecha, 4, 500);
        EXPECT_EQ(vuelta, c.s);
    }
    // Truncation: one point is below the ruler's resolution.
    SangriasPuntos s{1, 0, 0};
    SoltarMarcaPrimera(s, PosicionMarcaPrimera(s), PosicionMarcaIzquierda(s), 4);
    EXPECT_EQ(s, (SangriasPuntos{0, 0, 0}));
    // Moving the first-line marker alone keeps the other lines where they were.
    SangriasPuntos t{0, 0, 0};
    SoltarMarcaPrimera(t, 50, PosicionMarcaIzquierda(t), 4);
    EXPECT_EQ(t, (SangriasPuntos{36, -36, 0}));
}

TEST(ReglaEditor, SangriasEnTwips)
{
    struct Caso {
        int32_t li, fi, ri;
        SangriasPuntos s;
    };
    const Caso casos[] = {
        {0, 0, 0, {0, 0, 0}},
        {720, -360, 0, {18, 18, 0}},
        {0, 720, 567, {36, -36, 28}},
        {1440, 0, -200, {72, 0, -10}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.li);
        EXPECT_EQ(SangriasDesdeTwips(c.li, c.fi, c.ri), c.s);
        int32_t li = 0, fi = 0, ri = 0;
        SangriasATwips(c.s, li, fi, ri);
        EXPECT_EQ(SangriasDesdeTwips(li, fi, ri), c.s);
    }
}

TEST(ReglaEditor, TextosDeEstadoYTitulo)
{
    EXPECT_EQ(TextoPosicionCursor(3, 1), "Linea:   3   Columna:   1");
    EXPECT_EQ(TextoPosicionCursor(1234, 56), "Linea: 1234   Columna:  56");
    EXPECT_EQ(TituloEditor("Sin título", "NEMOR"), "Sin título - NEMOR");
    EXPECT_EQ(TituloEditor("/home/ana/notas/caso.rtf", "NEMOR"), "caso.rtf - NEMOR");
    EXPECT_EQ(TituloEditor("C:\\notas\\caso.rtf", "NEMOR"), "caso.rtf - NEMOR");
}

class FicheroEditorTest : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("nemor_editor_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir / "a");
        fs::create_directories(dir / "b");
    }
    void TearDown() override { fs::remove_all(dir); }
    static void Escribe(const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }
};

TEST_F(FicheroEditorTest, GuardarYCargar)
{
    const std::string ruta = (dir / "a" / "nota.rtf").string();
    const DocumentoRtf doc{{P({T("hola", "Arial", 24, true)})}};
    GuardarFicheroEditor(ruta, EscribirRtf(doc));
    EXPECT_EQ(CargarFicheroEditor(ruta), doc);
    // Saving again replaces the file and leaves no temporary behind.
    GuardarFicheroEditor(ruta, EscribirRtf({{P({T("otra")})}}));
    EXPECT_EQ(Resumen(CargarFicheroEditor(ruta)), "L:[Arial 12]otra\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "a"), fs::directory_iterator()), 1);

    // A folder that does not exist: the error, and the old file untouched elsewhere.
    const std::string mala = (dir / "no" / "nota.rtf").string();
    try {
        GuardarFicheroEditor(mala, "x");
        FAIL() << "se esperaba un error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + mala + "\"", 0), 0u) << e.what();
    }
    EXPECT_FALSE(fs::exists(dir / "no"));
    try {
        CargarFicheroEditor(mala);
        FAIL() << "se esperaba un error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + mala + "\"", 0), 0u) << e.what();
    }
}

} // namespace
