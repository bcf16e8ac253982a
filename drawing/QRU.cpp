#include "drawing/QRU.h"

TFormQR::TFormQR(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormQR"));
}
