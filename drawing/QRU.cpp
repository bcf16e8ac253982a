#include "drawing/QRU.h"

#include "common/Errores.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

TFormQR::TFormQR(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormQR"));
}

void InformeUnaPagina::PreparaImpresora(QPrinter& impresora)
{
    impresora.setFullPage(false);
    impresora.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape,
                                        QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

QRect InformeUnaPagina::Destino(const QPrinter& impresora) const
{
    // The painter's origin is the top-left corner inside the margins.
    const QRect area(0, 0, impresora.width(), impresora.height());
    if (imagen_.isNull() || area.isEmpty())
        return {};
    QSize s = imagen_.size();
    s.scale(area.size(), Qt::KeepAspectRatio);
    QRect r(QPoint(0, 0), s);
    r.moveCenter(area.center());
    return r;
}

void InformeUnaPagina::PintaPagina(QPainter& p, const QPrinter& impresora) const
{
    const QRect r = Destino(impresora);
    if (!r.isEmpty())
        p.drawImage(r, imagen_);
}

void InformeUnaPagina::Empieza(QPainter& p, QPrinter& impresora)
{
    if (p.begin(&impresora))
        return;
    if (!impresora.outputFileName().isEmpty())
        throw EInOutError("Cannot create file \"" + impresora.outputFileName().toStdString() + "\".");
    throw ENemor("La impresora seleccionada no es válida");
}

void InformeUnaPagina::Termina(QPainter& p, QPrinter& impresora)
{
    p.end();
    if (impresora.printerState() == QPrinter::Error)
        throw ENemor("Error de impresión en \"" + impresora.printerName().toStdString() + "\"");
}

void InformeUnaPagina::Imprime(QPrinter& impresora, const QString& titulo) const
{
    impresora.setDocName(titulo);
    QPainter p;
    Empieza(p, impresora);
    PintaPagina(p, impresora);
    Termina(p, impresora);
}
