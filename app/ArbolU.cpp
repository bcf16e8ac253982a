#include "app/ArbolU.h"

TArbol::TArbol(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("NEMOR"));
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}
