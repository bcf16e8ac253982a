#pragma once
// The comment pad: a small borderless pale-yellow memo that shows a node's
// comment. What it remembers and how a comment is stored is the core's (Edicion).
#include <QWidget>

#include <cstdint>

class Edicion;
class QPlainTextEdit;

class TFormNota : public QWidget {
    Q_OBJECT
public:
    explicit TFormNota(QWidget* parent = nullptr);

    // Opens the pad for node n of the tree edited by edicion, with its
    // top-left corner at the screen point lugar, and puts the pointer 10
    // pixels inside. Nothing when the pad is the active window.
    void AbrirComentario(Edicion& edicion, uint16_t n, QPoint lugar);
    // Stores an edited comment into its node and hides the pad; true when a comment was stored.
    bool GuardarComentario();

    QPlainTextEdit* MemoNota;

private:
    Edicion* edicion_ = nullptr;
};
