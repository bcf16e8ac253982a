#pragma once
// What the risk windows share with the sweep's result view: chart pages with
// the chart commands (zoom in and out, move, reset, save and copy the image),
// a "Valores" page whose table is copied, saved and printed, the caption's
// font and size, centred on the screen.
#include <QWidget>

#include <string>
#include <vector>

class GraficoVariacion;
class IUsuario;
class QAction;
class QChart;
class QHBoxLayout;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QTabWidget;
class QToolBar;

class TVistaAnalisis : public QWidget {
    Q_OBJECT
public:
    // tamanyo: the sweep view's 600 x 457 where a window shows no more than it;
    // usuario: where file names are asked (without one, nothing is saved).
    TVistaAnalisis(const QString& caption, const QString& nombre, QSize tamanyo, IUsuario* usuario,
                   QWidget* parent = nullptr);

    void PonUsuario(IUsuario* usuario) { usuario_ = usuario; }

    // The table of the "Valores" page, line by line, as shown.
    void PonLineas(std::vector<std::string> lineas);
    const std::vector<std::string>& Lineas() const { return lineas_; }
    // Prints the table on an open printer: one line per table line, in the table's font.
    void ImprimeTabla(QPrinter& impresora);

    // One chart page, with its command bar.
    struct PaginaGrafico {
        QWidget* Pagina = nullptr;
        QToolBar* Barra = nullptr;
        GraficoVariacion* Vista = nullptr;
        QAction* Acercar = nullptr;
        QAction* Alejar = nullptr;
        QAction* Mover = nullptr;
        QAction* Restablecer = nullptr;
        QAction* GuardarImagen = nullptr;
        QAction* CopiarImagen = nullptr;
    };
    const std::vector<PaginaGrafico>& Graficos() const { return graficos_; }

    QTabWidget* PageControl1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* BitBtn3 = nullptr; // "Co&piar"
    QPushButton* BitBtn4 = nullptr; // "&Grabar"
    QPushButton* BitBtn5 = nullptr; // "&Imprimir"

public slots:
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void GuardaImagenClick(int pagina);
    void CopiaImagenClick(int pagina);

protected:
    // Controls above the pages (each window's own inputs).
    QHBoxLayout* FilaSuperior() const { return fila_; }
    // Adds a chart page before "Valores"; the chart takes the view's title style.
    PaginaGrafico AnyadeGrafico(const QString& titulo, const char* nombre, QChart* grafico);
    // What "Restablecer" does on a page: every axis back to the whole data.
    virtual void AjustaEjes(int pagina) = 0;

    IUsuario* Usuario() const;

private:
    std::vector<PaginaGrafico> graficos_;
    std::vector<std::string> lineas_;
    QHBoxLayout* fila_ = nullptr;
    QWidget* valores_ = nullptr;
    IUsuario* usuario_ = nullptr;
};

// The numbers of a chart: the user's decimal separator, no grouping, as in the tables.
class QLocale;
QLocale LocaleNumeros();
// Distinct colours for the series of one chart, in order.
class QColor;
QColor ColorSerie(size_t i);
// A chart in the sweep view's style: the title maroon and bold, white, the numbers in the user's format.
QChart* GraficoConEstilo(const QString& titulo, const QFont& base);
