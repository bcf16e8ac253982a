#pragma once
// Rich text without a toolkit: a document of paragraphs made of formatted
// runs and pictures, read from and written to RTF. The editor window maps it
// to its text control; keeping it here lets the reader be tested and fuzzed
// on its own.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class Alineacion : uint8_t { Izquierda, Derecha, Centro, Justificada };

// Underline patterns the text control can draw; the others read as Continuo.
enum class EstiloSubrayado : uint8_t { Continuo, Puntos, Guiones, PuntoGuion, PuntoPuntoGuion, Ondulado };
enum class PosicionVertical : uint8_t { Normal, Superindice, Subindice };
enum class Mayusculas : uint8_t { No, Todas, Versalitas };

struct FormatoTexto {
    std::string Fuente;       // face name; empty: the editor's default font
    int32_t MediosPuntos = 24; // size in half points
    bool Negrita = false;
    bool Cursiva = false;
    bool Subrayado = false;
    int32_t Color = -1;       // red in the low byte, then green, then blue; -1: automatic
    EstiloSubrayado Estilo = EstiloSubrayado::Continuo; // always Continuo when not underlined
    bool Tachado = false;
    PosicionVertical Posicion = PosicionVertical::Normal;
    int32_t Fondo = -1;       // highlight colour, as Color; -1: none
    Mayusculas Mayus = Mayusculas::No;
    int32_t Espaciado = 0;    // extra space between letters, twips (negative: condensed)
    bool operator==(const FormatoTexto&) const = default;
};

enum class TipoImagen : uint8_t { Png, Jpeg };

// A picture as the file holds it: its bytes are kept untouched so that
// saving writes back exactly what was read. Sizes are those of the file,
// 0 where it gave none.
struct ImagenRtf {
    TipoImagen Tipo = TipoImagen::Png;
    std::string Datos;         // the PNG or JPEG file
    int32_t Ancho = 0;         // \picw, \pich: the source size in the writer's own units
    int32_t Alto = 0;
    int32_t AnchoDeseado = 0;  // \picwgoal, \pichgoal: the size to show, twips
    int32_t AltoDeseado = 0;
    int32_t EscalaX = 100;     // percent of the size to show
    int32_t EscalaY = 100;
    bool operator==(const ImagenRtf&) const = default;
};

// A run of text in one format, or a single picture (Texto empty) shown in
// that format's line.
struct TramoTexto {
    std::string Texto; // UTF-8; U+2028 is a line break inside the paragraph
    FormatoTexto Formato;
    std::optional<ImagenRtf> Imagen;
    bool operator==(const TramoTexto&) const = default;
};

enum class TipoTabulador : uint8_t { Izquierda, Centro, Derecha, Decimal };

struct Tabulador {
    int32_t Posicion = 0; // twips from the left margin
    TipoTabulador Tipo = TipoTabulador::Izquierda;
    bool operator==(const Tabulador&) const = default;
};

enum class TipoLista : uint8_t { Ninguna, Vinyeta, Decimal, LetraMinuscula, LetraMayuscula, RomanoMinuscula, RomanoMayuscula };

// Interlineado with InterlineadoMultiple counts 240ths of a line.
constexpr int32_t kLineaSencilla = 240;

// Indents and spacing in twips (1/20 point), as RTF counts them: Izquierda
// for every line, PrimeraLinea added to it for the first line (negative: hanging).
struct Parrafo {
    Alineacion Alin = Alineacion::Izquierda;
    int32_t PrimeraLinea = 0;
    int32_t Izquierda = 0;
    int32_t Derecha = 0;
    TipoLista Lista = TipoLista::Ninguna;
    int32_t NivelLista = 0;    // 0 to 8; 0 when not in a list
    int32_t Antes = 0;         // space before and after the paragraph
    int32_t Despues = 0;
    // Line spacing as RTF's \sl: 0 single; with InterlineadoMultiple, 240ths
    // of a line (360: one and a half); otherwise twips, at least that much
    // when positive, exactly its absolute value when negative.
    int32_t Interlineado = 0;
    bool InterlineadoMultiple = false; // always false when Interlineado is 0
    int32_t Fondo = -1;        // shading behind the paragraph; -1: none
    std::vector<Tabulador> Tabuladores; // in the order the file gives them
    std::vector<TramoTexto> Tramos;
    bool operator==(const Parrafo&) const = default;
};

struct DocumentoRtf {
    std::vector<Parrafo> Parrafos; // never empty after reading
    int32_t TabDefecto = 720;      // distance between default tab stops, twips
    bool operator==(const DocumentoRtf&) const = default;
};

// True when the bytes begin as an RTF file does ("{\rtf").
bool EsRtf(std::string_view bytes);

// Reads RTF. Never fails: unknown control words and destinations are
// skipped, a truncated file yields what it held, bytes in text are
// Windows-1252. Adjacent runs of the same format are merged, empty runs
// dropped. Pictures other than PNG and JPEG, and pictures larger than
// imagenMaxBytes, are left out.
constexpr size_t kImagenMaxBytes = size_t{64} << 20;
DocumentoRtf LeerRtf(std::string_view bytes, size_t imagenMaxBytes = kImagenMaxBytes);

// Plain text: one paragraph per line (CR LF, LF or CR), default format;
// UTF-8 when the bytes are valid UTF-8, Windows-1252 otherwise.
DocumentoRtf LeerTextoPlano(std::string_view bytes);

// RTF when the bytes are RTF, plain text otherwise.
DocumentoRtf LeerDocumentoEditor(std::string_view bytes);

// Writes RTF with a Windows-1252 header; characters outside the code page
// as \uN. Deterministic: reading the result and writing again gives the same bytes.
std::string EscribirRtf(const DocumentoRtf& documento);
