#include "drawing/BarU.h"

TFormBar::TFormBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormBar"));
    setWindowFlags(Qt::Tool);
    setWindowTitle(QStringLiteral("Control"));
}
