#include "app/AboutU.h"

#include "app/Iconos.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Acerca de ..."));
    auto* l = new QVBoxLayout(this);
    auto* arriba = new QHBoxLayout;
    auto* imagen = new QLabel(this);
    imagen->setPixmap(Icono(QStringLiteral("nemor")).pixmap(48, 48));
    auto* nombre = new QLabel(QStringLiteral("<b>NEMOR</b><br>Árboles de decisión<br>Versión %1")
                                  .arg(QString::fromUtf8(kVersionNemor)),
                              this);
    nombre->setObjectName(QStringLiteral("ProductName"));
    arriba->addWidget(imagen);
    arriba->addWidget(nombre, 1);
    l->addLayout(arriba);
    auto* creditos = new QLabel(QStringLiteral("Dibujo y resolución de árboles de decisión: valor esperado, "
                                               "variables, revisión bayesiana y análisis de sensibilidad."),
                                this);
    creditos->setObjectName(QStringLiteral("Comments"));
    creditos->setWordWrap(true);
    l->addWidget(creditos);
    auto* botones = new QDialogButtonBox(this);
    QPushButton* aceptar = botones->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    aceptar->setObjectName(QStringLiteral("OKButton"));
    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    l->addWidget(botones);
    setFixedWidth(320);
}
