#include "app/ProgresoU.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

TProgressForm::TProgressForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("Progreso"));
    auto* l = new QVBoxLayout(this);
    ProgressLabel = new QLabel(this);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    l->addWidget(ProgressLabel);
    l->addWidget(ProgressBar1);
    resize(320, 80);
}

void TProgressForm::Muestra(const QString& texto)
{
    ProgressLabel->setText(texto);
    ProgressBar1->setValue(0);
    if (QScreen* s = QApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    show();
    raise();
    // The reading that follows blocks the event loop: paint now.
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    pintado_.start();
}

void TProgressForm::Posicion(int posicion)
{
    const int valor = qBound(0, posicion, 100);
    if (valor == ProgressBar1->value())
        return;
    ProgressBar1->setValue(valor);
    // The reading holds the event loop, so the bar is painted here; but one
    // painting costs more than reading hundreds of nodes: a few a second are
    // all the eye follows.
    if (!pintado_.isValid() || pintado_.elapsed() >= kMsEntrePinturas) {
        ProgressBar1->repaint();
        pintado_.restart();
    }
}
