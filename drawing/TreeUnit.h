#pragma once
// The tree outline view: an indented picture of the tree, built each time the
// window is shown and again whenever the document changes what it lists
// (the items the user expanded stay expanded; another tree starts closed).
// Renaming an item renames its node: a step of the document.
#include "drawing/Interaccion.h"

#include <QWidget>

#include <cstdint>
#include <set>
#include <vector>

struct Cambio;
class TDocumento;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class TTreeAD : public QWidget {
    Q_OBJECT
public:
    explicit TTreeAD(TDocumento& documento, QWidget* parent = nullptr);

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
    void DocumentoCambiado(const Cambio& cambio);
    // Builds the items of esquema; those of the nodes in abiertos_ open.
    void Construye(const std::vector<ElementoEsquema>& esquema);

    TDocumento& doc_;
    std::vector<ElementoEsquema> esquema_; // what the items show
    // The nodes whose items the user opened, kept while they are gone: the
    // undo that brings one back brings it back open.
    std::set<uint16_t> abiertos_;
    bool construyendo_ = false;
    bool renombrando_ = false;
};
