#include "drawing/BarU.h"

#include "app/Iconos.h"

#include <QToolBar>
#include <QVBoxLayout>

TFormBar::TFormBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormBar"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Control"));

    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(0, 2, 0, 2);
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    capa->addWidget(ToolBar1);

    auto boton = [this](const char* nombre, const QString& hint, const char* icono, void (TFormBar::*slot)()) {
        QAction* a = BotonBarra(ToolBar1, nombre, hint, icono);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    Aumentar = boton("Aumentar", QStringLiteral("Aumentar"), "aumentar", &TFormBar::AumentarClick);
    Reducir = boton("Reducir", QStringLiteral("Reducir"), "reducir", &TFormBar::ReducirClick);
    ToolBar1->addSeparator();
    Imprimir = boton("Imprimir", QStringLiteral("Imprimir"), "imprimir", &TFormBar::ImprimirClick);
    ToolButton2 = boton("ToolButton2", QStringLiteral("Imprimir en 1 hoja"), "unahoja", &TFormBar::ToolButton2Click);
    ToolButton1 = boton("ToolButton1", QStringLiteral("Opciones de impresión"), "opcionesimpresion",
                        &TFormBar::ToolButton1Click);
    ToolBar1->addSeparator();
    ToolButton6 = boton("ToolButton6", QStringLiteral("Guardar imagen"), "guardarimagen", &TFormBar::ToolButton6Click);
    ToolButton7 = boton("ToolButton7", QStringLiteral("Pegar imagen en portapapeles"), "portapapeles",
                        &TFormBar::ToolButton7Click);
    ToolBar1->addSeparator();
    Salir = boton("Salir", QStringLiteral("Cerrar"), "cerrar", &TFormBar::SalirClick);

    // Wide enough for every button whatever the style's separators take.
    resize(std::max(230, ToolBar1->sizeHint().width()), 29);
    setFixedHeight(std::max(29, ToolBar1->sizeHint().height() + 4));
}
