#include "drawing/ImprimiendoU.h"

#include "drawing/Paginas.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

TFormImprimiendo::TFormImprimiendo(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormImprimiendo"));
    setWindowTitle(QStringLiteral("Imprimiendo"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    setFixedSize(150, 51);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(20, 12);
}

void TFormImprimiendo::Prepara(int filas, int columnas)
{
    filas_ = std::max(filas, 0);
    columnas_ = std::max(columnas, 0);
    impresas_.assign(static_cast<size_t>(filas_) * static_cast<size_t>(columnas_), false);
    Label1->setText(QStringLiteral("Imprimiendo %1 páginas").arg(filas_ * columnas_));
    Label1->adjustSize();
    int32_t ancho, alto;
    TamanyoVentanaProgreso(filas_, columnas_, ancho, alto);
    setFixedSize(std::max<int>(ancho, Label1->x() + Label1->width() + 20), alto);
    // Centred on the screen, as it is whenever it opens.
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), frameSize().expandedTo(size()));
        r.moveCenter(s->availableGeometry().center());
        move(r.topLeft());
    }
    update();
}

void TFormImprimiendo::MarcaImpresa(int i, int j)
{
    if (i < 0 || j < 0 || i >= filas_ || j >= columnas_)
        return;
    impresas_[static_cast<size_t>(i) * static_cast<size_t>(columnas_) + static_cast<size_t>(j)] = true;
    const Rect c = CuadroProgreso(i, j);
    repaint(c.Left, c.Top, c.Width, c.Height);
}

QColor TFormImprimiendo::ColorCuadro(int i, int j) const
{
    if (i < 0 || j < 0 || i >= filas_ || j >= columnas_)
        return {};
    return impresas_[static_cast<size_t>(i) * static_cast<size_t>(columnas_) + static_cast<size_t>(j)]
               ? QColor(0, 0, 255)
               : QColor(192, 192, 192);
}

void TFormImprimiendo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    for (int i = 0; i < filas_; ++i)
        for (int j = 0; j < columnas_; ++j) {
            const Rect c = CuadroProgreso(i, j);
            // A thin outline keeps neighbouring squares apart.
            p.setPen(Qt::black);
            p.setBrush(ColorCuadro(i, j));
            p.drawRect(c.Left, c.Top, c.Width - 1, c.Height - 1);
        }
}

void TFormImprimiendo::Empieza(int filas, int columnas)
{
    Prepara(filas, columnas);
    show();
    raise();
}
