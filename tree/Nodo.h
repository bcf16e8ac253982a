#pragma once
// The node record. A node carries its own data and that of the branch leading
// into it (payoff and probability sit on the child), plus the plain view data
// the canvas paints: label captions and visibility, hints, figure and mark rectangles.
#include <array>
#include <cstdint>
#include <string>

constexpr uint8_t NodoTerminal = 0;
constexpr uint8_t NodoDecision = 1;
constexpr uint8_t NodoAzar = 2;

constexpr int MaxNumeroNodo = 1000; // node numbers 0..1000
constexpr int MaxHijos = 100;       // branches of one node

// Node positions at zoom factor 1 lie within this many pixels either side of
// the origin: the largest drawing surface a window can have (2^24 - 1). Files
// holding positions beyond it are refused; moves stop at it.
constexpr int32_t kLimitePosicion = 16777215;

// 32-bit colour: red in the low byte, then green, then blue.
using Color = uint32_t;
constexpr Color RGB(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
constexpr uint8_t Rojo(Color c) { return c & 0xFF; }
constexpr uint8_t Verde(Color c) { return (c >> 8) & 0xFF; }
constexpr uint8_t Azul(Color c) { return (c >> 16) & 0xFF; }

struct Rect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Right() const { return Left + Width; }
    int32_t Bottom() const { return Top + Height; }
    bool Contiene(int32_t x, int32_t y) const { return x >= Left && x < Left + Width && y >= Top && y < Top + Height; }
    bool operator==(const Rect&) const = default;
};

// A text label of the drawing. Its size comes from font metrics when painted.
struct Etiqueta {
    std::string Caption;
    bool Visible = true;
    std::string Hint; // empty: no hint
    std::string Fuente = "Arial";
    int32_t Tamanyo = 8; // points
    bool operator==(const Etiqueta&) const = default;
};

struct TNodo {
    uint8_t Tipo = NodoTerminal;
    Rect Figura;            // left/top is the node's position; size TamanyoNodo
    std::string HintFigura; // "Nodo " + number
    uint16_t Padre = 0;
    double Ganancia = 0;
    std::string FormulaGanancia;
    uint16_t Reservado = 0;
    double Probabilidad = 0;
    std::string FormulaProbabilidad;
    double Valor = 0;
    std::array<uint16_t, MaxHijos + 1> Hijos{}; // [0] = count, [1..count] = children in branch order
    bool Calculado = false;
    std::string Texto = " ";
    uint16_t LongitudRama = 60;
    Etiqueta EtiquetaTexto;
    Etiqueta EtiquetaProbabilidad;
    Etiqueta EtiquetaGanancia;
    Etiqueta EtiquetaValor;
    Etiqueta EtiquetaNumero;
    bool Elegido = false;
    bool Seleccionado = false;
    Rect MarcaComentario;
    bool MarcaVisible = false;
    std::string Comentario; // lines, each followed by a tab, no line breaks
    bool SumaErronea = false;

    uint16_t NumHijos() const { return Hijos[0]; }
    uint16_t Hijo(int i) const { return Hijos[i]; } // i in 1..NumHijos()
    bool operator==(const TNodo&) const = default;
};
