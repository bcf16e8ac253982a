#pragma once
// The value dialog "Dato": a caption, an editable drop-down of variable
// lines and two buttons. The list and the initial text come from the core.
#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

class TFormDato : public QDialog {
    Q_OBJECT
public:
    explicit TFormDato(QWidget* parent = nullptr);

    // Shows the dialog modally. Returns false when cancelled; texto then keeps its value.
    bool Ejecuta(const std::string& rotulo, const std::vector<std::string>& lista, std::string& texto);

    QLabel* Label1;
    QComboBox* ComboBox1;
    QPushButton* BitBtn1; // "Aceptar"
    QPushButton* BitBtn2; // "Cancelar"
};
