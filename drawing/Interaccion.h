#pragma once
// Arranging the tree by hand: dragging a node, selecting and lining nodes up,
// zooming. The canvas turns mouse events into these calls and repaints.
#include "tree/Arbol.h"

#include <cstdint>
#include <string>
#include <vector>

// A drag in progress: the node, where it was grabbed and the dotted ghost that follows the mouse.
struct EstadoArrastre {
    bool Arrastrando = false;
    int32_t NodoArrastrado = 0;
    int32_t AgarreX = 0; // mouse position inside the figure when the drag started
    int32_t AgarreY = 0;
    Rect Fantasma;
    bool FantasmaVisible = false;
};

// The tool-bar switches that steer a drop and an alignment.
struct ModosMovimiento {
    bool Modo1 = true;      // TB1 down: the stub stretches, its left end stays; TB2: the stub travels
    bool MueveHijos = true; // TBMueveHijos down: descendants follow the dropped node
};

// Clears the selection of every node but the root. True when some node changed.
bool QuitaSeleccion(Arbol& arbol);

// Shift with a left press: marks the node for alignment. The root is never
// selected: no alignment would ever move or clear it.
void SeleccionaNodo(Arbol& arbol, uint16_t numero);

// Plain left press on a figure at (x, y) inside it: clears the selection and starts the drag.
void EmpiezaArrastre(Arbol& arbol, EstadoArrastre& estado, uint16_t numero, int32_t x, int32_t y);

// Mouse move during a drag, (x, y) in drawing coordinates: the ghost follows.
void MueveArrastre(EstadoArrastre& estado, int32_t x, int32_t y);

// Plain left release: drops the node where the ghost is. A node deleted since
// the press is left alone. True when a node moved.
bool SueltaArrastre(Arbol& arbol, EstadoArrastre& estado, const ModosMovimiento& modos);

// Line the selected nodes up on their mean column or row; their selection is cleared.
void AlinearVertical(Arbol& arbol, const ModosMovimiento& modos);
void AlinearHorizontal(Arbol& arbol);

// Zoom by a factor: sizes, separations, positions, stubs and label sizes.
// A zoom that would take the factor outside kZoomMinimo..kZoomMaximo does
// nothing: at 64 every position within kLimitePosicion is still below 2^30.
constexpr double kZoomMinimo = 1.0 / 64;
constexpr double kZoomMaximo = 64;
void AplicaZoom(Arbol& arbol, double factor);
// Resizes and moves every node's figure, mark and labels for the factor.
void Reescala(Arbol& arbol, double factor);
// The three zoom commands.
constexpr double kZoomAumentar = 1.1111111111111112; // nearest double to 10/9
constexpr double kZoomDisminuir = 0.9;
void ZoomAumentar(Arbol& arbol);
void ZoomDisminuir(Arbol& arbol);
void ZoomOriginal(Arbol& arbol);

// One item of the outline view: depth below the top item, node, kind, caption.
struct ElementoEsquema {
    int Nivel;
    uint16_t Nodo;
    uint8_t Tipo;
    std::string Caption;
    bool operator==(const ElementoEsquema&) const = default;
};
// The outline, depth first, children in branch order; the top item stands for the root.
std::vector<ElementoEsquema> ConstruyeEsquema(const Arbol& arbol);
