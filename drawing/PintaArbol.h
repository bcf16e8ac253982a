#pragma once
// Paints the whole drawing onto any paint device: the screen, print pages and
// images share this one path. It reads the tree and never changes it.
#include "drawing/Disposicion.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QRect>
#include <QStaticText>

#include <memory>
#include <string>
#include <unordered_map>

class QPainter;

// Fonts and text widths of the labels, kept between paints: measuring every
// caption of a large tree on every repaint would cost more than painting it.
class MedidorEtiquetas {
public:
    // A caption laid out once in its font: its width, and the text ready to paint.
    struct Texto {
        int ancho = 0;
        QStaticText estatico;
        QImage imagen; // the caption already rasterised, made on first use on a raster device
    };
    struct Fuente {
        QFont font;
        QFontMetrics metricas;
        std::unordered_map<std::string, Texto> textos;
    };

    // The font of a label: its face and its size in points, at 96 pixels per inch.
    Fuente& FuenteDe(const Etiqueta& e);
    Medida Medir(const Etiqueta& e);
    // The caption laid out in the label's font.
    Texto& TextoDe(Fuente& f, const std::string& caption);
    // The caption as an image, black on transparent, kMargenImagen pixels wider on each side.
    const QImage& ImagenDe(Fuente& f, Texto& t);
    static constexpr int kMargenImagen = 2;
    MedirEtiqueta Funcion()
    {
        return [this](const Etiqueta& e) { return Medir(e); };
    }
    // The label rectangles of a node as the drawing places them.
    std::array<Rect, NumEtiquetas> Rects(const Arbol& arbol, uint16_t numero,
                                         const std::array<bool, NumEtiquetas>& visibles);

private:
    std::unordered_map<std::string, std::unique_ptr<Fuente>> fuentes_;
};

// Pixel height of a font of the given points, as the window system rounds it.
int PixelesDePuntos(int puntos);

// Paints the part of the drawing inside expuesto: white ground, branches,
// the identifier labels, then every node (figure, labels, comment mark) in
// creation order, later nodes over earlier ones.
void PintaArbol(QPainter& p, const Arbol& arbol, const QRect& expuesto, MedidorEtiquetas& medidor);

// The dotted outline that follows the mouse while a node is dragged.
void PintaFantasma(QPainter& p, const QRect& r, uint8_t tipo);
