#pragma once
// Chart and table of a sensitivity sweep.
#include "analysis/Variacion.h"

#include <QChartView>
#include <QLocale>
#include <QPointF>
#include <QWidget>

#include <string>
#include <vector>

class IUsuario;
class QAction;
class QCheckBox;
class QLabel;
class QLineSeries;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QTabWidget;
class QToolBar;
class QValueAxis;

// The chart: tells its owner where the mouse goes and draws the cross-hair
// over the scene, so a redraw never leaves a stale one behind.
class GraficoVariacion : public QChartView {
    Q_OBJECT
public:
    explicit GraficoVariacion(QChart* chart, QWidget* parent = nullptr);

    // Cross-hair position in scene coordinates; x < 0 draws none.
    void PonCruz(QPointF p);
    QPointF Cruz() const { return cruz_; }
    // With "Mover" on, dragging moves the view instead of zooming into a rectangle.
    void PonMover(bool mover);

signals:
    void MouseMove(QPoint punto);

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
    QPointF cruz_{-1, -1};
    bool mover_ = false;
    bool arrastrando_ = false;
    QPoint ultimo_;
};

class TFormHistorico : public QWidget, public IVistaVariacion {
    Q_OBJECT
public:
    explicit TFormHistorico(QWidget* parent = nullptr);

    // Where file names are asked; the main window's user unless set.
    void PonUsuario(IUsuario* usuario) { usuario_ = usuario; }

    // --- What the sweep uses ------------------------------------------------
    void Limpia() override;
    void AnyadePunto(double x, double y) override;
    void Muestra() override;

    // The table, line by line, as shown.
    const std::vector<std::string>& Lineas() const { return lineas_; }
    // The text an axis writes for a value.
    QString TextoEje(double v) const;
    // Prints the table on an open printer: one line per table line, in the table's font.
    void ImprimeTabla(QPrinter& impresora);

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabGrafico = nullptr;
    QWidget* TabValores = nullptr;
    QToolBar* TeeCommander1 = nullptr;
    QAction* AccionAcercar = nullptr;
    QAction* AccionAlejar = nullptr;
    QAction* AccionMover = nullptr;
    QAction* AccionRestablecer = nullptr;
    QAction* AccionGuardarImagen = nullptr;
    QAction* AccionCopiarImagen = nullptr;
    QCheckBox* CheckBoxValores = nullptr;
    QCheckBox* CheckBoxPuntos = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* LF = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* LV = nullptr;
    GraficoVariacion* Chart1 = nullptr;
    QLineSeries* Series1 = nullptr;
    QValueAxis* EjeX = nullptr;
    QValueAxis* EjeY = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;

public slots:
    void DBChartHistoticoMouseMove(QPoint punto);
    void Series1AfterDrawValues();
    void CheckBox1Click();
    void CheckBoxValoresClick();
    void CheckBoxPuntosClick();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void AjustaEjes();
    void GuardaImagenClick();
    void CopiaImagenClick();

private:
    IUsuario* Usuario() const;

    std::vector<std::string> lineas_;
    QList<QPointF> puntos_;
    QLocale numeros_;
    IUsuario* usuario_ = nullptr;
};
