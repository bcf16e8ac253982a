#pragma once
// The window "Tornado": how far the root's value moves when each input moves
// by a percentage either way (horizontal bars about the base value, largest
// first), and on the page "Araña" the root's value along each input's changes.
#include "analysis/Tornado.h"
#include "analysis/VistaAnalisisUnit.h"

class Arbol;
class TDocumento;
class QAreaSeries;
class QCategoryAxis;
class QDoubleSpinBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QSpinBox;
class QValueAxis;

class TFormTornado : public TVistaAnalisis {
    Q_OBJECT
public:
    // Moves the inputs of the document's tree.
    explicit TFormTornado(TDocumento& documento, IUsuario* usuario = nullptr, QWidget* parent = nullptr);

    // Runs the analysis with the percentage and steps shown, on the tree, and
    // shows the charts. The tree and its list are as before afterwards, the
    // tree solved again; the caller runs it through the document.
    void Calcula();

    const ResultadoTornado& Resultado() const { return tornado_; }
    const ResultadoArana& ResultadoAra() const { return arana_; }

    QDoubleSpinBox* EditPorcentaje = nullptr; // "Variación (%):"
    QSpinBox* EditPasos = nullptr;            // "Pasos de la araña:"
    QPushButton* BotonCalcular = nullptr;     // "&Calcular"
    QLabel* LabelAviso = nullptr;             // inputs left out, if any
    QValueAxis* EjeValor = nullptr;
    QCategoryAxis* EjeEntradas = nullptr;
    QValueAxis* EjeCambio = nullptr;
    QValueAxis* EjeRaiz = nullptr;
    // Drawn: for each input its low and high bars; each spider line; the base mark.
    std::vector<QAreaSeries*> BarrasBajo;
    std::vector<QAreaSeries*> BarrasAlto;
    std::vector<QLineSeries*> SeriesArana;
    QLineSeries* LineaBase = nullptr;

public slots:
    void BotonCalcularClick();

protected:
    void AjustaEjes(int pagina) override;

private:
    void DibujaTornado();
    void DibujaArana();

    QChart* tornadoGrafico_ = nullptr;
    QChart* aranaGrafico_ = nullptr;
    ResultadoTornado tornado_;
    ResultadoArana arana_;
    TDocumento& doc_;
};
