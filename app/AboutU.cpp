#include "app/AboutU.h"

#include "app/Iconos.h"
#include "tree/FicheroArbol.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Texto(QWidget* padre, const char* nombre, const QString& texto)
{
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QString::fromLatin1(nombre));
    return l;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Acerca de ..."));
    auto* l = new QVBoxLayout(this);
    auto* arriba = new QHBoxLayout;
    auto* imagen = new QLabel(this);
    imagen->setPixmap(Icono(QStringLiteral("nemor")).pixmap(48, 48));
    arriba->addWidget(imagen, 0, Qt::AlignTop);
    arriba->addWidget(Texto(this, "ProductName",
                            QStringLiteral("<b>NEMOR</b><br>Árboles de decisión<br>Versión %1")
                                .arg(QString::fromUtf8(kVersionNemor))),
                      1);
    l->addLayout(arriba);
    // As wide as the longest line below it; the description wraps to that.
    QLabel* descripcion = Texto(this, "Comments",
                                QStringLiteral("Dibujo y resolución de árboles de decisión: valor esperado, "
                                               "variables, revisión bayesiana y análisis de sensibilidad."));
    descripcion->setWordWrap(true);
    l->addWidget(descripcion);
    l->addWidget(Texto(this, "Copyright", QStringLiteral("© 2026 Equipo de NEMOR")));
    // What the program links, with the licences Debian ships them under.
    l->addWidget(Texto(this, "Bibliotecas",
                       QStringLiteral("Hecho con Qt %1 (The Qt Company):<br>"
                                      "· Qt Base y Qt Print Support, con licencia GNU LGPL v3<br>"
                                      "· Qt SVG, con licencia GNU LGPL v3<br>"
                                      "· Qt Charts, con licencia GNU GPL v3 o posterior")
                           .arg(QString::fromLatin1(qVersion()))));
    auto* botones = new QDialogButtonBox(this);
    QPushButton* aceptar = botones->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    aceptar->setObjectName(QStringLiteral("OKButton"));
    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    l->addWidget(botones);
    l->setSizeConstraint(QLayout::SetFixedSize);
}
