#pragma once
// Chart and table of a sensitivity sweep.
#include "analysis/Variacion.h"

#include <QChartView>
#include <QLocale>
#include <QPointF>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class IUsuario;
class ModeloTablaVariacion;
class QAction;
class QCategoryAxis;
class QCheckBox;
class QLabel;
class QLineSeries;
class QListView;
class QPrinter;
class QPushButton;
class QTabWidget;
class QToolBar;

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
    // Paints over the chart at every redraw, below the cross-hair (the value marks).
    std::function<void(QPainter*)> PintaEncima;

signals:
    void MouseMove(QPoint punto);
    void Redimensionado();

protected:
    void resizeEvent(QResizeEvent* e) override;
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

// The results of the last sweep: a chart and the value table. Every point is
// kept (16 bytes each), the table shows them through a model that writes each
// line when it is drawn, and the chart draws at most four points per pixel
// column of what is in view, so a sweep of millions of points fits in memory.
class TFormHistorico : public QWidget, public IVistaVariacion {
    Q_OBJECT
public:
    // usuario: where file names are asked (without one, nothing is saved).
    explicit TFormHistorico(IUsuario* usuario = nullptr, QWidget* parent = nullptr);
    ~TFormHistorico() override;

    void PonUsuario(IUsuario* usuario) { usuario_ = usuario; }

    // --- What the sweep uses ------------------------------------------------
    void Limpia() override;
    void AnyadePunto(double x, double y) override;
    void Muestra() override;

    // The points of the chart and the table, in sweep order (ascending x).
    const std::vector<PuntoGrafico>& Puntos() const { return puntos_; }
    // The table as "Co&piar" copies it: one line per point, "\n" between lines.
    QString TextoTabla() const;
    // The text an axis writes for a value under the cross-hair or beside a
    // point: its tick numbers with one more decimal.
    QString TextoEje(const QCategoryAxis* eje, double v) const;
    // The value mark beside a point: as the vertical axis writes it, trailing zeros dropped.
    QString TextoValor(double y) const;
    // The value marks the chart shows now (none with "Valores" unticked): the
    // rectangle of each, in scene coordinates, and its text. Only where they
    // fit: never two that touch, never one for each of many close points.
    struct MarcaValor {
        QRectF Rect;
        QString Texto;
    };
    std::vector<MarcaValor> MarcasValores() const;
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
    QCategoryAxis* EjeX = nullptr;
    QCategoryAxis* EjeY = nullptr;
    QListView* Memo1 = nullptr;
    QAction* AccionCopiarLineas = nullptr;
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
    void CopiaLineasClick();

private:
    IUsuario* Usuario() const;
    // After the view moves (zoom, pan, fit, resize): round ticks on both
    // axes, the series cut down to what the plot can show, markers that fit.
    void ActualizaVista();
    void PonMarcas(QCategoryAxis* eje);
    // How many ticks an axis has room for. From the chart's size, not its plot
    // area: new tick labels change the plot area, and must not change the ticks.
    int MaximoMarcas(const QCategoryAxis* eje) const;
    void PintaValores(QPainter* p);
    // The points the chart and the table show: all but those a running sweep is still adding.
    size_t Mostrados() const;

    std::vector<PuntoGrafico> puntos_;
    double yMin_ = 0, yMax_ = 0;
    int decimalesX_ = 0, decimalesY_ = 0; // of the tick numbers
    ModeloTablaVariacion* modelo_ = nullptr;
    QLocale numeros_;
    IUsuario* usuario_ = nullptr;
    bool actualizando_ = false;
    bool ajustado_ = true; // the view shows the fit, not a zoom or a pan: a new size fits it anew
};
