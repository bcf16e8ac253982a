#include "tree/DatoU.h"

TFormDato::TFormDato(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormDato"));
    setWindowTitle(QStringLiteral("Dato"));
}
