#include "variables/VarUnit.h"

TFormVar::TFormVar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormVar"));
    setWindowTitle(QStringLiteral("Variables"));
}
