#include "drawing/BarU.h"

#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "app/Iconos.h"
#include "app/Ventanas.h"
#include "drawing/OpcionU.h"
#include "drawing/PrevisualizarU.h"

#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The tree the preview was taken from: its path names the print jobs and its
// options choose the one-sheet scale.
Arbol* ArbolActual() { return FormArbol ? &FormArbol->arbol() : nullptr; }

} // namespace

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
        auto* a = new QAction(Icono(QString::fromLatin1(icono)), hint, this);
        a->setObjectName(QString::fromLatin1(nombre));
        a->setToolTip(hint);
        connect(a, &QAction::triggered, this, slot);
        ToolBar1->addAction(a);
        if (QWidget* w = ToolBar1->widgetForAction(a)) {
            w->setObjectName(QString::fromLatin1(nombre));
            w->setFixedSize(25, 25);
        }
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

void TFormBar::AumentarClick()
{
    if (FormPrevisualizar)
        Protegido([] { FormPrevisualizar->Aumenta(); });
}

void TFormBar::ReducirClick()
{
    if (FormPrevisualizar)
        Protegido([] { FormPrevisualizar->Reduce(); });
}

void TFormBar::ImprimirClick()
{
    Arbol* a = ArbolActual();
    if (!FormPrevisualizar || !a)
        return;
    Protegido([a] {
        if (!FormPrevisualizar->DialogoImprimir(a->Archivo.Caption))
            return;
        FormPrevisualizar->EscalaUnaHoja = ModoEscalaDeOpcion(a->opciones.Escala);
        FormPrevisualizar->ImprimePaginas(FormPrevisualizar->Impresora(), a->Archivo.Caption);
    });
}

void TFormBar::ToolButton2Click()
{
    Arbol* a = ArbolActual();
    if (!FormPrevisualizar || !a)
        return;
    Protegido([a] {
        if (FormPrevisualizar->DialogoImprimir(a->Archivo.Caption))
            FormPrevisualizar->ImprimeEnUnaHoja(FormPrevisualizar->Impresora(),
                                                QString::fromUtf8(a->Archivo.Caption));
    });
}

void TFormBar::ToolButton1Click()
{
    if (FormOpciones)
        Protegido([] { FormOpciones->MuestraPaginaImpresion(); });
}

void TFormBar::ToolButton6Click()
{
    if (!FormPrevisualizar || !FormArbol)
        return;
    Protegido([] {
        DialogoFichero d;
        d.Titulo = "Guardar imagen";
        d.Filtro = "Bitmaps (*.bmp)|*.bmp";
        d.ExtensionDefecto = "bmp";
        if (const auto ruta = FormArbol->usuario().GuardarFichero(d))
            FormPrevisualizar->GuardaImagenes(*ruta);
    });
}

void TFormBar::ToolButton7Click()
{
    if (FormPrevisualizar)
        Protegido([] { FormPrevisualizar->CopiaAlPortapapeles(); });
}

void TFormBar::SalirClick()
{
    if (FormPrevisualizar)
        FormPrevisualizar->hide();
}
