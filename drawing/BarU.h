#pragma once
#include <QWidget>

// Floating control bar of the print preview.
class TFormBar : public QWidget {
    Q_OBJECT
public:
    explicit TFormBar(QWidget* parent = nullptr);
};
