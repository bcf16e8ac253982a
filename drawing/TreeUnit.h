#pragma once
// The tree outline view: an indented snapshot of the tree, rebuilt each time
// the window is shown. Renaming an item renames its node in the drawing.
#include <QWidget>

#include <cstdint>
#include <functional>

class Arbol;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class TTreeAD : public QWidget {
    Q_OBJECT
public:
    // The main window's tree; renaming repaints its drawing.
    TTreeAD();
    // repinta runs after a node was renamed.
    TTreeAD(Arbol& arbol, std::function<void()> repinta, QWidget* parent = nullptr);

    QWidget* Panel2;
    QWidget* Panel1;
    QToolButton* SpeedButton3; // "Cerrar"
    QToolButton* SpeedButton1; // "Expandir"
    QToolButton* SpeedButton2; // "Contraer"
    QTreeWidget* TreeG1;

    // The node index and kind an item was built with.
    static uint16_t NodoDe(const QTreeWidgetItem* item);
    static uint8_t TipoDe(const QTreeWidgetItem* item);

public slots:
    void FormShow();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void TreeG1Edited(QTreeWidgetItem* item, int columna);

protected:
    void showEvent(QShowEvent* e) override;

private:
    Arbol& arbol_;
    std::function<void()> repinta_;
    bool construyendo_ = false;
};
