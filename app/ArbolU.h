#pragma once
#include "tree/Arbol.h"

#include <QMainWindow>

// The main window: owns the single tree.
class TArbol : public QMainWindow {
    Q_OBJECT
public:
    explicit TArbol(QWidget* parent = nullptr);

    Arbol& arbol() { return arbol_; }

private:
    Arbol arbol_;
};
