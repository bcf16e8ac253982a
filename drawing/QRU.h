#pragma once
#include <QWidget>

// Holds the report that prints the drawing; never shown.
class TFormQR : public QWidget {
    Q_OBJECT
public:
    explicit TFormQR(QWidget* parent = nullptr);
};
