#include "analysis/TornadoUnit.h"

#include "app/Aplicacion.h"
#include "app/DocumentoU.h"
#include "drawing/ConversionQt.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

QString Texto(double v) { return Q(FormatoEtiqueta(v, 15, 0)); }

const QColor kBajo(31, 119, 180);   // the input at -P %
const QColor kAlto(255, 127, 14);   // the input at +P %
const QColor kCambio(200, 0, 0);    // the root's choice changes

// A horizontal bar from x0 to x1 at height y, as an area between two lines.
QAreaSeries* Barra(double x0, double x1, double y, double grosor)
{
    auto* arriba = new QLineSeries;
    auto* abajo = new QLineSeries;
    *arriba << QPointF(std::min(x0, x1), y + grosor / 2) << QPointF(std::max(x0, x1), y + grosor / 2);
    *abajo << QPointF(std::min(x0, x1), y - grosor / 2) << QPointF(std::max(x0, x1), y - grosor / 2);
    auto* a = new QAreaSeries(arriba, abajo);
    arriba->setParent(a);
    abajo->setParent(a);
    return a;
}

QString Valores(bool equivalentes) { return equivalentes ? QStringLiteral("Equivalente cierto de la raíz") : QStringLiteral("Valor de la raíz"); }

} // namespace

TFormTornado::TFormTornado(TDocumento& documento, IUsuario* usuario, QWidget* parent)
    : TVistaAnalisis(QStringLiteral("Tornado"), QStringLiteral("FormTornado"), QSize(720, 600), usuario, parent),
      doc_(documento)
{
    auto* etiquetaP = new QLabel(QStringLiteral("&Variación (%):"), this);
    EditPorcentaje = new QDoubleSpinBox(this);
    EditPorcentaje->setObjectName(QStringLiteral("EditPorcentaje"));
    EditPorcentaje->setRange(0.01, 1000);
    EditPorcentaje->setDecimals(2);
    EditPorcentaje->setValue(10);
    EditPorcentaje->setLocale(LocaleNumeros());
    etiquetaP->setBuddy(EditPorcentaje);
    auto* etiquetaN = new QLabel(QStringLiteral("&Pasos de la araña:"), this);
    EditPasos = new QSpinBox(this);
    EditPasos->setObjectName(QStringLiteral("EditPasos"));
    EditPasos->setRange(1, 1000);
    EditPasos->setValue(10);
    etiquetaN->setBuddy(EditPasos);
    BotonCalcular = new QPushButton(QStringLiteral("&Calcular"), this);
    BotonCalcular->setObjectName(QStringLiteral("BotonCalcular"));
    for (QWidget* w : {static_cast<QWidget*>(etiquetaP), static_cast<QWidget*>(EditPorcentaje),
                       static_cast<QWidget*>(etiquetaN), static_cast<QWidget*>(EditPasos),
                       static_cast<QWidget*>(BotonCalcular)})
        FilaSuperior()->addWidget(w);
    FilaSuperior()->addStretch();
    connect(BotonCalcular, &QPushButton::clicked, this, [this] { Protegido([this] { BotonCalcularClick(); }); });

    tornadoGrafico_ = GraficoConEstilo(QStringLiteral("Tornado"), font());
    tornadoGrafico_->legend()->setAlignment(Qt::AlignBottom);
    EjeValor = new QValueAxis;
    EjeValor->setObjectName(QStringLiteral("EjeValor"));
    EjeValor->setLabelFormat(QStringLiteral("%.6g"));
    EjeEntradas = new QCategoryAxis;
    EjeEntradas->setObjectName(QStringLiteral("EjeEntradas"));
    EjeEntradas->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    EjeEntradas->setGridLineVisible(false);
    tornadoGrafico_->addAxis(EjeValor, Qt::AlignBottom);
    tornadoGrafico_->addAxis(EjeEntradas, Qt::AlignLeft);
    AnyadeGrafico(QStringLiteral("Tornado"), "ChartTornado", tornadoGrafico_);

    aranaGrafico_ = GraficoConEstilo(QStringLiteral("Araña"), font());
    aranaGrafico_->legend()->setAlignment(Qt::AlignRight);
    EjeCambio = new QValueAxis;
    EjeCambio->setObjectName(QStringLiteral("EjeCambio"));
    EjeCambio->setTitleText(QStringLiteral("Cambio de la entrada (%)"));
    EjeCambio->setLabelFormat(QStringLiteral("%.6g"));
    EjeRaiz = new QValueAxis;
    EjeRaiz->setObjectName(QStringLiteral("EjeRaiz"));
    EjeRaiz->setLabelFormat(QStringLiteral("%.6g"));
    aranaGrafico_->addAxis(EjeCambio, Qt::AlignBottom);
    aranaGrafico_->addAxis(EjeRaiz, Qt::AlignLeft);
    AnyadeGrafico(QStringLiteral("Araña"), "ChartArana", aranaGrafico_);

    LabelAviso = new QLabel(this);
    LabelAviso->setObjectName(QStringLiteral("LabelAviso"));
    LabelAviso->setWordWrap(true);
    LabelAviso->setStyleSheet(QStringLiteral("color: rgb(160, 0, 0)"));
    LabelAviso->hide();
    static_cast<QBoxLayout*>(layout())->addWidget(LabelAviso);
    PageControl1->setCurrentIndex(0);
}

void TFormTornado::Calcula()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        arana_ = CalculaArana(doc_.arbol(), EditPorcentaje->value(), EditPasos->value());
    } catch (...) {
        QGuiApplication::restoreOverrideCursor();
        throw;
    }
    QGuiApplication::restoreOverrideCursor();
    tornado_ = TornadoDeArana(arana_);

    // The table: the tornado's lines, then the spider's.
    std::vector<std::string> lineas = LineasTornado(tornado_);
    if (!lineas.empty())
        lineas.emplace_back();
    for (auto& l : LineasArana(arana_))
        lineas.push_back(std::move(l));
    PonLineas(std::move(lineas));

    QStringList avisos;
    if (tornado_.Barras.empty() && tornado_.Fallidas.empty())
        avisos << QStringLiteral("La lista de variables no tiene ninguna línea con un número distinto de 0: no hay "
                                 "entradas que mover.");
    for (const auto& f : tornado_.Fallidas)
        avisos << Q(TextoFallida(f));
    LabelAviso->setText(avisos.join(QLatin1Char('\n')));
    LabelAviso->setVisible(!avisos.isEmpty());

    DibujaTornado();
    DibujaArana();
    show();
    raise();
    activateWindow();
}

void TFormTornado::BotonCalcularClick()
{
    // The analysis solves the tree again and writes the list's separators: calculated values, no step.
    doc_.EjecutaSinPaso([this] { Calcula(); }, Cambio::DeValores());
}

void TFormTornado::DibujaTornado()
{
    tornadoGrafico_->zoomReset();
    tornadoGrafico_->removeAllSeries();
    BarrasBajo.clear();
    BarrasAlto.clear();
    LineaBase = nullptr;
    const bool equivalentes = tornado_.ConEquivalente;
    const QString p = Q(FormatoEtiqueta(tornado_.Porcentaje, 15, 0));
    tornadoGrafico_->setTitle(equivalentes ? QStringLiteral("Tornado (equivalentes ciertos)") : QStringLiteral("Tornado"));
    EjeValor->setTitleText(Valores(equivalentes));

    // The largest swing at the top; an input that changes the root's choice is marked.
    const int n = static_cast<int>(tornado_.Barras.size());
    for (const QString& l : EjeEntradas->categoriesLabels())
        EjeEntradas->remove(l);
    EjeEntradas->setStartValue(-0.5);
    bool hayCambio = false;
    for (int i = n - 1; i >= 0; --i) {
        const BarraTornado& b = tornado_.Barras[i];
        QString etiqueta = Q(b.Nombre);
        if (b.CambiaEleccion())
            etiqueta += QStringLiteral(" *");
        EjeEntradas->append(etiqueta, n - 1 - i + 0.5);
    }
    for (int i = 0; i < n; ++i) {
        const BarraTornado& b = tornado_.Barras[i];
        const double y = n - 1 - i;
        for (const bool alto : {false, true}) {
            const double raiz = alto ? b.RaizAlto : b.RaizBajo;
            QAreaSeries* s = Barra(tornado_.Base, raiz, y, 0.7);
            s->setObjectName(QStringLiteral("%1%2").arg(alto ? QStringLiteral("Alto") : QStringLiteral("Bajo")).arg(i));
            s->setName(alto ? QStringLiteral("+%1 %").arg(p) : QStringLiteral("-%1 %").arg(p));
            const bool cambia = alto ? b.CambiaAlto : b.CambiaBajo;
            s->setBrush(alto ? kAlto : kBajo);
            s->setPen(cambia ? QPen(kCambio, 2.5) : QPen((alto ? kAlto : kBajo).darker(130), 1));
            hayCambio = hayCambio || cambia;
            tornadoGrafico_->addSeries(s);
            s->attachAxis(EjeValor);
            s->attachAxis(EjeEntradas);
            (alto ? BarrasAlto : BarrasBajo).push_back(s);
        }
    }
    // The base value, across every bar.
    LineaBase = new QLineSeries;
    LineaBase->setObjectName(QStringLiteral("LineaBase"));
    LineaBase->setName(QStringLiteral("Base = ") + Texto(tornado_.Base));
    *LineaBase << QPointF(tornado_.Base, -0.5) << QPointF(tornado_.Base, std::max(n, 1) - 0.5);
    LineaBase->setPen(QPen(Qt::black, 1.5, Qt::DashLine));
    tornadoGrafico_->addSeries(LineaBase);
    LineaBase->attachAxis(EjeValor);
    LineaBase->attachAxis(EjeEntradas);
    if (hayCambio) {
        // Only for the legend: the outline of the bars that change the choice.
        auto* cambio = Barra(tornado_.Base, tornado_.Base, -10, 0);
        cambio->setObjectName(QStringLiteral("LeyendaCambio"));
        cambio->setName(QStringLiteral("* cambia la decisión de la raíz"));
        cambio->setBrush(Qt::white);
        cambio->setPen(QPen(kCambio, 2.5));
        tornadoGrafico_->addSeries(cambio);
        cambio->attachAxis(EjeValor);
        cambio->attachAxis(EjeEntradas);
    }
    // One legend entry for all the low bars and one for all the high ones.
    for (size_t i = 1; i < BarrasBajo.size(); ++i)
        for (QAreaSeries* s : {BarrasBajo[i], BarrasAlto[i]})
            for (QLegendMarker* m : tornadoGrafico_->legend()->markers(s))
                m->setVisible(false);
    AjustaEjes(0);
}

void TFormTornado::DibujaArana()
{
    aranaGrafico_->zoomReset();
    aranaGrafico_->removeAllSeries();
    SeriesArana.clear();
    EjeRaiz->setTitleText(Valores(arana_.ConEquivalente));
    aranaGrafico_->setTitle(arana_.ConEquivalente ? QStringLiteral("Araña (equivalentes ciertos)") : QStringLiteral("Araña"));
    for (size_t i = 0; i < arana_.Series.size(); ++i) {
        const SerieArana& s = arana_.Series[i];
        auto* l = new QLineSeries;
        l->setObjectName(QStringLiteral("Arana%1").arg(i));
        l->setName(Q(s.Entrada.Nombre));
        for (const PuntoArana& p : s.Puntos)
            *l << QPointF(p.Porcentaje, p.Raiz);
        l->setPen(QPen(ColorSerie(i), 2));
        l->setPointsVisible(true);
        aranaGrafico_->addSeries(l);
        l->attachAxis(EjeCambio);
        l->attachAxis(EjeRaiz);
        SeriesArana.push_back(l);
    }
    AjustaEjes(1);
}

void TFormTornado::AjustaEjes(int pagina)
{
    // A flat range still gets some room around it.
    auto abre = [](double& a, double& b) {
        if (a == b) {
            const double d = a == 0 ? 1 : std::fabs(a) * 0.1;
            a -= d;
            b += d;
        }
    };
    if (pagina == 0) {
        tornadoGrafico_->zoomReset();
        double x0 = tornado_.Base, x1 = tornado_.Base;
        for (const BarraTornado& b : tornado_.Barras)
            for (const double v : {b.RaizBajo, b.RaizAlto})
                if (std::isfinite(v)) {
                    x0 = std::min(x0, v);
                    x1 = std::max(x1, v);
                }
        abre(x0, x1);
        const double margen = (x1 - x0) * 0.05;
        EjeValor->setRange(x0 - margen, x1 + margen);
        EjeValor->applyNiceNumbers();
        EjeEntradas->setRange(-0.5, std::max<double>(static_cast<double>(tornado_.Barras.size()), 1) - 0.5);
        return;
    }
    aranaGrafico_->zoomReset();
    double y0 = arana_.Base, y1 = arana_.Base;
    for (const SerieArana& s : arana_.Series)
        for (const PuntoArana& p : s.Puntos)
            if (std::isfinite(p.Raiz)) {
                y0 = std::min(y0, p.Raiz);
                y1 = std::max(y1, p.Raiz);
            }
    abre(y0, y1);
    EjeCambio->setRange(-arana_.Porcentaje, arana_.Porcentaje);
    EjeRaiz->setRange(y0, y1);
    EjeRaiz->applyNiceNumbers();
}
