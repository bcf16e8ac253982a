#pragma once
// The arithmetic of the print preview: how many window-sized pages cover the
// drawing, the names of page print jobs and images, the printing progress grid
// and the printed size of a one-sheet picture.
#include "tree/Arbol.h"

#include <cstdint>
#include <string>

struct RejillaPaginas {
    int32_t Filas = 1;
    int32_t Columnas = 1;
    int32_t K = 1; // side of the preview grid: max(rows, columns)
    int32_t Paginas() const { return Filas * Columnas; }
};

// Largest right and bottom edge over every node's figure, root included; labels do not count.
void ExtensionDibujo(const Arbol& arbol, int32_t& maxDerecha, int32_t& maxAbajo);

// The widest preview grid: beyond it the tiles would not fit in memory, and
// only a node dragged or read far off the drawing makes a grid that large.
constexpr int32_t kMaxLadoRejilla = 20;
extern const char* const kMensajeDemasiadasPaginas;

// Pages of w x h pixels that cover the drawing (w, h > 0). Raises ENemor
// with kMensajeDemasiadasPaginas when the grid side would pass kMaxLadoRejilla.
RejillaPaginas CalculaRejilla(int32_t maxDerecha, int32_t maxAbajo, int32_t ancho, int32_t alto);

// The name of page (fila, columna), both counted from 1: the text before the
// first ".", "-fila-columna.", then at most three characters after that ".".
// A text without "." gives an empty name and its first three characters:
// «Sin título» gives «-1-1.Sin».
std::string NombrePagina(const std::string& base, int fila, int columna);

// Square of page (i, j), counted from 0, in the printing progress window, and
// the window size that fits the grid of filas x columnas starting from 150 x 51.
Rect CuadroProgreso(int i, int j);
void TamanyoVentanaProgreso(int filas, int columnas, int32_t& ancho, int32_t& alto);

enum class ModoEscala { Proporcional = 0, AjustarPagina = 1, SinEscala = 2 };
// Printed size of a W x H picture on one sheet.
void TamanyoImpreso(ModoEscala modo, int32_t w, int32_t h, int32_t dpiImpresoraX, int32_t dpiImpresoraY,
                    int32_t dpiPantalla, int32_t anchoPagina, int32_t altoPagina, int32_t& ancho, int32_t& alto);

// The one-sheet mode chosen by the option Escala (item index); an index out
// of range, from a hand-edited settings file, prints proportionally.
ModoEscala ModoEscalaDeOpcion(int32_t escala);

// Zoom of the preview: each step scales by 100/90 (positive) or 90/100
// (negative). The steps are kept within kPasosZoomPrevio either way so the
// tiles neither vanish nor outgrow what a window can hold.
constexpr int kPasosZoomPrevio = 30;
int PasosZoomPrevio(int pasos, int cambio);

// Where tile (i, j), counted from 0, sits in the preview at a zoom of pasos:
// base tiles of ancho x alto, with every edge scaled from the grid's origin,
// so neighbouring tiles always meet without gaps or overlaps however often
// the user zooms.
Rect TeselaPrevia(int i, int j, int32_t ancho, int32_t alto, int pasos);
