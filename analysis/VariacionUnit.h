#pragma once
#include <QDialog>

// Set-up of the sensitivity sweep.
class TFormVariacion : public QDialog {
    Q_OBJECT
public:
    explicit TFormVariacion(QWidget* parent = nullptr);
};
