#pragma once
// The comment pad: a small borderless pale-yellow memo that shows a node's
// comment. What it remembers and how a comment is stored is the core's
// (Edicion); storing it is a step of the document.
#include <QWidget>

#include <cstdint>

class QPlainTextEdit;
class TDocumento;

class TFormNota : public QWidget {
    Q_OBJECT
public:
    explicit TFormNota(TDocumento& documento, QWidget* parent = nullptr);

    QPlainTextEdit* MemoNota;

public slots:
    // Opens the pad for node n with its top-left corner at the screen point
    // lugar, and puts the pointer 10 pixels inside. Nothing when the pad is the active window.
    void AbrirComentario(uint16_t n, QPoint lugar);
    // Hides the pad and stores an edited comment into its node; true when a comment was stored.
    bool GuardarComentario();
    // The mouse moved over the bare drawing: leaving the pad for it stores
    // the comment. A move still reported while the pointer is over the pad
    // (as when a menu closes) is not leaving it.
    void RatonSobreTapiz();
    // The font the options give comments.
    void PonFuente(const QFont& fuente);

private:
    TDocumento& doc_;
};
