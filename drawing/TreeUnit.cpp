#include "drawing/TreeUnit.h"

TTreeAD::TTreeAD(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TreeAD"));
    setWindowTitle(QStringLiteral("Arbol"));
}
