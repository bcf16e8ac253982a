#include "analysis/VariacionUnit.h"

TFormVariacion::TFormVariacion(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormVariacion"));
    setWindowTitle(QStringLiteral("Variación"));
}
