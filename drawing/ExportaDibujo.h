#pragma once
// The drawing as a picture file: PNG, SVG or PDF, chosen by the file's
// extension, painted by the canvas's own code and cropped to what is drawn
// plus a margin.
#include "drawing/PintaArbol.h"

#include <QRect>

#include <string>

// White space kept around the drawing, in pixels.
constexpr int kMargenExportacion = 20;

// The part of the surface that holds something: branches, figures, comment
// marks, the visible labels and the identifier labels.
QRect CajaDibujo(const Arbol& arbol, MedidorEtiquetas& medidor);

// Writes the drawing to ruta, replacing the file only once the picture is
// complete. Raises ENemor for an extension other than .png, .svg or .pdf (any
// case) and EInOutError when the file cannot be written.
void ExportaDibujo(const Arbol& arbol, const std::string& ruta);
