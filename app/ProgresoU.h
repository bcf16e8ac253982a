#pragma once
#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

// The progress window: no title-bar buttons, centred on the screen, above the other windows.
class TProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* parent = nullptr);

    // Sets the text, puts the bar at 0, shows the window and paints it at once.
    void Muestra(const QString& texto);
    // 0 to 100. The bar is painted at once, at most every kMsEntrePinturas.
    void Posicion(int posicion);

    QLabel* ProgressLabel;
    QProgressBar* ProgressBar1;

    static constexpr int kMsEntrePinturas = 40;

private:
    QElapsedTimer pintado_; // since the bar was last painted
};
