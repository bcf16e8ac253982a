#include "tree/NotaU.h"

TFormNota::TFormNota(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormNota"));
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
}
