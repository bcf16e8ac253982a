#pragma once
#include <QDialog>

// Value entry dialog for payoffs and probabilities.
class TFormDato : public QDialog {
    Q_OBJECT
public:
    explicit TFormDato(QWidget* parent = nullptr);
};
