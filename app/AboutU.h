#pragma once
#include <QDialog>

// The about window: product name, version and credits; "Aceptar" closes it.
// The version is the one the tree files carry (kVersionNemor, tree/FicheroArbol.h).
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};
