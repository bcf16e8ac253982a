#include "analysis/PerfilRiesgoUnit.h"

#include "app/Aplicacion.h"
#include "drawing/ConversionQt.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"

#include <QAreaSeries>
#include <QChart>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

QString Corto(double v) { return Q(FormatoEtiqueta(v, 6, 0)); }

} // namespace

TFormPerfil::TFormPerfil(IUsuario* usuario, QWidget* parent)
    : TVistaAnalisis(QStringLiteral("Perfil de riesgo"), QStringLiteral("FormPerfil"), QSize(720, 600), usuario, parent)
{
    LabelNodo = new QLabel(this);
    LabelNodo->setObjectName(QStringLiteral("LabelNodo"));
    CheckBoxAlternativas = new QCheckBox(QStringLiteral("Comparar alternativas"), this);
    CheckBoxAlternativas->setObjectName(QStringLiteral("CheckBoxAlternativas"));
    FilaSuperior()->addWidget(LabelNodo, 1);
    FilaSuperior()->addWidget(CheckBoxAlternativas);
    connect(CheckBoxAlternativas, &QCheckBox::clicked, this,
            [this] { Protegido([this] { CheckBoxAlternativasClick(); }); });

    grafico_ = GraficoConEstilo(QStringLiteral("Perfil de riesgo"), font());
    grafico_->legend()->setAlignment(Qt::AlignBottom);
    EjeX = new QValueAxis;
    EjeX->setObjectName(QStringLiteral("EjeX"));
    EjeX->setTitleText(QStringLiteral("Valor"));
    EjeX->setLabelFormat(QStringLiteral("%.6g"));
    EjeY = new QValueAxis;
    EjeY->setObjectName(QStringLiteral("EjeY"));
    EjeY->setTitleText(QStringLiteral("Probabilidad"));
    EjeY->setLabelFormat(QStringLiteral("%.1f"));
    // Ticks every 0.1 from 0, whatever room is left above 1.
    EjeY->setTickType(QValueAxis::TicksDynamic);
    EjeY->setTickAnchor(0);
    EjeY->setTickInterval(0.1);
    grafico_->addAxis(EjeX, Qt::AlignBottom);
    grafico_->addAxis(EjeY, Qt::AlignLeft);
    const PaginaGrafico p = AnyadeGrafico(QStringLiteral("Gráfico"), "Chart1", grafico_);

    // The statistics under the chart: one column per profile.
    TablaEstadisticas = new QTableWidget(p.Pagina);
    TablaEstadisticas->setObjectName(QStringLiteral("TablaEstadisticas"));
    TablaEstadisticas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TablaEstadisticas->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    TablaEstadisticas->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TablaEstadisticas->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    static_cast<QVBoxLayout*>(p.Pagina->layout())->addWidget(TablaEstadisticas);
    PageControl1->setCurrentWidget(p.Pagina);
}

void TFormPerfil::Muestra(const Arbol& arbol, int nodo)
{
    perfil_ = CalculaPerfilRiesgo(arbol, nodo);
    const TNodo* n = arbol.Nodo(nodo);
    alternativas_.clear();
    if (n->Tipo == NodoDecision && n->NumHijos() > 0)
        alternativas_ = PerfilesAlternativas(arbol, nodo);
    nodo_ = nodo;
    QString texto = QStringLiteral("Nodo %1").arg(nodo);
    const QString nombre = Q(n->Texto).trimmed();
    if (!nombre.isEmpty())
        texto += QStringLiteral(": ") + nombre;
    if (arbol.ToleranciaValores > 0)
        texto += QStringLiteral("  (equivalentes ciertos con tolerancia al riesgo %1)")
                     .arg(Q(FormatoEtiqueta(arbol.ToleranciaValores, 15, 0)));
    LabelNodo->setText(texto);
    CheckBoxAlternativas->setEnabled(!alternativas_.empty());
    Dibuja();
    show();
    raise();
    activateWindow();
}

std::vector<TFormPerfil::Serie> TFormPerfil::Series() const
{
    std::vector<Serie> s;
    if (CheckBoxAlternativas->isChecked() && !alternativas_.empty()) {
        for (const PerfilAlternativa& a : alternativas_) {
            QString nombre = QStringLiteral("Rama %1").arg(a.Rama);
            const QString texto = Q(a.Texto).trimmed();
            if (!texto.isEmpty())
                nombre += QStringLiteral(": ") + texto;
            if (a.Elegida)
                nombre += QStringLiteral(" (elegida)");
            s.push_back({nombre, &a.Perfil});
        }
    } else {
        s.push_back({QStringLiteral("Nodo %1").arg(nodo_), &perfil_});
    }
    return s;
}

void TFormPerfil::CheckBoxAlternativasClick() { Dibuja(); }

void TFormPerfil::Dibuja()
{
    const std::vector<Serie> series = Series();
    const bool comparando = CheckBoxAlternativas->isChecked() && !alternativas_.empty();

    // The table, as the headless tool prints it.
    std::vector<std::string> lineas;
    if (comparando) {
        for (const PerfilAlternativa& a : alternativas_) {
            lineas.push_back(CabeceraAlternativa(a));
            for (auto& l : LineasPerfil(a.Perfil))
                lineas.push_back(std::move(l));
        }
    } else {
        lineas = LineasPerfil(perfil_);
    }
    PonLineas(std::move(lineas));

    // The statistics, one column per profile.
    bool equivalente = false;
    for (const Serie& s : series)
        equivalente = equivalente || s.perfil->ConEquivalente;
    QStringList filas = {QStringLiteral("Media"), QStringLiteral("Desviación típica"), QStringLiteral("Mínimo"),
                         QStringLiteral("Máximo"), QStringLiteral("Probabilidad de pérdida")};
    if (equivalente)
        filas << QStringLiteral("Equivalente cierto");
    TablaEstadisticas->clear();
    TablaEstadisticas->setRowCount(filas.size());
    TablaEstadisticas->setColumnCount(static_cast<int>(series.size()));
    TablaEstadisticas->setVerticalHeaderLabels(filas);
    QStringList columnas;
    for (size_t c = 0; c < series.size(); ++c) {
        const PerfilRiesgo& p = *series[c].perfil;
        columnas << series[c].nombre;
        const double valores[] = {p.Media, p.DesviacionTipica, p.Minimo, p.Maximo, p.ProbabilidadPerdida,
                                  p.EquivalenteCierto};
        for (int f = 0; f < filas.size(); ++f) {
            auto* item = new QTableWidgetItem(Corto(valores[f]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            TablaEstadisticas->setItem(f, static_cast<int>(c), item);
        }
    }
    TablaEstadisticas->setHorizontalHeaderLabels(columnas);
    // As tall as its rows, so the chart keeps the rest.
    int alto = TablaEstadisticas->horizontalHeader()->sizeHint().height() + 2 * TablaEstadisticas->frameWidth();
    for (int f = 0; f < TablaEstadisticas->rowCount(); ++f)
        alto += TablaEstadisticas->verticalHeader()->sectionSizeHint(f);
    TablaEstadisticas->setFixedHeight(alto);

    AjustaEjes(0);
}

void TFormPerfil::AjustaEjes(int)
{
    const std::vector<Serie> series = Series();
    grafico_->zoomReset();
    grafico_->removeAllSeries();
    Barras.clear();
    Escalones.clear();

    // Every value any profile reaches: the bars of one value stand side by side.
    std::set<double> valores;
    double alto = 1;
    for (const Serie& s : series)
        for (const ResultadoPerfil& r : s.perfil->Resultados) {
            valores.insert(r.Valor);
            alto = std::max({alto, r.Acumulada, r.Probabilidad});
        }
    double x0 = 0, x1 = 1;
    if (!valores.empty()) {
        x0 = *valores.begin();
        x1 = *valores.rbegin();
    }
    double hueco = x1 - x0;
    for (auto it = valores.begin(); it != valores.end() && std::next(it) != valores.end(); ++it)
        hueco = std::min(hueco, *std::next(it) - *it);
    const double ancho = x1 > x0 ? x1 - x0 : std::max(1.0, std::fabs(x0) * 0.2);
    // A group of bars takes at most 80 % of the narrowest gap, and never more than 1/15 of the range.
    const double grupo = std::min(ancho / 15, hueco > 0 ? 0.8 * hueco : ancho / 15);
    EjeX->setRange(x0 - ancho * 0.08 - grupo, x1 + ancho * 0.08 + grupo);
    EjeX->applyNiceNumbers();
    EjeY->setRange(0, alto * 1.04);
    const double xmin = EjeX->min(), xmax = EjeX->max();

    const double barra = grupo / static_cast<double>(series.size());
    for (size_t i = 0; i < series.size(); ++i) {
        const PerfilRiesgo& p = *series[i].perfil;
        const QColor color = ColorSerie(i);
        const double desplazamiento = -grupo / 2 + barra * static_cast<double>(i);

        auto* arriba = new QLineSeries;
        auto* abajo = new QLineSeries;
        for (const ResultadoPerfil& r : p.Resultados) {
            const double a = r.Valor + desplazamiento, b = a + barra;
            *arriba << QPointF(a, 0) << QPointF(a, r.Probabilidad) << QPointF(b, r.Probabilidad) << QPointF(b, 0);
        }
        if (!p.Resultados.empty())
            *abajo << QPointF(arriba->at(0).x(), 0) << QPointF(arriba->at(arriba->count() - 1).x(), 0);
        auto* barras = new QAreaSeries(arriba, abajo);
        arriba->setParent(barras);
        abajo->setParent(barras);
        barras->setObjectName(QStringLiteral("Barras%1").arg(i));
        barras->setName(series.size() == 1 ? QStringLiteral("Probabilidad") : series[i].nombre);
        QColor relleno = color;
        relleno.setAlpha(150);
        barras->setBrush(relleno);
        barras->setPen(QPen(color, 1));
        grafico_->addSeries(barras);
        barras->attachAxis(EjeX);
        barras->attachAxis(EjeY);
        Barras.push_back(barras);

        // The cumulative profile: flat between outcomes, rising at each.
        auto* escalon = new QLineSeries;
        escalon->setObjectName(QStringLiteral("Escalon%1").arg(i));
        escalon->setName(series.size() == 1 ? QStringLiteral("Probabilidad acumulada") : series[i].nombre);
        double antes = 0;
        *escalon << QPointF(xmin, 0);
        for (const ResultadoPerfil& r : p.Resultados) {
            *escalon << QPointF(r.Valor, antes) << QPointF(r.Valor, r.Acumulada);
            antes = r.Acumulada;
        }
        *escalon << QPointF(xmax, antes);
        escalon->setPen(QPen(color.darker(120), 2));
        grafico_->addSeries(escalon);
        escalon->attachAxis(EjeX);
        escalon->attachAxis(EjeY);
        Escalones.push_back(escalon);
        // Comparing, one legend entry per alternative is enough: its colour names both.
        if (series.size() > 1)
            for (QLegendMarker* m : grafico_->legend()->markers(barras))
                m->setVisible(false);
    }
}
