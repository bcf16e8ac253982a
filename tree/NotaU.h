#pragma once
#include <QWidget>

// The node comment pad: borderless, no caption.
class TFormNota : public QWidget {
    Q_OBJECT
public:
    explicit TFormNota(QWidget* parent = nullptr);
};
