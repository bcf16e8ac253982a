#pragma once
#include <QDialog>

// The options dialog.
class TOpciones : public QDialog {
    Q_OBJECT
public:
    explicit TOpciones(QWidget* parent = nullptr);

    // Shows the dialog without waiting for it, on its "Impresion" page.
    void MuestraPaginaImpresion();
};
