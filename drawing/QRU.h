#pragma once
#include <QImage>
#include <QString>
#include <QWidget>

class QPainter;
class QPrinter;

// A report of one page holding one picture: Letter, landscape, margins of
// 10 mm on every side, the picture centred and stretched to the space between
// the margins with its proportions kept.
class InformeUnaPagina {
public:
    void PonImagen(const QImage& imagen) { imagen_ = imagen; }
    // Lets go of the picture (its memory goes with the last copy).
    void QuitaImagen() { imagen_ = QImage(); }
    const QImage& Imagen() const { return imagen_; }

    // Letter, landscape, 10 mm margins on the printer.
    static void PreparaImpresora(QPrinter& impresora);
    // Where the picture goes on the page being printed, in the painter's units.
    QRect Destino(const QPrinter& impresora) const;
    // Paints the picture on the page the painter is on.
    void PintaPagina(QPainter& p, const QPrinter& impresora) const;
    // One print job of one page, titled titulo, on the printer as it is set
    // (no dialog, no progress window). Printed even without a picture: the
    // page is then blank. Raises ENemor when the printer cannot print.
    void Imprime(QPrinter& impresora, const QString& titulo) const;

    // Starts a job on the printer; raises ENemor when it cannot start.
    static void Empieza(QPainter& p, QPrinter& impresora);
    // Ends a job; raises ENemor when the printer reports a failure.
    static void Termina(QPainter& p, QPrinter& impresora);

private:
    QImage imagen_;
};

// Holds the report that prints the drawing page by page; never shown.
class TFormQR : public QWidget {
    Q_OBJECT
public:
    explicit TFormQR(QWidget* parent = nullptr);

    InformeUnaPagina QuickRep1;
};
