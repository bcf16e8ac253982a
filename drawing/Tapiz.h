#pragma once
// The drawing surface: one widget paints the whole tree from the core's view
// data and finds the node under the mouse from the figure rectangles.
#include "drawing/PintaArbol.h"

#include <QWidget>

class Tapiz : public QWidget {
    Q_OBJECT
public:
    Tapiz(const Arbol& arbol, QWidget* parent = nullptr);

    MedidorEtiquetas& Medidor() { return medidor_; }
    // The control under a point of the surface.
    Impacto ControlEn(const QPoint& punto);
    // Where the node's labels are drawn now, and which are visible.
    std::array<QRect, NumEtiquetas> RectsEtiquetas(uint16_t numero);

    // The drag outline (PaintBoxMover): hidden while its size is empty.
    void PonFantasma(const QRect& r, uint8_t tipo);
    void QuitaFantasma();
    QRect Fantasma() const { return fantasma_; }

signals:
    // Mouse events as the node figures, the comment marks and the bare surface
    // receive them; positions are relative to the control. While a button is
    // held, the control that was pressed keeps receiving the moves and the release.
    void FiguraMouseDown(uint16_t nodo, Qt::MouseButton boton, Qt::KeyboardModifiers mods, QPoint punto);
    void FiguraMouseMove(uint16_t nodo, Qt::KeyboardModifiers mods, QPoint punto);
    void FiguraMouseUp(uint16_t nodo, Qt::MouseButton boton, Qt::KeyboardModifiers mods, QPoint punto);
    void MarcaMouseMove(uint16_t nodo, QPoint punto);
    void TapizMouseDown(Qt::MouseButton boton, Qt::KeyboardModifiers mods, QPoint punto);
    void TapizMouseMove(Qt::KeyboardModifiers mods, QPoint punto);
    // A right press on a figure: the node menu opens there.
    void MenuNodo(uint16_t nodo, QPoint global);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;

private:
    QPoint Relativo(const Impacto& i, const QPoint& p) const;

    const Arbol& arbol_;
    MedidorEtiquetas medidor_;
    Impacto captura_;
    bool capturado_ = false;
    QRect fantasma_;
    uint8_t tipoFantasma_ = NodoTerminal;
};
