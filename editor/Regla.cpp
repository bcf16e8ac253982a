#include "editor/Regla.h"

#include <cstdio>

namespace {
// Trunc(x * 4/3) and Trunc(x / (4/3)) in integers: C++ division truncates toward zero.
int32_t APixeles(int64_t puntos) { return static_cast<int32_t>(puntos * 4 / 3); }
int32_t APuntos(int64_t pixeles) { return static_cast<int32_t>(pixeles * 3 / 4); }
} // namespace

SangriasPuntos SangriasDesdeTwips(int32_t izquierda, int32_t primeraLinea, int32_t derecha)
{
    SangriasPuntos s;
    s.Primera = static_cast<int32_t>((int64_t{izquierda} + primeraLinea) / 20);
    s.Izquierda = -primeraLinea / 20;
    s.Derecha = derecha / 20;
    return s;
}

void SangriasATwips(const SangriasPuntos& s, int32_t& izquierda, int32_t& primeraLinea, int32_t& derecha)
{
    izquierda = (s.Primera + s.Izquierda) * 20;
    primeraLinea = -s.Izquierda * 20;
    derecha = s.Derecha * 20;
}

int32_t PosicionMarcaPrimera(const SangriasPuntos& s) { return APixeles(s.Primera) + 2; }

int32_t PosicionMarcaIzquierda(const SangriasPuntos& s) { return APixeles(int64_t{s.Izquierda} + s.Primera) + 2; }

int32_t PosicionMarcaDerecha(const SangriasPuntos& s, int32_t anchoRegla)
{
    return (anchoRegla - 6) - APixeles(int64_t{s.Derecha} + 6);
}

void SoltarMarcaPrimera(SangriasPuntos& s, int32_t izquierdaPrimera, int32_t izquierdaIzquierda, int32_t desplazamiento)
{
    s.Primera = APuntos(int64_t{izquierdaPrimera} + desplazamiento - 6);
    SoltarMarcaIzquierda(s, izquierdaIzquierda, desplazamiento);
}

void SoltarMarcaIzquierda(SangriasPuntos& s, int32_t izquierdaIzquierda, int32_t desplazamiento)
{
    s.Izquierda = APuntos(int64_t{izquierdaIzquierda} + desplazamiento - 6) - s.Primera;
}

void SoltarMarcaDerecha(SangriasPuntos& s, int32_t izquierdaDerecha, int32_t desplazamiento, int32_t anchoRegla)
{
    s.Derecha = APuntos(int64_t{anchoRegla} - izquierdaDerecha + desplazamiento - 2) - 12;
}

std::string TextoPosicionCursor(int linea, int columna)
{
    char b[64];
    std::snprintf(b, sizeof b, "Linea: %3d   Columna: %3d", linea, columna);
    return b;
}

std::string TituloEditor(const std::string& ruta, const std::string& titulo)
{
    const auto barra = ruta.find_last_of("/\\");
    return (barra == std::string::npos ? ruta : ruta.substr(barra + 1)) + " - " + titulo;
}
