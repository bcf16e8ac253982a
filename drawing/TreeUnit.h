#pragma once
#include <QWidget>

// The tree outline view.
class TTreeAD : public QWidget {
    Q_OBJECT
public:
    explicit TTreeAD(QWidget* parent = nullptr);
};
