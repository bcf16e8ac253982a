#pragma once
#include "drawing/Paginas.h"
#include "drawing/QRU.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class IUsuario;
class MedidorEtiquetas;
class QPrinter;
class QScrollArea;

// One page of the drawing as a picture: the part of the drawing at pagina, in
// drawing coordinates, painted by the drawing's own painting code. What lies
// outside the surface of size superficie is white.
QImage ImagenPagina(const Arbol& arbol, MedidorEtiquetas& medidor, const QSize& superficie, const QRect& pagina);

// Print preview: a k x k grid of page pictures taken when it was built. It
// scrolls when the zoomed grid is larger than the window. Its control bar and
// its printing progress are windows of their own, told by its signals.
class TFormPrevisualizar : public QWidget {
    Q_OBJECT
public:
    // arbol: its path names the print jobs and its options choose the
    // one-sheet scale; usuario: where the page images' file name is asked.
    explicit TFormPrevisualizar(const Arbol& arbol, IUsuario* usuario = nullptr, QWidget* parent = nullptr);
    ~TFormPrevisualizar() override;

    // The report that prints the pages; one of its own unless given.
    void PonInforme(InformeUnaPagina* informe) { informe_ = informe ? informe : &propio_; }

    // Takes the k x k tiles of the drawing (tile (i, j) shows the drawing from
    // (j x page width, i x page height)), leaves the last one on the clipboard,
    // and shows the preview maximised with its control bar.
    void Construye(const Arbol& arbol, MedidorEtiquetas& medidor, const QSize& superficie, const QSize& pagina,
                   const RejillaPaginas& rejilla);

    const RejillaPaginas& Rejilla() const { return rejilla_; }
    QSize Pagina() const { return pagina_; }
    bool TieneTeselas() const { return !teselas_.empty(); }
    // Tile (i, j), counted from 0; only the first rows x columns are printed and saved.
    const QImage& Tesela(int i, int j) const;
    // Where tile (i, j) is shown on the scrolling canvas now.
    QRect RectTesela(int i, int j) const;
    QScrollArea* ScrollBox() const { return scroll_; }

    // Zoom of the tiles: one step scales by 100/90, minus one by 90/100.
    void Aumenta();
    void Reduce();
    int PasosZoom() const { return pasos_; }

    // The one-sheet scale mode; proportional until printing pages sets it from the options.
    ModoEscala EscalaUnaHoja = ModoEscala::Proporcional;

    // The printer chosen last in the print dialog (kept for the rest of the run).
    QPrinter& Impresora();
    // Shows the print dialog on Impresora(); false when cancelled. Where the
    // machine has no printer, the dialog starts on PDF output to a file named
    // after nombre, the tree document's path.
    bool DialogoImprimir(const std::string& nombre);

    // Prints every page of the rows x columns grid, row by row, each page a job
    // of its own titled by the page name of nombre, with the progress window.
    // Output to a file gets every page in that one file instead, since each
    // job would replace the file the one before wrote.
    void ImprimePaginas(QPrinter& impresora, const std::string& nombre);
    // Prints the preview as shown (zoomed and scrolled) on one sheet, at the
    // page's top-left corner, sized by EscalaUnaHoja.
    void ImprimeEnUnaHoja(QPrinter& impresora, const QString& titulo);
    // Saves every page of the rows x columns grid as a bitmap file named from
    // ruta with the page's row and column. Existing files are replaced.
    void GuardaImagenes(const std::string& ruta);
    // The preview as it is shown now.
    QImage ImagenCliente() const;
    void CopiaAlPortapapeles();

public slots:
    // The control bar's commands: print every page, print on one sheet (each
    // with the print dialog first), save the page images, copy the preview, close.
    void ImprimirClick();
    void UnaHojaClick();
    void GuardarImagenClick();
    void CopiarClick();
    void CerrarClick();

signals:
    // The preview was shown (its control bar goes with it) or closed.
    void BarraVisible(bool visible);
    // Printing of a grid of filas x columnas pages starts, goes on, and ends well.
    void ImpresionEmpieza(int filas, int columnas);
    // Page (i, j) went to the printer in the job titulo.
    void PaginaImpresa(int i, int j, const QString& titulo);
    void ImpresionTermina();

protected:
    void hideEvent(QHideEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    class Lienzo;
    void ColocaTeselas();

    QScrollArea* scroll_ = nullptr;
    Lienzo* lienzo_ = nullptr;
    RejillaPaginas rejilla_;
    QSize pagina_;
    std::vector<QImage> teselas_; // k x k, row by row
    int pasos_ = 0;
    QSize base_;                  // a tile's size at zoom 0
    std::unique_ptr<QPrinter> impresora_;
    const Arbol& arbol_;
    IUsuario* usuario_;
    InformeUnaPagina propio_;
    InformeUnaPagina* informe_ = &propio_;
};
