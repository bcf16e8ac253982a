#pragma once
#include <QWidget>

// Chart and table of a sensitivity sweep.
class TFormHistorico : public QWidget {
    Q_OBJECT
public:
    explicit TFormHistorico(QWidget* parent = nullptr);
};
