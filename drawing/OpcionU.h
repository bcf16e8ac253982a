#pragma once
#include <QDialog>

// The options dialog.
class TOpciones : public QDialog {
    Q_OBJECT
public:
    explicit TOpciones(QWidget* parent = nullptr);
};
