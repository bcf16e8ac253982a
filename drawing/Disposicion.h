#pragma once
// What the drawing shows, without pixels of its own: which labels of a node
// are visible, where each label goes once its size is measured, the branch
// into a node, the fill of each figure, and which control lies under a point.
// The canvas measures texts with its font metrics and paints what this says.
#include "tree/Arbol.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The five labels of a node, in the order they are created (later ones lie on top).
enum CualEtiqueta : int { ETexto = 0, EProbabilidad = 1, EGanancia = 2, EValor = 3, ENumero = 4 };
constexpr int NumEtiquetas = 5;

const Etiqueta& EtiquetaDe(const TNodo& nodo, int cual);

struct Medida {
    int32_t Ancho = 0;
    int32_t Alto = 0;
};
// Measures a label's caption in its font (the canvas answers with font metrics).
using MedirEtiqueta = std::function<Medida(const Etiqueta&)>;

// Which of the node's labels are shown: the root never shows text, payoff or
// probability; a probability only below a chance node; a value never on a
// terminal node other than the root; the numbers follow the option.
std::array<bool, NumEtiquetas> EtiquetasVisibles(const Arbol& arbol, uint16_t numero);

// Where each label of the node goes, from its measured size.
std::array<Rect, NumEtiquetas> SituaEtiquetas(const Arbol& arbol, uint16_t numero,
                                             const std::array<Medida, NumEtiquetas>& medidas);

// The branch into a node: a stub of LongitudRama to the left of the figure,
// then a line to the middle of the parent's right edge.
struct Rama {
    int32_t X0, Y0; // the figure's left edge, at its middle
    int32_t X1, Y1; // the stub's left end
    int32_t X2, Y2; // the parent's right edge
    Color Pluma;
    int32_t Grosor;
};
// None for the root, an empty slot or a missing parent.
std::optional<Rama> RamaDe(const Arbol& arbol, uint16_t numero);

// Fill of the node's figure: silver when selected, red for a chance node
// whose probabilities do not add up, else the colour of its kind.
constexpr Color ColorSeleccion = RGB(192, 192, 192);
constexpr Color ColorSumaErronea = RGB(255, 0, 0);
Color ColorFigura(const Arbol& arbol, const TNodo& nodo);

// The control under a point of the drawing, the topmost one: nodes later in
// the creation order lie over earlier ones, and within a node the comment mark
// over the labels over the figure. Hidden controls are passed over, and so is
// the number label, which lies inside the figure.
struct Impacto {
    enum Tipo { Nada, EnFigura, EnEtiqueta, EnMarca };
    Tipo tipo = Nada;
    uint16_t nodo = 0;
    int etiqueta = -1; // CualEtiqueta when tipo is EnEtiqueta
};
Impacto ControlEnPunto(const Arbol& arbol, int32_t x, int32_t y, const MedirEtiqueta& medir);

// The hint of whatever lies under the point; empty when none.
std::string HintEnPunto(const Arbol& arbol, int32_t x, int32_t y, const MedirEtiqueta& medir);
