#pragma once
// Set-up of the sensitivity sweep, and the sweep run from the main window.
#include "analysis/Variacion.h"

#include <QDialog>

#include <functional>

class Arbol;
class TDocumento;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QToolButton;

class TFormVariacion : public QDialog {
    Q_OBJECT
public:
    // Offers the lines of the document's variables list.
    explicit TFormVariacion(TDocumento& documento, QWidget* parent = nullptr);

    // What the dialog holds now, as the sweep takes it.
    ParametrosVariacion Parametros() const;

    // The short form without the set controls, and the long one with them.
    void Acortar();
    void Ampliar();

    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Desde = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Hasta = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Incremento = nullptr;
    QCheckBox* CheckBoxConjunto = nullptr;
    QLabel* Label5 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QLabel* Label6 = nullptr;
    QListWidget* ListBox2 = nullptr;
    QLabel* LSuma = nullptr;
    QToolButton* SBPone = nullptr;
    QToolButton* SBQuita = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

public slots:
    void CheckBoxConjuntoClick();
    void SBPoneClick();
    void SBQuitaClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    void RecalculaSuma();

    TDocumento& doc_;
    Arbol& arbol_;
};

// The progress of a sweep that runs long, with the button that stops it.
class TFormProgresoVariacion : public QDialog {
    Q_OBJECT
public:
    explicit TFormProgresoVariacion(const std::string& variable, QWidget* parent = nullptr);

    void Muestra(const ProgresoVariacion& p);
    bool Detenido() const { return detenido_; }

    QLabel* ProgressLabel = nullptr;
    QLabel* LPuntos = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* BDetener = nullptr;

public slots:
    void BDetenerClick();
    // Escape and the window's close button stop the sweep too.
    void reject() override;

private:
    QString variable_;
    bool detenido_ = false;
};

// Runs the sweep the dialog set up, from the main window. The results go to
// `resultados`; `panel` is the drawing the option may hide during the sweep
// and `refresca` repaints it now and then. Once the sweep has run for
// RetrasoProgresoMs its progress shows with "Detener". Until it ends no other
// command can start: input to every window but the progress window (and the
// messages a step may show) is held back. False when it was refused, or when a
// sweep is running already.
bool EjecutaVariacionesEnVentana(Arbol& arbol, const ParametrosVariacion& p, IVistaVariacion& resultados,
                                 QWidget* panel, std::function<void()> refresca);
// How long a sweep runs before its progress shows; a quick one never flashes it.
extern int RetrasoProgresoMs;
