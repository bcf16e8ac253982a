#pragma once
#include <QWidget>

#include <vector>

class QLabel;

// Printing progress: one square per page, silver until the page is printed,
// then blue.
class TFormImprimiendo : public QWidget {
    Q_OBJECT
public:
    explicit TFormImprimiendo(QWidget* parent = nullptr);

    // Gets ready for a grid of filas x columnas pages: the label gives the
    // page count, the squares of an earlier run go, every square starts silver,
    // and the window grows to hold them all.
    void Prepara(int filas, int columnas);
    // Page (i, j), counted from 0, is printed.
    void MarcaImpresa(int i, int j);
    // Prepara, and shows the window above the others.
    void Empieza(int filas, int columnas);

    int Filas() const { return filas_; }
    int Columnas() const { return columnas_; }
    // The colour square (i, j) is painted with now.
    QColor ColorCuadro(int i, int j) const;

    QLabel* Label1 = nullptr;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int filas_ = 0;
    int columnas_ = 0;
    std::vector<bool> impresas_;
};
