#pragma once
#include <QWidget>

// Printing progress.
class TFormImprimiendo : public QWidget {
    Q_OBJECT
public:
    explicit TFormImprimiendo(QWidget* parent = nullptr);
};
