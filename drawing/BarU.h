#pragma once
#include <QWidget>

class QAction;
class QToolBar;

// Floating control bar of the print preview. Its buttons say what the user
// asks for; the preview (and the options window) do it.
class TFormBar : public QWidget {
    Q_OBJECT
public:
    explicit TFormBar(QWidget* parent = nullptr);

    QToolBar* ToolBar1 = nullptr;
    QAction* Aumentar = nullptr;
    QAction* Reducir = nullptr;
    QAction* Imprimir = nullptr;
    QAction* ToolButton2 = nullptr;
    QAction* ToolButton1 = nullptr;
    QAction* ToolButton6 = nullptr;
    QAction* ToolButton7 = nullptr;
    QAction* Salir = nullptr;

signals:
    void PideAumentar();
    void PideReducir();
    // Every page, one job each.
    void PideImprimir();
    // The preview on one sheet.
    void PideUnaHoja();
    // The print options.
    void PideOpciones();
    // The page images to files.
    void PideGuardarImagen();
    // The preview to the clipboard.
    void PideCopiar();
    void PideCerrar();

public slots:
    void AumentarClick() { emit PideAumentar(); }
    void ReducirClick() { emit PideReducir(); }
    void ImprimirClick() { emit PideImprimir(); }
    void ToolButton2Click() { emit PideUnaHoja(); }
    void ToolButton1Click() { emit PideOpciones(); }
    void ToolButton6Click() { emit PideGuardarImagen(); }
    void ToolButton7Click() { emit PideCopiar(); }
    void SalirClick() { emit PideCerrar(); }
};
