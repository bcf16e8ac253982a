#pragma once
#include <QWidget>

class QAction;
class QToolBar;

// Floating control bar of the print preview.
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

public slots:
    void AumentarClick();
    void ReducirClick();
    // Prints every page, one job each.
    void ImprimirClick();
    // Prints the preview on one sheet.
    void ToolButton2Click();
    // Opens the print options.
    void ToolButton1Click();
    // Saves the page images.
    void ToolButton6Click();
    // Puts the preview on the clipboard.
    void ToolButton7Click();
    void SalirClick();
};
