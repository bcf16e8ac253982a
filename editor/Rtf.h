#pragma once
// Rich text without a toolkit: a document of paragraphs made of formatted
// runs, read from and written to RTF. The editor window maps it to its text
// control; keeping it here lets the reader be tested and fuzzed on its own.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class Alineacion : uint8_t { Izquierda, Derecha, Centro, Justificada };

struct FormatoTexto {
    std::string Fuente;       // face name; empty: the editor's default font
    int32_t MediosPuntos = 24; // size in half points
    bool Negrita = false;
    bool Cursiva = false;
    bool Subrayado = false;
    int32_t Color = -1;       // red in the low byte, then green, then blue; -1: automatic
    bool operator==(const FormatoTexto&) const = default;
};

struct TramoTexto {
    std::string Texto; // UTF-8; U+2028 is a line break inside the paragraph
    FormatoTexto Formato;
    bool operator==(const TramoTexto&) const = default;
};

// Indents in twips (1/20 point), as RTF counts them: Izquierda for every
// line, PrimeraLinea added to it for the first line (negative: hanging).
struct Parrafo {
    Alineacion Alin = Alineacion::Izquierda;
    int32_t PrimeraLinea = 0;
    int32_t Izquierda = 0;
    int32_t Derecha = 0;
    bool Vinyeta = false;
    std::vector<TramoTexto> Tramos;
    bool operator==(const Parrafo&) const = default;
};

struct DocumentoRtf {
    std::vector<Parrafo> Parrafos; // never empty after reading
    bool operator==(const DocumentoRtf&) const = default;
};

// True when the bytes begin as an RTF file does ("{\rtf").
bool EsRtf(std::string_view bytes);

// Reads RTF. Never fails: unknown control words and destinations are
// skipped, a truncated file yields what it held, bytes in text are
// Windows-1252. Adjacent runs of the same format are merged, empty runs dropped.
DocumentoRtf LeerRtf(std::string_view bytes);

// Plain text: one paragraph per line (CR LF, LF or CR), default format;
// UTF-8 when the bytes are valid UTF-8, Windows-1252 otherwise.
DocumentoRtf LeerTextoPlano(std::string_view bytes);

// RTF when the bytes are RTF, plain text otherwise.
DocumentoRtf LeerDocumentoEditor(std::string_view bytes);

// Writes RTF with a Windows-1252 header; characters outside the code page
// as \uN. Deterministic: reading the result and writing again gives the same bytes.
std::string EscribirRtf(const DocumentoRtf& documento);
