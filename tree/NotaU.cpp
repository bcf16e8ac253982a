#include "tree/NotaU.h"

#include "tree/Edicion.h"
#include "variables/Variables.h"

#include <QCursor>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

TFormNota::TFormNota(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FormNota"));
    setFixedSize(188, 104);
    MemoNota = new QPlainTextEdit(this);
    MemoNota->setObjectName(QStringLiteral("MemoNota"));
    MemoNota->setFrameShape(QFrame::NoFrame);
    MemoNota->setTabChangesFocus(true);
    QPalette p = MemoNota->palette();
    p.setColor(QPalette::Base, QColor(255, 255, 206));
    p.setColor(QPalette::Text, Qt::black);
    MemoNota->setPalette(p);
    MemoNota->setAutoFillBackground(true);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(MemoNota);
    connect(MemoNota, &QPlainTextEdit::textChanged, this, [this] {
        if (edicion_)
            edicion_->NotaCambiada();
    });
}

void TFormNota::AbrirComentario(Edicion& edicion, uint16_t n, QPoint lugar)
{
    if (isVisible() && isActiveWindow())
        return;
    edicion_ = &edicion;
    QStringList lineas;
    for (const std::string& l : edicion.AbrirComentario(n))
        lineas << QString::fromUtf8(l);
    {
        // Filling the memo is not an edit.
        const QSignalBlocker b(MemoNota);
        MemoNota->setPlainText(lineas.join(QLatin1Char('\n')));
    }
    move(lugar);
    QCursor::setPos(lugar + QPoint(10, 10));
    show();
    activateWindow();
    MemoNota->setFocus();
}

bool TFormNota::GuardarComentario()
{
    const bool guardado =
        edicion_ && edicion_->GuardarComentario(LineasDeTexto(MemoNota->toPlainText().toUtf8().toStdString()));
    hide();
    return guardado;
}
