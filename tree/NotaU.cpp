#include "tree/NotaU.h"

#include "app/Aplicacion.h"
#include "app/DocumentoU.h"
#include "drawing/ConversionQt.h"
#include "variables/Variables.h"

#include <QCursor>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

TFormNota::TFormNota(TDocumento& documento, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), doc_(documento)
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
    connect(MemoNota, &QPlainTextEdit::textChanged, this, [this] { doc_.edicion().NotaCambiada(); });
    // A comment being typed belongs to the tree as it stands: it goes in
    // before any other change (a save, a new tree, an undo) takes place.
    connect(&doc_, &TDocumento::AntesDeCambiar, this, [this] {
        if (isVisible())
            Protegido([this] { GuardarComentario(); });
    });
}

void TFormNota::AbrirComentario(uint16_t n, QPoint lugar)
{
    if (isVisible() && isActiveWindow())
        return;
    Protegido([&] {
        QStringList lineas;
        for (const std::string& l : doc_.edicion().AbrirComentario(n))
            lineas << Q(l);
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
    });
}

bool TFormNota::GuardarComentario()
{
    // Hidden first: the step's own announcement finds nothing left to store.
    hide();
    Edicion& e = doc_.edicion();
    if (!e.NotaConCambios())
        return false;
    const std::vector<std::string> lineas = LineasDeTexto(S(MemoNota->toPlainText()));
    bool guardado = false;
    doc_.Ejecuta(kPasoComentario, [&] { guardado = e.GuardarComentario(lineas); });
    return guardado;
}

void TFormNota::RatonSobreTapiz()
{
    if (!isVisible() || frameGeometry().contains(QCursor::pos()))
        return;
    Protegido([this] { GuardarComentario(); });
}

void TFormNota::PonFuente(const QFont& fuente) { MemoNota->setFont(fuente); }
