#pragma once
#include <QDialog>

// The about window: product name, version and credits; "Aceptar" closes it.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

// The version text the program shows and the tree files carry.
inline constexpr const char* kVersionNemor = "2015";
