#pragma once
#include <QWidget>

// Print preview.
class TFormPrevisualizar : public QWidget {
    Q_OBJECT
public:
    explicit TFormPrevisualizar(QWidget* parent = nullptr);
};
