#pragma once
#include <QWidget>

// The variables list.
class TFormVar : public QWidget {
    Q_OBJECT
public:
    explicit TFormVar(QWidget* parent = nullptr);
};
