#include "drawing/ExportaDibujo.h"

#include "common/Errores.h"
#include "common/EscrituraSegura.h"
#include "drawing/ConversionQt.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>

namespace {

std::string Extension(const std::string& ruta)
{
    const size_t barra = ruta.find_last_of('/');
    const size_t punto = ruta.find_last_of('.');
    if (punto == std::string::npos || (barra != std::string::npos && punto < barra))
        return {};
    std::string e = ruta.substr(punto + 1);
    std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return e;
}

// Paints the drawing with the crop's top-left corner at the device's origin.
void Pinta(QPainter& p, const Arbol& a, const QRect& caja, MedidorEtiquetas& medidor)
{
    p.translate(-caja.topLeft());
    PintaArbol(p, a, caja, medidor);
}

} // namespace

QRect CajaDibujo(const Arbol& a, MedidorEtiquetas& medidor)
{
    QRect caja;
    for (int pos = 1; pos <= a.UltimaPosicion; ++pos) {
        const auto r = RamaDe(a, a.ListaOrden[pos]);
        if (!r)
            continue;
        const int g = std::max(1, r->Grosor);
        const QRect rama = QRect(QPoint(std::min({r->X0, r->X1, r->X2}), std::min({r->Y0, r->Y1, r->Y2})),
                                 QPoint(std::max({r->X0, r->X1, r->X2}), std::max({r->Y0, r->Y1, r->Y2})))
                               .adjusted(-g, -g, g, g);
        caja |= rama;
    }
    const std::pair<const Etiqueta*, QPoint> identificadores[] = {{&a.Archivo, {8, 8}}, {&a.Fecha, {8, 24}}};
    for (const auto& [e, punto] : identificadores) {
        if (!e->Visible || e->Caption.empty())
            continue;
        const Medida m = medidor.Medir(*e);
        caja |= QRect(punto.x(), punto.y(), m.Ancho, m.Alto);
    }
    for (int pos = 0; pos <= a.UltimaPosicion; ++pos) {
        const uint16_t numero = a.ListaOrden[pos];
        const TNodo* n = a.Nodo(numero);
        if (!n)
            continue;
        caja |= AQRect(n->Figura);
        if (n->MarcaVisible)
            caja |= AQRect(n->MarcaComentario);
        const auto visibles = EtiquetasVisibles(a, numero);
        const auto rects = medidor.Rects(a, numero, visibles);
        for (int i = 0; i < NumEtiquetas; ++i)
            if (visibles[i])
                // Captions are drawn from images a little wider than the text.
                caja |= AQRect(rects[i]).adjusted(-MedidorEtiquetas::kMargenImagen, 0, MedidorEtiquetas::kMargenImagen, 0);
    }
    return caja;
}

void ExportaDibujo(const Arbol& a, const std::string& ruta)
{
    const std::string ext = Extension(ruta);
    if (ext != "png" && ext != "svg" && ext != "pdf")
        throw ENemor("No se puede exportar a \"" + ruta + "\": la extensión debe ser .png, .svg o .pdf");

    MedidorEtiquetas medidor;
    const QRect caja =
        CajaDibujo(a, medidor).adjusted(-kMargenExportacion, -kMargenExportacion, kMargenExportacion, kMargenExportacion);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool bien = true;
    if (ext == "png") {
        QImage img(caja.size(), QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            Pinta(p, a, caja, medidor);
        }
        bien = img.save(&buffer, "PNG");
    } else if (ext == "svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(caja.size());
        svg.setViewBox(QRect(QPoint(0, 0), caja.size()));
        svg.setResolution(96);
        svg.setTitle(QString::fromUtf8(a.Archivo.Caption));
        QPainter p;
        bien = p.begin(&svg);
        if (bien)
            Pinta(p, a, caja, medidor);
    } else {
        // One page the size of the drawing, at the screen's 96 pixels per inch.
        QPdfWriter pdf(&buffer);
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(caja.width() * 72.0 / 96, caja.height() * 72.0 / 96), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QString::fromUtf8(a.Archivo.Caption));
        pdf.setCreator(QStringLiteral("NEMOR"));
        QPainter p;
        bien = p.begin(&pdf);
        if (bien)
            Pinta(p, a, caja, medidor);
    }
    buffer.close();
    if (!bien || bytes.isEmpty())
        throw EInOutError("Cannot create file \"" + ruta + "\".");
    EscribeFicheroSeguro(ruta, std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}
