#include "drawing/Tapiz.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

Tapiz::Tapiz(const Arbol& arbol, QWidget* parent) : QWidget(parent), arbol_(arbol)
{
    setObjectName(QStringLiteral("Tapiz"));
    setMouseTracking(true);
    // The whole surface is painted on every exposure: no background erase needed.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

Impacto Tapiz::ControlEn(const QPoint& p) { return ControlEnPunto(arbol_, p.x(), p.y(), medidor_.Funcion()); }

std::array<QRect, NumEtiquetas> Tapiz::RectsEtiquetas(uint16_t numero)
{
    std::array<QRect, NumEtiquetas> q{};
    const auto visibles = EtiquetasVisibles(arbol_, numero);
    const auto r = medidor_.Rects(arbol_, numero, visibles);
    for (int i = 0; i < NumEtiquetas; ++i)
        if (visibles[i])
            q[i] = QRect(r[i].Left, r[i].Top, r[i].Width, r[i].Height);
    return q;
}

void Tapiz::PonFantasma(const QRect& r, uint8_t tipo)
{
    update(fantasma_);
    fantasma_ = r;
    tipoFantasma_ = tipo;
    update(fantasma_);
}

void Tapiz::QuitaFantasma()
{
    update(fantasma_);
    fantasma_ = QRect();
}

void Tapiz::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    PintaArbol(p, arbol_, e->rect(), medidor_);
    if (fantasma_.isValid())
        PintaFantasma(p, fantasma_, tipoFantasma_);
}

QPoint Tapiz::Relativo(const Impacto& i, const QPoint& p) const
{
    const TNodo* n = arbol_.Nodo(i.nodo);
    if (!n)
        return p;
    const Rect& r = i.tipo == Impacto::EnMarca ? n->MarcaComentario : n->Figura;
    return p - QPoint(r.Left, r.Top);
}

void Tapiz::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const Impacto i = ControlEn(pos);
    captura_ = i;
    capturado_ = true;
    switch (i.tipo) {
    case Impacto::EnFigura:
        emit FiguraMouseDown(i.nodo, e->button(), e->modifiers(), Relativo(i, pos));
        if (e->button() == Qt::RightButton && arbol_.Nodo(i.nodo))
            emit MenuNodo(i.nodo, e->globalPosition().toPoint());
        break;
    case Impacto::Nada: emit TapizMouseDown(e->button(), e->modifiers(), pos); break;
    default: break; // labels and marks take no presses
    }
}

void Tapiz::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (e->buttons() == Qt::NoButton)
        capturado_ = false; // a release we never saw (a menu took it)
    const Impacto i = capturado_ ? captura_ : ControlEn(pos);
    switch (i.tipo) {
    case Impacto::EnFigura: emit FiguraMouseMove(i.nodo, e->modifiers(), Relativo(i, pos)); break;
    case Impacto::EnMarca: emit MarcaMouseMove(i.nodo, Relativo(i, pos)); break;
    case Impacto::Nada: emit TapizMouseMove(e->modifiers(), pos); break;
    default: break;
    }
}

void Tapiz::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const Impacto i = capturado_ ? captura_ : ControlEn(pos);
    if (e->buttons() == Qt::NoButton)
        capturado_ = false;
    if (i.tipo == Impacto::EnFigura)
        emit FiguraMouseUp(i.nodo, e->button(), e->modifiers(), Relativo(i, pos));
}

bool Tapiz::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* h = static_cast<QHelpEvent*>(e);
        const std::string hint = HintEnPunto(arbol_, h->pos().x(), h->pos().y(), medidor_.Funcion());
        if (hint.empty()) {
            QToolTip::hideText();
            e->ignore();
        } else {
            // The sum hint breaks its line with a carriage return; tool tips break at line feeds.
            QToolTip::showText(h->globalPos(), QString::fromUtf8(hint).replace(QLatin1Char('\r'), QLatin1Char('\n')),
                               this);
        }
        return true;
    }
    return QWidget::event(e);
}
