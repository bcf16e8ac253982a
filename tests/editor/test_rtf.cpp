#include "common/Errores.h"
#include "editor/FicheroEditor.h"
#include "editor/Regla.h"
#include "editor/Rtf.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

std::string Hexa(int32_t c)
{
    char x[16];
    std::snprintf(x, sizeof x, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return x;
}

// One line per paragraph: alignment, indents in twips, list, spacing, line
// spacing, shading and tab stops, then each run as [font points flags] and its
// text, or a picture as {type WxH goal WxH scale X%xY% bytes}. The flags: B
// bold, I italic, U underline (U. dotted, U- dashed, U-. dash-dot, U-.. dash-dot-dot,
// U~ wave), S strike-out, ^ superscript, _ subscript, CAPS, SC small capitals,
// spN letter spacing, #rrggbb colour, bg#rrggbb highlight.
std::string Resumen(const DocumentoRtf& d)
{
    std::string r;
    if (d.TabDefecto != 720)
        r += "deftab" + std::to_string(d.TabDefecto) + "\n";
    for (const auto& p : d.Parrafos) {
        r += "LRCJ"[static_cast<int>(p.Alin)];
        if (p.Izquierda || p.PrimeraLinea || p.Derecha)
            r += " li" + std::to_string(p.Izquierda) + " fi" + std::to_string(p.PrimeraLinea) + " ri" +
                 std::to_string(p.Derecha);
        if (p.Lista != TipoLista::Ninguna) {
            r += std::string(" ") + "*1aAiI"[static_cast<int>(p.Lista) - 1];
            if (p.NivelLista)
                r += "/" + std::to_string(p.NivelLista);
        }
        if (p.Antes || p.Despues)
            r += " sb" + std::to_string(p.Antes) + " sa" + std::to_string(p.Despues);
        if (p.Interlineado)
            r += " sl" + std::to_string(p.Interlineado) + (p.InterlineadoMultiple ? "x" : "");
        if (p.Fondo >= 0)
            r += " fondo" + Hexa(p.Fondo);
        if (!p.Tabuladores.empty()) {
            r += " tabs";
            for (const auto& t : p.Tabuladores)
                r += std::string(" ") + "LCRD"[static_cast<int>(t.Tipo)] + std::to_string(t.Posicion);
        }
        r += ':';
        for (const auto& t : p.Tramos) {
            const auto& f = t.Formato;
            r += "[" + f.Fuente + " " + std::to_string(f.MediosPuntos / 2) + (f.MediosPuntos % 2 ? ".5" : "");
            if (f.Negrita)
                r += " B";
            if (f.Cursiva)
                r += " I";
            if (f.Subrayado) {
                static const char* const estilos[] = {"U", "U.", "U-", "U-.", "U-..", "U~"};
                r += std::string(" ") + estilos[static_cast<int>(f.Estilo)];
            }
            if (f.Tachado)
                r += " S";
            if (f.Posicion != PosicionVertical::Normal)
                r += f.Posicion == PosicionVertical::Superindice ? " ^" : " _";
            if (f.Mayus != Mayusculas::No)
                r += f.Mayus == Mayusculas::Todas ? " CAPS" : " SC";
            if (f.Espaciado)
                r += " sp" + std::to_string(f.Espaciado);
            if (f.Color >= 0)
                r += " " + Hexa(f.Color);
            if (f.Fondo >= 0)
                r += " bg" + Hexa(f.Fondo);
            r += "]";
            if (const auto& im = t.Imagen)
                r += std::string("{") + (im->Tipo == TipoImagen::Png ? "png " : "jpeg ") + std::to_string(im->Ancho) +
                     "x" + std::to_string(im->Alto) + " goal " + std::to_string(im->AnchoDeseado) + "x" +
                     std::to_string(im->AltoDeseado) + " scale " + std::to_string(im->EscalaX) + "%x" +
                     std::to_string(im->EscalaY) + "% " + std::to_string(im->Datos.size()) + "}";
            r += t.Texto;
        }
        r += "\n";
    }
    return r;
}

} // namespace

// Failures show documents as their summaries.
void PrintTo(const DocumentoRtf& d, std::ostream* os) { *os << "\n" << Resumen(d); }

namespace {

FormatoTexto F(std::string fuente = "Arial", int medios = 24, bool b = false, bool i = false, bool u = false,
               int32_t color = -1)
{
    FormatoTexto f;
    f.Fuente = std::move(fuente);
    f.MediosPuntos = medios;
    f.Negrita = b;
    f.Cursiva = i;
    f.Subrayado = u;
    f.Color = color;
    return f;
}

TramoTexto T(std::string texto, std::string fuente = "Arial", int medios = 24, bool b = false, bool i = false,
             bool u = false, int32_t color = -1)
{
    return {std::move(texto), F(std::move(fuente), medios, b, i, u, color), std::nullopt};
}

// A run in Arial 12 with one attribute changed.
template <class Cambio> TramoTexto Con(std::string texto, Cambio cambio)
{
    TramoTexto t = T(std::move(texto));
    cambio(t.Formato);
    return t;
}

// A picture run; the bytes need not be a real picture for the file's sake.
TramoTexto Imagen(TipoImagen tipo, std::string datos, int32_t w, int32_t h, int32_t gw, int32_t gh, int32_t ex = 100,
                  int32_t ey = 100)
{
    ImagenRtf im;
    im.Tipo = tipo;
    im.Datos = std::move(datos);
    im.Ancho = w;
    im.Alto = h;
    im.AnchoDeseado = gw;
    im.AltoDeseado = gh;
    im.EscalaX = ex;
    im.EscalaY = ey;
    return {std::string(), F(), std::move(im)};
}

Parrafo P(std::vector<TramoTexto> tramos, Alineacion a = Alineacion::Izquierda, int32_t li = 0, int32_t fi = 0,
          int32_t ri = 0, TipoLista lista = TipoLista::Ninguna)
{
    Parrafo p;
    p.Alin = a;
    p.Izquierda = li;
    p.PrimeraLinea = fi;
    p.Derecha = ri;
    p.Lista = lista;
    p.Tramos = std::move(tramos);
    return p;
}

// A paragraph of one Arial 12 run with one paragraph attribute changed.
template <class Cambio> Parrafo ConP(std::string texto, Cambio cambio)
{
    Parrafo p = P({T(std::move(texto))});
    cambio(p);
    return p;
}

DocumentoRtf Doc(std::vector<Parrafo> parrafos)
{
    DocumentoRtf d;
    d.Parrafos = std::move(parrafos);
    return d;
}

// Every attribute of the model, written, read back and written again: the
// same document and the same bytes, in the control words other word
// processors read.
TEST(Rtf, LosAtributosSobrevivenEscribirLeerEscribir)
{
    const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + std::string("\0\x01\xfe\xff{}\\", 7);
    const std::string jpeg = std::string("\xff\xd8\xff\xe0", 4) + std::string(300, '\xab');
    struct Caso {
        const char* nombre;
        DocumentoRtf doc;
        std::vector<const char*> palabras; // what the file must say
    };
    const Caso casos[] = {
        {"vacío", Doc({P({})}), {}},
        {"estilos y tamaños",
         Doc({P({T("normal "), T("negrita", "Arial", 24, true), T(" cursiva", "Arial", 21, false, true),
                 T(" subrayado", "Times New Roman", 40, false, false, true), T(" todo", "Courier New", 17, true, true, true)})}),
         {"\\b ", "\\i ", "\\fs21", "\\ul "}},
        {"colores, el mismo en dos fuentes",
         Doc({P({T("rojo", "Arial", 24, false, false, false, 0x0000FF), T("azul", "Verdana", 24, false, false, false, 0xFF0000),
                 T("rojo otra vez", "Verdana", 24, false, false, false, 0x0000FF), T("negro", "Arial", 24, false, false, false, 0)})}),
         {"\\red255\\green0\\blue0;", "\\cf1"}},
        {"subrayados",
         Doc({P({Con("puntos",
                     [](FormatoTexto& f) {
                         f.Subrayado = true;
                         f.Estilo = EstiloSubrayado::Puntos;
                     }),
                 Con("guiones",
                     [](FormatoTexto& f) {
                         f.Subrayado = true;
                         f.Estilo = EstiloSubrayado::Guiones;
                     }),
                 Con("punto y guion",
                     [](FormatoTexto& f) {
                         f.Subrayado = true;
                         f.Estilo = EstiloSubrayado::PuntoGuion;
                     }),
                 Con("dos puntos y guion",
                     [](FormatoTexto& f) {
                         f.Subrayado = true;
                         f.Estilo = EstiloSubrayado::PuntoPuntoGuion;
                     }),
                 Con("onda", [](FormatoTexto& f) {
                     f.Subrayado = true;
                     f.Estilo = EstiloSubrayado::Ondulado;
                 })})}),
         {"\\uld ", "\\uldash ", "\\uldashd ", "\\uldashdd ", "\\ulwave "}},
        {"tachado, índices, mayúsculas, espaciado y resaltado",
         Doc({P({Con("tachado", [](FormatoTexto& f) { f.Tachado = true; }),
                 Con("2", [](FormatoTexto& f) { f.Posicion = PosicionVertical::Superindice; }),
                 Con("i", [](FormatoTexto& f) { f.Posicion = PosicionVertical::Subindice; }),
                 Con("versalitas", [](FormatoTexto& f) { f.Mayus = Mayusculas::Versalitas; }),
                 Con("mayúsculas", [](FormatoTexto& f) { f.Mayus = Mayusculas::Todas; }),
                 Con("ancho", [](FormatoTexto& f) { f.Espaciado = 40; }),
                 Con("estrecho", [](FormatoTexto& f) { f.Espaciado = -20; }),
                 Con("resaltado", [](FormatoTexto& f) { f.Fondo = 0x00FFFF; }),
                 Con("rojo sobre amarillo", [](FormatoTexto& f) {
                     f.Color = 0x0000FF;
                     f.Fondo = 0x00FFFF;
                 })})}),
         {"\\strike ", "\\super ", "\\sub ", "\\scaps ", "\\caps ", "\\expndtw40 ", "\\expndtw-20 ", "\\highlight1 ",
          "\\cf2\\highlight1 "}},
        {"alineaciones, sangrías y listas",
         Doc({P({T("centro")}, Alineacion::Centro), P({T("derecha")}, Alineacion::Derecha, 0, 0, 567),
              P({T("justificado")}, Alineacion::Justificada, 1440, -720, 0),
              P({T("uno")}, Alineacion::Izquierda, 720, -360, 0, TipoLista::Vinyeta),
              P({T("dos")}, Alineacion::Izquierda, 720, -360, 0, TipoLista::Vinyeta), P({}),
              P({T("después de una línea vacía")}, Alineacion::Izquierda, 0, 360),
              P({T("primero")}, Alineacion::Izquierda, 720, -360, 0, TipoLista::Decimal),
              ConP("dentro",
                   [](Parrafo& p) {
                       p.Lista = TipoLista::LetraMinuscula;
                       p.NivelLista = 1;
                   }),
              P({T("segundo")}, Alineacion::Izquierda, 720, -360, 0, TipoLista::Decimal),
              P({T("I")}, Alineacion::Izquierda, 0, 0, 0, TipoLista::RomanoMayuscula),
              P({T("i")}, Alineacion::Izquierda, 0, 0, 0, TipoLista::RomanoMinuscula),
              P({T("A")}, Alineacion::Izquierda, 0, 0, 0, TipoLista::LetraMayuscula)}),
         {"\\qc", "\\qr", "\\qj", "\\ri567", "\\fi-360\\li720", "\\pnlvlblt", "{\\pntext 1.\\tab}", "\\pndec",
          "{\\pntext a.\\tab}", "\\pnlcltr", "\\ilvl1", "{\\pntext 2.\\tab}", "\\pnucrm", "\\pnlcrm", "\\pnucltr"}},
        {"espacios, interlineado, sombreado y tabuladores",
         Doc({ConP("antes y después",
                   [](Parrafo& p) {
                       p.Antes = 240;
                       p.Despues = 120;
                   }),
              ConP("uno y medio",
                   [](Parrafo& p) {
                       p.Interlineado = 360;
                       p.InterlineadoMultiple = true;
                   }),
              ConP("al menos", [](Parrafo& p) { p.Interlineado = 300; }),
              ConP("exacto", [](Parrafo& p) { p.Interlineado = -280; }),
              ConP("sombreado", [](Parrafo& p) { p.Fondo = 0xC0C0C0; }),
              ConP("a\tb\tc\td", [](Parrafo& p) {
                  p.Tabuladores = {{1440, TipoTabulador::Izquierda},
                                   {2880, TipoTabulador::Centro},
                                   {4320, TipoTabulador::Derecha},
                                   {5760, TipoTabulador::Decimal}};
              })}),
         {"\\sb240\\sa120", "\\sl360\\slmult1", "\\sl300\\slmult0", "\\sl-280\\slmult0", "\\cbpat1",
          "\\tx1440\\tqc\\tx2880\\tqr\\tx4320\\tqdec\\tx5760"}},
        {"tabuladores por defecto",
         [] {
             DocumentoRtf d = Doc({P({T("a\tb")})});
             d.TabDefecto = 1134;
             return d;
         }(),
         {"\\deftab1134"}},
        {"imágenes",
         Doc({P({T("antes "), Imagen(TipoImagen::Png, png, 64, 32, 960, 480), T(" entre "),
                 Imagen(TipoImagen::Jpeg, jpeg, 2646, 1764, 1500, 1000, 50, 75),
                 Imagen(TipoImagen::Png, png, 0, 0, 0, 0)}),
              P({Imagen(TipoImagen::Png, png, 10, 10, 0, 0, 200, 200)})}),
         {"{\\pict\\picw64\\pich32\\picwgoal960\\pichgoal480\\pngblip\r\n89504e470d0a1a0a0001feff7b7d5c}",
          "{\\pict\\picscalex50\\picscaley75\\picw2646\\pich1764\\picwgoal1500\\pichgoal1000\\jpegblip\r\nffd8ffe0abab",
          "{\\pict\\pngblip\r\n"}},
        {"caracteres que RTF escapa",
         Doc({P({T("llaves {} y barra \\ y tab\tfin"), T("año € “comillas” — ñ ü", "Arial", 24, true)}),
              P({T("línea\u2028partida"), T("中文 😀 ∑", "SimSun")})}),
         {}},
        {"nombres de fuente raros", Doc({P({T("x", "Fuente {rara} \\ é"), T("y", "")})}), {}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        const std::string w1 = EscribirRtf(c.doc);
        EXPECT_TRUE(EsRtf(w1));
        const DocumentoRtf leido = LeerRtf(w1);
        EXPECT_EQ(Resumen(leido), Resumen(c.doc));
        EXPECT_EQ(leido, c.doc);
        EXPECT_EQ(EscribirRtf(leido), w1);
        for (const char* palabra : c.palabras)
            EXPECT_NE(w1.find(palabra), std::string::npos) << palabra << "\n" << w1;
    }
}

TEST(Rtf, EscribeCodigosDePagina1252YUnicode)
{
    const std::string w = EscribirRtf(Doc({P({T("é€中😀{")})}));
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
         "C sb0 sa200 sl276x:[Calibri 11 B]Título\n"
         "L sb0 sa200 sl276x:[Calibri 11 I #ff0000]rojo[Calibri 11] normal\n"
         "L li720 fi-360 ri0 * sb0 sa200 sl276x:[Calibri 11]uno\n"},
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
         "deftab709\n"
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
         "L tabs L566 L1133:[Helvetica 12]Primera línea\n"
         "L tabs L566 L1133:\n"
         "L tabs L566 L1133:[Helvetica-Bold 12 B]Negrita[Helvetica 12]\u00a0y más\n"},
        {"listas numeradas de la tabla de listas, con niveles",
         R"({\rtf1\ansi{\fonttbl{\f0 Calibri;}}
{\*\listtable{\list\listtemplateid1{\listlevel\levelnfc0\levelstartat1{\leveltext\'02\'00.;}{\levelnumbers\'01;}\fi-360\li720}{\listlevel\levelnfc4{\leveltext\'02\'01);}{\levelnumbers\'01;}\fi-360\li1440}\listid7}
{\list\listtemplateid2{\listlevel\levelnfcn23{\leveltext\'01\u-3913 ?;}}{\listname Vi\'f1etas;}\listid8}}
{\*\listoverridetable{\listoverride\listid7\listoverridecount0\ls1}{\listoverride\listid8\listoverridecount0\ls2}}
{\listtext 1.\tab}\pard\fi-360\li720\ls1\ilvl0 uno\par
{\listtext a)\tab}\pard\fi-360\li1440\ls1\ilvl1 dentro\par
{\listtext \'b7\tab}\pard\ls2 punto\par
\pard\ls9 sin tabla\par
\pard fin\par})",
         "L li720 fi-360 ri0 1:[Calibri 12]uno\n"
         "L li1440 fi-360 ri0 a/1:[Calibri 12]dentro\n"
         "L *:[Calibri 12]punto\n"
         "L *:[Calibri 12]sin tabla\n"
         "L:[Calibri 12]fin\n"},
        {"listas numeradas a la antigua",
         R"({\rtf1{\fonttbl{\f0 Arial;}}
\pard{\pntext\f0 1.\tab}{\*\pn\pnlvlbody\pnf0\pnindent0\pnstart1\pndec{\pntxta.}}\fi-360\li720 uno\par
\pard{\pntext\f0 I.\tab}{\*\pn\pnlvlbody\pnf0\pnindent0\pnstart1\pnucrm{\pntxta.}}\fi-360\li720 romano\par
{\pntext\f0 b.\tab}{\*\pn\pnlcltr\pnlvlbody{\pntxta.}}letra\par
\pard{\*\pn\pnlvlcont}sigue\par})",
         "L li720 fi-360 ri0 1:[Arial 12]uno\n"
         "L li720 fi-360 ri0 I:[Arial 12]romano\n"
         "L li720 fi-360 ri0 a:[Arial 12]letra\n"
         "L:[Arial 12]sigue\n"},
        {"atributos de carácter de un procesador de oficina",
         R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green255\blue0;\red0\green255\blue0;}
{\strike tachado}{\striked1 doble}{\super 2}{\sub 2}{\up6 alto}{\dn4 bajo}{\super\nosupersub normal}
{\caps may}{\scaps ver}{\caps\scaps0 sigue}{\highlight1 res}{\chcbpat2 som}{\cb1\highlight0 nada}
{\expnd4 ancho}{\expndtw-10 estrecho}{\ulwave onda}{\uldb doble}{\ulthd gruesos}{\uldash\ul0 no}{\strike\strike0 no}{\ulc1 color de subrayado}\par})",
         "L:[Arial 12 S]tachadodoble[Arial 12 ^]2[Arial 12 _]2[Arial 12 ^]alto[Arial 12 _]bajo[Arial 12]normal"
         "[Arial 12 CAPS]may[Arial 12 SC]ver[Arial 12 CAPS]sigue[Arial 12 bg#ffff00]res[Arial 12 bg#00ff00]som"
         "[Arial 12]nada[Arial 12 sp20]ancho[Arial 12 sp-10]estrecho[Arial 12 U~]onda[Arial 12 U]doble"
         "[Arial 12 U.]gruesos[Arial 12]nonocolor de subrayado\n"},
        {"espacios, interlineado, sombreado y tabuladores de párrafo",
         R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red192\green192\blue192;}
\pard\sb120\sa240\sl-300\slmult0 exacto\par
\pard\sl360\slmult1\cbpat1 uno y medio\par
\pard\sl0\slmult1 sencillo\par
\pard\tqr\tldot\tx5000\tb3000\tqc\tx2000\tx100 a\tab b\par
\pard\tx1\tx2\tx3\tx4\tx5\tx6\tx7\tx8\tx9\tx10\tx11\tx12\tx13\tx14\tx15\tx16\tx17\tx18\tx19\tx20\tx21\tx22\tx23\tx24\tx25\tx26\tx27\tx28\tx29\tx30\tx31\tx32\tx33\tx34\tx35\tx36\tx37\tx38\tx39\tx40\tx41\tx42\tx43\tx44\tx45\tx46\tx47\tx48\tx49\tx50\tx51\tx52\tx53\tx54\tx55\tx56\tx57\tx58\tx59\tx60\tx61\tx62\tx63\tx64\tx65\tx-5 muchos\par})",
         "L sb120 sa240 sl-300:[Arial 12]exacto\n"
         "L sl360x fondo#c0c0c0:[Arial 12]uno y medio\n"
         "L:[Arial 12]sencillo\n"
         "L tabs R5000 C2000 L100:[Arial 12]a\tb\n"
         "L tabs L1 L2 L3 L4 L5 L6 L7 L8 L9 L10 L11 L12 L13 L14 L15 L16 L17 L18 L19 L20 L21 L22 L23 L24 L25 L26 "
         "L27 L28 L29 L30 L31 L32 L33 L34 L35 L36 L37 L38 L39 L40 L41 L42 L43 L44 L45 L46 L47 L48 L49 L50 L51 L52 "
         "L53 L54 L55 L56 L57 L58 L59 L60 L61 L62 L63 L64:[Arial 12]muchos\n"},
        {"imágenes de un procesador de oficina: la PNG sí, su copia en metarchivo no",
         R"({\rtf1{\fonttbl{\f0 Arial;}}
\pard a {\*\shppict{\pict{\*\picprop\shplid1025{\sp{\sn shapeType}{\sv 75}}}\picscalex50\picscaley50\piccropl0\picw2646\pich1764\picwgoal1500\pichgoal1000\pngblip\bliptag-1{\*\blipuid 0123abcd}89504e47
0d0a1a0a}}{\nonshppict{\pict\wmetafile8\picw2646\pich1764 0100090000}} b\par
\pard{\pict\picw10\pich10\picwgoal150\pichgoal150\jpegblip ffd8 ffe0 00}{\pict\pngblip\bin4 {\}}}\par
{\pict\wmetafile8 0102}{\pict 0011}{\pict\emfblip\pngblip 00}{\pict\pngblip 8950 4}{\pict\pngblip}{\header {\pict\pngblip 00}}x\par})",
         "L:[Arial 12]a [Arial 12]{png 2646x1764 goal 1500x1000 scale 50%x50% 8}[Arial 12] b\n"
         "L:[Arial 12]{jpeg 10x10 goal 150x150 scale 100%x100% 5}[Arial 12]{png 0x0 goal 0x0 scale 100%x100% 4}\n"
         "L:[Arial 12]{png 0x0 goal 0x0 scale 100%x100% 2}[Arial 12]x\n"},
        {"tamaños de imagen desmesurados",
         R"({\rtf1{\pict\picw-5\pich99999999999\picwgoal-1\pichgoal2000000\picscalex0\picscaley5000\pngblip 00}})",
         "L:[ 12]{png 0x126720 goal 0x126720 scale 100%x1000% 1}\n"},
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

std::string Hex(const std::string& bytes)
{
    std::string r;
    char x[4];
    for (unsigned char b : bytes) {
        std::snprintf(x, sizeof x, "%02x", b);
        r += x;
    }
    return r;
}

// Hostile files: pictures too large, binary runs longer than the file,
// groups deeper than anything real. Nothing grows without bound, the text
// around stays.
TEST(Rtf, EntradasHostilesNoAgotanNada)
{
    constexpr size_t kLimite = 16;
    struct Caso {
        const char* nombre;
        std::string rtf;
        const char* esperado;
    };
    const Caso casos[] = {
        {"imagen del tamaño del límite", "{\\rtf1 a{\\pict\\pngblip " + Hex(std::string(16, 'x')) + "}b}",
         "L:[ 12]a[ 12]{png 0x0 goal 0x0 scale 100%x100% 16}[ 12]b\n"},
        {"un byte más se descarta entera", "{\\rtf1 a{\\pict\\pngblip " + Hex(std::string(17, 'x')) + "}b}",
         "L:[ 12]ab\n"},
        {"binario más largo que el límite", "{\\rtf1 a{\\pict\\pngblip\\bin17 " + std::string(17, '{') + "}b}",
         "L:[ 12]ab\n"},
        {"binario y luego hexadecimal hasta el límite", "{\\rtf1 {\\pict\\jpegblip\\bin10 0123456789 ab cd}}",
         "L:[ 12]{jpeg 0x0 goal 0x0 scale 100%x100% 12}\n"},
        {"binario más largo que el fichero", "{\\rtf1 a{\\pict\\pngblip\\bin999999999999 xyz", "L:[ 12]a\n"},
        {"imagen a una profundidad posible", std::string(4000, '{') + "\\pict\\pngblip 00" + std::string(4000, '}') + "x",
         "L:[ 12]{png 0x0 goal 0x0 scale 100%x100% 1}[ 12]x\n"},
        {"imagen más honda que el límite", std::string(100000, '{') + "\\pict\\pngblip 00" + std::string(100000, '}') + "x",
         "L:[ 12]x\n"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        const DocumentoRtf d = LeerRtf(c.rtf, kLimite);
        EXPECT_EQ(Resumen(d), c.esperado);
        EXPECT_EQ(LeerRtf(EscribirRtf(d), kLimite), d);
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
    const DocumentoRtf doc = Doc({P({T("hola", "Arial", 24, true)})});
    GuardarFicheroEditor(ruta, EscribirRtf(doc));
    EXPECT_EQ(CargarFicheroEditor(ruta), doc);
    // Saving again replaces the file and leaves no temporary behind.
    GuardarFicheroEditor(ruta, EscribirRtf(Doc({P({T("otra")})})));
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

TEST(FicheroEditor, CarpetaDeLosDialogos)
{
    const std::set<std::string> carpetas = {"/home/ana/notas", "/home/ana/arboles", "/"};
    const auto esCarpeta = [&](const std::string& c) { return carpetas.count(c) > 0; };
    struct Caso {
        const char* nombre;
        const char* documento;
        const char* arbol;
        const char* esperado;
    };
    const Caso casos[] = {
        {"la de la nota enlazada", "/home/ana/notas/caso.rtf", "/home/ana/arboles/a.nmr", "/home/ana/notas"},
        {"sin nota, la del árbol", "", "/home/ana/arboles/a.nmr", "/home/ana/arboles"},
        {"la de la nota ya no existe", "/tmp/borrada/caso.rtf", "/home/ana/arboles/a.nmr", "/home/ana/arboles"},
        {"árbol sin título y sin nota: la casa", "", "", "/home/ana"},
        {"rutas de otro sistema o sin carpeta", "C:\\notas\\caso.rtf", "a.nmr", "/home/ana"},
        {"en la raíz", "/caso.rtf", "", "/"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(CarpetaDialogosEditor(c.documento, c.arbol, "/home/ana", esCarpeta), c.esperado);
    }
}

TEST_F(FicheroEditorTest, UnFicheroDemasiadoGrandeNoSeLee)
{
    // Sparse: the size is what counts, not the bytes.
    const fs::path ruta = dir / "a" / "enorme.rtf";
    Escribe(ruta, "{\\rtf1 x}");
    fs::resize_file(ruta, kFicheroEditorMaxBytes + 1);
    try {
        CargarFicheroEditor(ruta.string());
        FAIL() << "se esperaba un error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "El fichero \"" + ruta.string() +
                                             "\" es demasiado grande para el editor (más de 256 MB).");
    }
}

} // namespace
