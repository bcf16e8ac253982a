#include "drawing/OpcionU.h"

#include <QTabWidget>

TOpciones::TOpciones(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Opciones"));
    setWindowTitle(QStringLiteral("Opciones"));
}

void TOpciones::MuestraPaginaImpresion()
{
    // The page is found by its name, whatever order the pages are in.
    for (QTabWidget* paginas : findChildren<QTabWidget*>()) {
        for (int i = 0; i < paginas->count(); ++i) {
            QString texto = paginas->tabText(i);
            texto.remove(QLatin1Char('&'));
            if (paginas->widget(i)->objectName() == QLatin1String("Impresion") ||
                texto == QStringLiteral("Impresion") || texto == QStringLiteral("Impresión"))
                paginas->setCurrentIndex(i);
        }
    }
    show();
    raise();
    activateWindow();
}
