#pragma once
// Set-up of the sensitivity sweep.
#include "analysis/Variacion.h"

#include <QDialog>

class Arbol;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

class TFormVariacion : public QDialog {
    Q_OBJECT
public:
    // Works on the main window's tree.
    TFormVariacion();
    explicit TFormVariacion(Arbol& arbol, QWidget* parent = nullptr);

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

    Arbol& arbol_;
};
