#pragma once
// The editor's ruler and status texts, as plain arithmetic. Indents are kept
// the way the ruler shows them, in whole points: Primera is the first line's
// indent from the margin, Izquierda that of the other lines measured from the
// first line's, Derecha the right indent. The ruler's scale is 4/3 pixels per
// point, every conversion truncated.
#include <cstdint>
#include <string>

struct SangriasPuntos {
    int32_t Primera = 0;
    int32_t Izquierda = 0;
    int32_t Derecha = 0;
    bool operator==(const SangriasPuntos&) const = default;
};

// From and to the paragraph's indents in twips (left, first-line offset, right).
SangriasPuntos SangriasDesdeTwips(int32_t izquierda, int32_t primeraLinea, int32_t derecha);
void SangriasATwips(const SangriasPuntos& s, int32_t& izquierda, int32_t& primeraLinea, int32_t& derecha);

// Left edge of each marker on a ruler whose client area is anchoRegla pixels wide.
int32_t PosicionMarcaPrimera(const SangriasPuntos& s);
int32_t PosicionMarcaIzquierda(const SangriasPuntos& s);
int32_t PosicionMarcaDerecha(const SangriasPuntos& s, int32_t anchoRegla);

// The indents after a marker was dropped at its left edge; desplazamiento is
// half the marker's width. Dropping the first-line marker also moves the
// other lines' indent, which is measured from it.
void SoltarMarcaPrimera(SangriasPuntos& s, int32_t izquierdaPrimera, int32_t izquierdaIzquierda, int32_t desplazamiento);
void SoltarMarcaIzquierda(SangriasPuntos& s, int32_t izquierdaIzquierda, int32_t desplazamiento);
void SoltarMarcaDerecha(SangriasPuntos& s, int32_t izquierdaDerecha, int32_t desplazamiento, int32_t anchoRegla);

// "Linea: %3d   Columna: %3d"
std::string TextoPosicionCursor(int linea, int columna);
// "%s - %s": the file name part of the path (no folder) and the application title.
std::string TituloEditor(const std::string& ruta, const std::string& titulo);
