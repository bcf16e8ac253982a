#pragma once
#include <QMainWindow>

// The rich-text editor.
class TFormEditor : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormEditor(QWidget* parent = nullptr);
};
