#include "drawing/PrevisualizarU.h"

TFormPrevisualizar::TFormPrevisualizar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormPrevisualizar"));
    setWindowTitle(QStringLiteral("Presentación preliminar"));
}
