#include "drawing/PintaArbol.h"

#include "common/Redondeo.h"
#include "drawing/ConversionQt.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <vector>

namespace {

// One pixel wide whatever the scale: the fast line path of the raster engine.
QPen Negra()
{
    QPen n(Qt::black, 0);
    n.setCosmetic(true);
    return n;
}

int32_t Mitad(int32_t v) { return static_cast<int32_t>(Round(v / 2.0)); }

// The shape of a node inside its figure rectangle. Right and bottom bounds
// are exclusive, as for every raster control.
void PintaFigura(QPainter& p, const Arbol& a, const TNodo& n)
{
    const Rect& f = n.Figura;
    if (f.Width <= 0 || f.Height <= 0)
        return;
    p.setBrush(AQColor(ColorFigura(a, n)));
    switch (n.Tipo) {
    case NodoDecision: p.drawRect(f.Left, f.Top, f.Width - 1, f.Height - 1); break;
    case NodoAzar: p.drawEllipse(f.Left, f.Top, f.Width - 1, f.Height - 1); break;
    case NodoTerminal: {
        // The base lies on the figure's right edge, just outside the figure:
        // only the two slanted sides are outlined.
        const QPoint punta(f.Left, f.Top + Mitad(f.Height));
        const QPoint arriba(f.Right(), f.Top);
        const QPoint abajo(f.Right(), f.Bottom());
        const QPoint t[] = {punta, arriba, abajo};
        const QPen pluma = p.pen();
        p.setPen(Qt::NoPen);
        p.drawPolygon(t, 3);
        p.setPen(pluma);
        const QLine lados[] = {QLine(punta, arriba - QPoint(1, 0)), QLine(punta, abajo - QPoint(1, 1))};
        p.drawLines(lados, 2);
        break;
    }
    default: break; // an unknown kind has no shape
    }
}

void PintaMarca(QPainter& p, const Arbol& a, const TNodo& n)
{
    const Rect& m = n.MarcaComentario;
    p.setPen(Qt::NoPen);
    p.setBrush(AQColor(a.ColorComentario));
    p.drawPolygon(QPolygon({QPoint(m.Left, m.Top), QPoint(m.Right(), m.Top), QPoint(m.Right(), m.Bottom())}));
}

// Captions are drawn from ready images on screens and images (laying out
// glyphs is most of the cost of a large tree); printers and vector files get text.
void PintaTexto(QPainter& p, MedidorEtiquetas& m, const Etiqueta& e, const Rect& r, const QFont*& actual, bool raster)
{
    MedidorEtiquetas::Fuente& f = m.FuenteDe(e);
    MedidorEtiquetas::Texto& t = m.TextoDe(f, e.Caption);
    if (raster) {
        p.drawImage(QPoint(r.Left - MedidorEtiquetas::kMargenImagen, r.Top), m.ImagenDe(f, t));
        return;
    }
    if (actual != &f.font) {
        p.setFont(f.font);
        actual = &f.font;
    }
    p.drawStaticText(r.Left, r.Top, t.estatico);
}

} // namespace

int PixelesDePuntos(int puntos)
{
    // Points at 96 pixels per inch, halves away from zero.
    const int v = puntos * 96;
    return v >= 0 ? (v + 36) / 72 : -((-v + 36) / 72);
}

MedidorEtiquetas::Fuente& MedidorEtiquetas::FuenteDe(const Etiqueta& e)
{
    std::string clave = e.Fuente;
    clave += '\0';
    clave += std::to_string(e.Tamanyo);
    auto it = fuentes_.find(clave);
    if (it == fuentes_.end()) {
        QFont f(QString::fromUtf8(e.Fuente));
        // A size zoomed down to nothing still needs a valid font.
        f.setPixelSize(std::max(1, PixelesDePuntos(e.Tamanyo)));
        it = fuentes_.emplace(clave, std::make_unique<Fuente>(Fuente{f, QFontMetrics(f), {}})).first;
    }
    return *it->second;
}

MedidorEtiquetas::Texto& MedidorEtiquetas::TextoDe(Fuente& f, const std::string& caption)
{
    auto it = f.textos.find(caption);
    if (it == f.textos.end()) {
        // Captions change with every calculation: keep the cache bounded.
        if (f.textos.size() > 20000)
            f.textos.clear();
        const QString q = QString::fromUtf8(caption);
        Texto t;
        t.ancho = f.metricas.horizontalAdvance(q);
        t.estatico.setText(q);
        t.estatico.setTextFormat(Qt::PlainText);
        t.estatico.setPerformanceHint(QStaticText::AggressiveCaching);
        t.estatico.prepare(QTransform(), f.font);
        it = f.textos.emplace(caption, std::move(t)).first;
    }
    return it->second;
}

const QImage& MedidorEtiquetas::ImagenDe(Fuente& f, Texto& t)
{
    if (t.imagen.isNull()) {
        t.imagen = QImage(t.ancho + 2 * kMargenImagen, f.metricas.height(), QImage::Format_ARGB32_Premultiplied);
        t.imagen.fill(Qt::transparent);
        QPainter q(&t.imagen);
        q.setFont(f.font);
        q.setPen(Qt::black);
        q.drawStaticText(kMargenImagen, 0, t.estatico);
    }
    return t.imagen;
}

Medida MedidorEtiquetas::Medir(const Etiqueta& e)
{
    Fuente& f = FuenteDe(e);
    return {TextoDe(f, e.Caption).ancho, f.metricas.height()};
}

std::array<Rect, NumEtiquetas> MedidorEtiquetas::Rects(const Arbol& a, uint16_t numero,
                                                       const std::array<bool, NumEtiquetas>& visibles)
{
    std::array<Medida, NumEtiquetas> m{};
    const TNodo* n = a.Nodo(numero);
    if (!n)
        return {};
    for (int i = 0; i < NumEtiquetas; ++i)
        if (visibles[i])
            m[i] = Medir(EtiquetaDe(*n, i));
    return SituaEtiquetas(a, numero, m);
}

void PintaArbol(QPainter& p, const Arbol& a, const QRect& expuesto, MedidorEtiquetas& medidor)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(expuesto, Qt::white);

    // Branches lie under everything else.
    std::vector<QLine> negras;
    negras.reserve(2 * static_cast<size_t>(a.UltimaPosicion));
    for (int pos = 1; pos <= a.UltimaPosicion; ++pos) {
        const auto r = RamaDe(a, a.ListaOrden[pos]);
        if (!r)
            continue;
        const QRect caja = QRect(QPoint(std::min({r->X0, r->X1, r->X2}), std::min({r->Y0, r->Y1, r->Y2})),
                                 QPoint(std::max({r->X0, r->X1, r->X2}), std::max({r->Y0, r->Y1, r->Y2})))
                               .adjusted(-r->Grosor, -r->Grosor, r->Grosor, r->Grosor);
        if (!caja.intersects(expuesto))
            continue;
        if (r->Pluma == RGB(0, 0, 0) && r->Grosor == 1) {
            negras.emplace_back(r->X0, r->Y0, r->X1, r->Y1);
            negras.emplace_back(r->X1, r->Y1, r->X2, r->Y2);
        } else {
            QPen pluma(AQColor(r->Pluma), std::max(1, r->Grosor), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            p.setPen(pluma);
            const QPoint puntos[] = {{r->X0, r->Y0}, {r->X1, r->Y1}, {r->X2, r->Y2}};
            p.drawPolyline(puntos, 3);
        }
    }
    p.setPen(Negra());
    p.drawLines(negras.data(), static_cast<int>(negras.size()));

    const QFont* fuenteActual = nullptr;
    const bool raster = p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster &&
                        p.worldTransform().type() <= QTransform::TxTranslate;
    p.setPen(Qt::black);

    // The identifier labels, fixed on the panel under the nodes.
    const std::pair<const Etiqueta*, QPoint> identificadores[] = {{&a.Archivo, {8, 8}}, {&a.Fecha, {8, 24}}};
    for (const auto& [e, punto] : identificadores) {
        if (!e->Visible)
            continue;
        const Medida m = medidor.Medir(*e);
        const Rect r{punto.x(), punto.y(), m.Ancho, m.Alto};
        if (AQRect(r).intersects(expuesto))
            PintaTexto(p, medidor, *e, r, fuenteActual, raster);
    }

    const QPen negra = Negra();
    for (int pos = 0; pos <= a.UltimaPosicion; ++pos) {
        const uint16_t numero = a.ListaOrden[pos];
        const TNodo* n = a.Nodo(numero);
        if (!n)
            continue;
        const auto visibles = EtiquetasVisibles(a, numero);
        const auto rects = medidor.Rects(a, numero, visibles);
        QRect caja = AQRect(n->Figura);
        if (n->MarcaVisible)
            caja |= AQRect(n->MarcaComentario);
        for (int i = 0; i < NumEtiquetas; ++i)
            if (visibles[i])
                caja |= AQRect(rects[i]);
        if (!caja.intersects(expuesto))
            continue;
        p.setPen(negra);
        PintaFigura(p, a, *n);
        p.setPen(negra);
        for (int i = 0; i < NumEtiquetas; ++i) {
            if (!visibles[i] || !AQRect(rects[i]).intersects(expuesto))
                continue;
            PintaTexto(p, medidor, EtiquetaDe(*n, i), rects[i], fuenteActual, raster);
        }
        if (n->MarcaVisible)
            PintaMarca(p, a, *n);
    }
    p.restore();
}

void PintaFantasma(QPainter& p, const QRect& r, uint8_t tipo)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    switch (tipo) {
    case NodoTerminal:
        p.drawPolygon(QPolygon({QPoint(r.left(), r.top() + Mitad(r.height())), QPoint(r.left() + r.width() - 1, r.top()),
                                QPoint(r.left() + r.width() - 1, r.top() + r.height() - 1)}));
        break;
    case NodoDecision: p.drawRect(r.adjusted(0, 0, -1, -1)); break;
    case NodoAzar: p.drawEllipse(r.adjusted(0, 0, -1, -1)); break;
    default: break;
    }
    p.restore();
}
