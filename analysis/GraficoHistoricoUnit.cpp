#include "analysis/GraficoHistoricoUnit.h"

TFormHistorico::TFormHistorico(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormHistorico"));
    setWindowTitle(QStringLiteral("Variación"));
}
