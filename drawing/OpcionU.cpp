#include "drawing/OpcionU.h"

TOpciones::TOpciones(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Opciones"));
    setWindowTitle(QStringLiteral("Opciones"));
}
