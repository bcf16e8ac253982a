#include "drawing/ImprimiendoU.h"

TFormImprimiendo::TFormImprimiendo(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormImprimiendo"));
    setWindowTitle(QStringLiteral("Imprimiendo"));
}
