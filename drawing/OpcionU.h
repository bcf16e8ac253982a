#pragma once
// The options dialog. Its controls edit the tree's options object and colour
// fields live: what the dialog shows is what the drawing and the calculations
// use, stored or not. Loading, saving and applying are the core's (OpcionesIni).
#include <QDialog>

#include <functional>

class Arbol;
class TDocumento;
class QButtonGroup;
class QCheckBox;
class QColorDialog;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QWidget;

// A small paint box that draws one option's sample.
class MuestraOpcion : public QWidget {
    Q_OBJECT
public:
    MuestraOpcion(std::function<void(QPainter&, int, int)> pinta, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::function<void(QPainter&, int, int)> pinta_;
};

class TOpciones : public QDialog {
    Q_OBJECT
public:
    // Loads the stored options and applies them to the document's tree.
    explicit TOpciones(TDocumento& documento, QWidget* parent = nullptr);

    QTabWidget* PageControl1;
    QPushButton* BitBtn4; // "&Aceptar"
    QPushButton* BitBtn1; // "&Cancelar"
    // "Colores"
    MuestraOpcion* CuaCol;
    MuestraOpcion* CirCol;
    MuestraOpcion* TriCol;
    MuestraOpcion* LinCol;
    QToolButton* BCuaCol;
    QToolButton* BCirCol;
    QToolButton* BTriCol;
    QToolButton* BLinCol;
    QToolButton* BLinMas;
    QToolButton* BLinMenos;
    QColorDialog* ColorDialog1;
    // "Impresion"
    QButtonGroup* Escala;
    // "Identificadores"
    QCheckBox* SelArchivo;
    QCheckBox* SelFecha;
    // "Precisión"
    QLineEdit* EditPrecisionSumatorio;
    QLineEdit* EDigitosEtiquetas;
    QLineEdit* EPrecisionEtiquetas;
    QLineEdit* EPrecisionBayes;
    // "Fuente"
    QComboBox* FontComboBox1;
    QWidget* PanelFuente;
    QLabel* LabelMayusculas;
    QLabel* LabelMinusculas;
    QLabel* LabelCifras;
    // "Dimensiones"
    QSpinBox* AnchoTapiz;
    QSpinBox* AltoTapiz;
    QSpinBox* TamanyoFormas;
    QSpinBox* TamanyoLetras;
    // "Varios"
    QCheckBox* CheckBoxListaVarOrdenada;
    QCheckBox* CheckBoxVersion;
    QCheckBox* CheckBoxArbolVisibleVariaciones;
    QCheckBox* CheckBoxComprobarRojos;
    QCheckBox* CheckBoxNumNodosVisibles;
    QSpinBox* IntervaloRecuperacion; // seconds between recovery copies; 0 "Nunca"
    // "Riesgo"
    QButtonGroup* CriterioRiesgo;     // 0 "Valor esperado", 1 "Utilidad exponencial"
    QLineEdit* EToleranciaRiesgo;     // R, a real as text

    // Reads the settings file into the options and shows them.
    void LeeOpciones();
    // Writes every option to the settings file; a bad text raises the conversion error.
    void GuardaOpciones();
    // Sizes (at zoom 1), the drawing's dimensions and the comment note's font.
    void AplicaOpciones();
    // The font of the comment note: the labels' font at the letter size.
    QFont FuenteNota() const;

    // Shows the dialog without waiting for it, on its "Impresion" page.
    void MuestraPaginaImpresion();

public slots:
    void BitBtn4Click();
    void BitBtn1Click();
    void BCuaColClick();
    void BCirColClick();
    void BTriColClick();
    void BLinColClick();
    void BLinMasClick();
    void BLinMenosClick();
    void FontComboBox1Change();

signals:
    // The options give the comment note another font.
    void FuenteNotaCambiada(const QFont& fuente);

public slots:
    // Every way out of the dialog ends here.
    void done(int r) override;
    // Each showing takes the size the tabs and pages need (AjustaTamanyo).
    void setVisible(bool visible) override;
    // The Escape key is the "&Cancelar" button.
    void reject() override;

protected:
    // Closing from the frame keeps what was changed, without storing it.
    void closeEvent(QCloseEvent* e) override;

private:
    void CreaControles();
    // The fixed size the contents need, never below 427 x 216.
    void AjustaTamanyo();
    void MuestraOpciones();
    void Conecta();
    void CambiaColor(uint32_t& color, QWidget* muestra);
    // A setting that is not a step (a colour, the line width) changes through
    // the document, whose announcement repaints the drawing.
    void CambiaAjuste(const std::function<void()>& orden);
    void FormClose();

    TDocumento& doc_;
    Arbol& arbol_;
    bool mostrando_ = false;
};
