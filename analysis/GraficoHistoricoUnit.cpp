#include "analysis/GraficoHistoricoUnit.h"

#include "app/Aplicacion.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "common/Usuario.h"
#include "drawing/ConversionQt.h"

#include <QAbstractListModel>
#include <QAction>
#include <QApplication>
#include <QCategoryAxis>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Red square point markers.
QImage MarcaRoja()
{
    QImage img(7, 7, QImage::Format_ARGB32);
    img.fill(Qt::red);
    return img;
}

// Room for a tick label on each axis: the bottom labels stand on end, one
// text line wide, but closer ticks would crowd the grid.
constexpr int kPixelesPorMarcaX = 45;
constexpr int kPixelesPorMarcaY = 35;
// What the title, the labels and the margins take from the chart's size.
constexpr int kMargenAncho = 110;
constexpr int kMargenAlto = 150;

} // namespace

// --- The value table --------------------------------------------------------------

// The table's lines, written when the view draws them: a million points cost
// their 16 bytes each, not a text document of a million lines. The rows are
// the points up to the last reset, so a running sweep adds points unseen.
class ModeloTablaVariacion : public QAbstractListModel {
public:
    ModeloTablaVariacion(const std::vector<PuntoGrafico>& puntos, QObject* padre)
        : QAbstractListModel(padre), puntos_(puntos)
    {
    }
    void Reinicia()
    {
        beginResetModel();
        filas_ = puntos_.size();
        endResetModel();
    }
    // Never past the points there are, even between a clearing and its reset.
    size_t Filas() const { return std::min(filas_, puntos_.size()); }
    int rowCount(const QModelIndex& padre) const override
    {
        return padre.isValid() ? 0 : static_cast<int>(std::min<size_t>(filas_, INT_MAX));
    }
    QVariant data(const QModelIndex& i, int rol) const override
    {
        if (rol != Qt::DisplayRole || !i.isValid() || static_cast<size_t>(i.row()) >= Filas())
            return {};
        const PuntoGrafico& p = puntos_[static_cast<size_t>(i.row())];
        return Q(LineaVariacion(p.X, p.Y));
    }

private:
    const std::vector<PuntoGrafico>& puntos_;
    size_t filas_ = 0;
};

// --- The chart ------------------------------------------------------------------

GraficoVariacion::GraficoVariacion(QChart* chart, QWidget* parent) : QChartView(chart, parent)
{
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setRubberBand(QChartView::RectangleRubberBand);
    // The value marks and the cross-hair are painted over the whole chart:
    // repainting only what the scene changed would leave pieces of old ones.
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
}

void GraficoVariacion::PonCruz(QPointF p)
{
    if (p == cruz_)
        return;
    cruz_ = p;
    viewport()->update();
}

void GraficoVariacion::PonMover(bool mover)
{
    mover_ = mover;
    setRubberBand(mover ? QChartView::NoRubberBand : QChartView::RectangleRubberBand);
}

void GraficoVariacion::resizeEvent(QResizeEvent* e)
{
    QChartView::resizeEvent(e);
    emit Redimensionado();
}

void GraficoVariacion::mouseMoveEvent(QMouseEvent* e)
{
    if (arrastrando_) {
        const QPoint d = e->pos() - ultimo_;
        ultimo_ = e->pos();
        chart()->scroll(-d.x(), d.y());
    }
    emit MouseMove(e->pos());
    QChartView::mouseMoveEvent(e);
}

void GraficoVariacion::mousePressEvent(QMouseEvent* e)
{
    if (mover_ && e->button() == Qt::LeftButton) {
        arrastrando_ = true;
        ultimo_ = e->pos();
        return;
    }
    QChartView::mousePressEvent(e);
}

void GraficoVariacion::mouseReleaseEvent(QMouseEvent* e)
{
    if (arrastrando_ && e->button() == Qt::LeftButton) {
        arrastrando_ = false;
        return;
    }
    QChartView::mouseReleaseEvent(e);
}

void GraficoVariacion::leaveEvent(QEvent* e)
{
    PonCruz(QPointF(-1, -1));
    QChartView::leaveEvent(e);
}

void GraficoVariacion::drawForeground(QPainter* painter, const QRectF& rect)
{
    QChartView::drawForeground(painter, rect);
    if (PintaEncima) {
        painter->save();
        PintaEncima(painter);
        painter->restore();
    }
    if (cruz_.x() < 0)
        return;
    const QRectF r = chart()->plotArea();
    painter->save();
    // Yellow drawn exclusive-or, as cross-hairs are: visible on white and on the line.
    painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter->setPen(QPen(QColor(255, 255, 0), 1, Qt::SolidLine));
    painter->drawLine(QPointF(cruz_.x(), r.top()), QPointF(cruz_.x(), r.bottom()));
    painter->drawLine(QPointF(r.left(), cruz_.y()), QPointF(r.right(), cruz_.y()));
    painter->restore();
}

// --- The window -------------------------------------------------------------------

TFormHistorico::TFormHistorico(IUsuario* usuario, QWidget* parent) : QWidget(parent, Qt::Window), usuario_(usuario)
{
    setObjectName(QStringLiteral("FormHistorico"));
    setWindowTitle(QStringLiteral("Variación"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(600, 457);

    // Numbers on the chart with the user's decimal separator, without grouping, as in the table.
    numeros_ = SeparadorDecimal() == ',' ? QLocale(QLocale::Spanish, QLocale::Spain) : QLocale::c();
    numeros_.setNumberOptions(QLocale::OmitGroupSeparator);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(4, 4, 4, 4);
    raiz->addWidget(PageControl1);

    // Page "Gráfico".
    TabGrafico = new QWidget;
    TabGrafico->setObjectName(QStringLiteral("TabGrafico"));
    PageControl1->addTab(TabGrafico, QStringLiteral("Gráfico"));
    auto* vg = new QVBoxLayout(TabGrafico);
    vg->setContentsMargins(2, 2, 2, 2);
    auto* fila = new QHBoxLayout;
    TeeCommander1 = new QToolBar(TabGrafico);
    TeeCommander1->setObjectName(QStringLiteral("TeeCommander1"));
    TeeCommander1->setIconSize(QSize(16, 16));
    TeeCommander1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    fila->addWidget(TeeCommander1);
    fila->addStretch();
    CheckBoxValores = new QCheckBox(QStringLiteral("Valores"), TabGrafico);
    CheckBoxValores->setObjectName(QStringLiteral("CheckBoxValores"));
    CheckBoxPuntos = new QCheckBox(QStringLiteral("Puntos"), TabGrafico);
    CheckBoxPuntos->setObjectName(QStringLiteral("CheckBoxPuntos"));
    CheckBox1 = new QCheckBox(QStringLiteral("Cruz"), TabGrafico);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    for (QCheckBox* c : {CheckBoxValores, CheckBoxPuntos, CheckBox1}) {
        c->setChecked(true);
        fila->addWidget(c);
    }
    Label2 = new QLabel(QStringLiteral("X:"), TabGrafico);
    Label2->setObjectName(QStringLiteral("Label2"));
    LF = new QLabel(TabGrafico);
    LF->setObjectName(QStringLiteral("LF"));
    LF->setMinimumWidth(70);
    Label1 = new QLabel(QStringLiteral("Y:"), TabGrafico);
    Label1->setObjectName(QStringLiteral("Label1"));
    LV = new QLabel(TabGrafico);
    LV->setObjectName(QStringLiteral("LV"));
    LV->setMinimumWidth(70);
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(LF), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(LV)})
        fila->addWidget(w);
    vg->addLayout(fila);

    auto* grafico = new QChart;
    grafico->setTitle(QStringLiteral("Variaciones"));
    QFont titulo = font();
    titulo.setBold(true);
    titulo.setPixelSize(16);
    grafico->setTitleFont(titulo);
    grafico->setTitleBrush(QColor(128, 0, 0)); // maroon
    grafico->legend()->hide();
    grafico->setBackgroundBrush(Qt::white);
    grafico->setPlotAreaBackgroundVisible(false);
    Series1 = new QLineSeries;
    Series1->setObjectName(QStringLiteral("Series1"));
    Series1->setName(QStringLiteral("Series1"));
    Series1->setPen(QPen(QColor(255, 0, 0), 2));
    grafico->addSeries(Series1);
    // Axes whose ticks the window chooses (round numbers, also after a zoom or
    // a pan) and writes itself, so a tick is never "-0" nor "0.30000000000000004".
    auto eje = [](const char* nombre) {
        auto* e = new QCategoryAxis;
        e->setObjectName(QString::fromLatin1(nombre));
        e->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        return e;
    };
    EjeX = eje("EjeX");
    EjeX->setLabelsAngle(-90);
    EjeY = eje("EjeY");
    grafico->addAxis(EjeX, Qt::AlignBottom);
    grafico->addAxis(EjeY, Qt::AlignLeft);
    Series1->attachAxis(EjeX);
    Series1->attachAxis(EjeY);
    Chart1 = new GraficoVariacion(grafico, TabGrafico);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->viewport()->setCursor(Qt::CrossCursor);
    Chart1->PintaEncima = [this](QPainter* p) { PintaValores(p); };
    vg->addWidget(Chart1, 1);

    // The chart's own commands.
    auto comando = [this](const char* nombre, const QString& texto, QStyle::StandardPixmap icono) {
        QAction* a = TeeCommander1->addAction(style()->standardIcon(icono), texto);
        a->setObjectName(QString::fromLatin1(nombre));
        a->setToolTip(texto);
        return a;
    };
    AccionAcercar = comando("AccionAcercar", QStringLiteral("Acercar"), QStyle::SP_ArrowUp);
    AccionAlejar = comando("AccionAlejar", QStringLiteral("Alejar"), QStyle::SP_ArrowDown);
    AccionMover = comando("AccionMover", QStringLiteral("Mover"), QStyle::SP_ArrowRight);
    AccionMover->setCheckable(true);
    AccionRestablecer = comando("AccionRestablecer", QStringLiteral("Restablecer"), QStyle::SP_BrowserReload);
    AccionGuardarImagen = comando("AccionGuardarImagen", QStringLiteral("Guardar imagen..."), QStyle::SP_DialogSaveButton);
    AccionCopiarImagen = comando("AccionCopiarImagen", QStringLiteral("Copiar imagen"), QStyle::SP_FileDialogContentsView);
    connect(AccionAcercar, &QAction::triggered, this, [this] { Protegido([this] { Chart1->chart()->zoomIn(); }); });
    connect(AccionAlejar, &QAction::triggered, this, [this] { Protegido([this] { Chart1->chart()->zoomOut(); }); });
    connect(AccionMover, &QAction::toggled, this, [this](bool on) { Protegido([this, on] { Chart1->PonMover(on); }); });
    connect(AccionRestablecer, &QAction::triggered, this, &TFormHistorico::AjustaEjes);
    connect(AccionGuardarImagen, &QAction::triggered, this, &TFormHistorico::GuardaImagenClick);
    connect(AccionCopiarImagen, &QAction::triggered, this, &TFormHistorico::CopiaImagenClick);
    // Zoom and pan move the view: new ticks, the series cut anew. A new size
    // does the same, or fits the data again while the user has not moved it.
    auto vista = [this] {
        if (actualizando_)
            return;
        ajustado_ = false;
        Protegido([this] { ActualizaVista(); });
    };
    connect(EjeX, &QValueAxis::rangeChanged, this, vista);
    connect(EjeY, &QValueAxis::rangeChanged, this, vista);
    connect(Chart1, &GraficoVariacion::Redimensionado, this, [this] {
        if (ajustado_)
            AjustaEjes();
        else
            Protegido([this] { ActualizaVista(); });
    });
    connect(grafico, &QChart::plotAreaChanged, this, [this] {
        if (!actualizando_)
            Protegido([this] { ActualizaVista(); });
    });

    // Page "Valores".
    TabValores = new QWidget;
    TabValores->setObjectName(QStringLiteral("TabValores"));
    PageControl1->addTab(TabValores, QStringLiteral("Valores"));
    auto* vv = new QVBoxLayout(TabValores);
    modelo_ = new ModeloTablaVariacion(puntos_, this);
    Memo1 = new QListView(TabValores);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setModel(modelo_);
    Memo1->setUniformItemSizes(true);
    Memo1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Memo1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AccionCopiarLineas = new QAction(QStringLiteral("Copiar"), Memo1);
    AccionCopiarLineas->setObjectName(QStringLiteral("AccionCopiarLineas"));
    AccionCopiarLineas->setShortcut(QKeySequence::Copy);
    AccionCopiarLineas->setShortcutContext(Qt::WidgetShortcut);
    Memo1->addAction(AccionCopiarLineas);
    Memo1->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(AccionCopiarLineas, &QAction::triggered, this, &TFormHistorico::CopiaLineasClick);
    vv->addWidget(Memo1, 1);
    auto* botones = new QHBoxLayout;
    BitBtn3 = new QPushButton(QStringLiteral("Co&piar"), TabValores);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn4 = new QPushButton(QStringLiteral("&Grabar"), TabValores);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn4->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    BitBtn5 = new QPushButton(QStringLiteral("&Imprimir"), TabValores);
    BitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    botones->addStretch();
    for (QPushButton* b : {BitBtn3, BitBtn4, BitBtn5})
        botones->addWidget(b);
    vv->addLayout(botones);

    connect(Chart1, &GraficoVariacion::MouseMove, this, &TFormHistorico::DBChartHistoticoMouseMove);
    connect(CheckBox1, &QCheckBox::clicked, this, &TFormHistorico::CheckBox1Click);
    connect(CheckBoxValores, &QCheckBox::clicked, this, &TFormHistorico::CheckBoxValoresClick);
    connect(CheckBoxPuntos, &QCheckBox::clicked, this, &TFormHistorico::CheckBoxPuntosClick);
    connect(BitBtn3, &QPushButton::clicked, this, &TFormHistorico::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TFormHistorico::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TFormHistorico::BitBtn5Click);

    CheckBoxPuntosClick();
    AjustaEjes();

    // Centred on the screen.
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

TFormHistorico::~TFormHistorico()
{
    // The chart outlives nothing it paints with.
    Chart1->PintaEncima = nullptr;
}

IUsuario* TFormHistorico::Usuario() const
{
    return usuario_;
}

size_t TFormHistorico::Mostrados() const { return modelo_->Filas(); }

// --- What the sweep uses ------------------------------------------------------------

void TFormHistorico::Limpia()
{
    puntos_.clear();
    puntos_.shrink_to_fit();
    modelo_->Reinicia();
    Series1->clear();
    Series1AfterDrawValues();
    AjustaEjes();
}

void TFormHistorico::AnyadePunto(double x, double y)
{
    // A sweep steps upwards, so the points arrive in ascending x, as the
    // chart keeps them, and in sweep order, as the table lists them.
    if (puntos_.empty()) {
        yMin_ = yMax_ = y;
    } else {
        yMin_ = std::min(yMin_, y);
        yMax_ = std::max(yMax_, y);
    }
    puntos_.push_back({x, y});
}

void TFormHistorico::Muestra()
{
    // The chart and the table take the whole sweep at once: redrawing them at
    // every step would cost more than the sweep itself.
    modelo_->Reinicia();
    Series1AfterDrawValues();
    AjustaEjes();
    show();
    raise();
    activateWindow();
}

QString TFormHistorico::TextoTabla() const
{
    std::string texto;
    const size_t n = Mostrados();
    texto.reserve(n * 32);
    for (size_t i = 0; i < n; ++i) {
        if (i)
            texto += '\n';
        texto += LineaVariacion(puntos_[i].X, puntos_[i].Y);
    }
    return Q(texto);
}

// --- The view ------------------------------------------------------------------------

void TFormHistorico::AjustaEjes()
{
    Protegido([this] {
        actualizando_ = true;
        struct Fin {
            bool& b;
            ~Fin() { b = false; }
        } fin{actualizando_};
        Chart1->chart()->zoomReset();
        double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
        if (const size_t n = Mostrados()) {
            x0 = puntos_.front().X;
            x1 = puntos_[n - 1].X;
            y0 = yMin_;
            y1 = yMax_;
        }
        RedondeaRango(x0, x1, MaximoMarcas(EjeX));
        RedondeaRango(y0, y1, MaximoMarcas(EjeY));
        EjeX->setRange(x0, x1);
        EjeY->setRange(y0, y1);
        ajustado_ = true;
    });
    Protegido([this] { ActualizaVista(); });
}

int TFormHistorico::MaximoMarcas(const QCategoryAxis* eje) const
{
    const int r = eje == EjeX ? (Chart1->width() - kMargenAncho) / kPixelesPorMarcaX
                              : (Chart1->height() - kMargenAlto) / kPixelesPorMarcaY;
    return std::max(2, r);
}

void TFormHistorico::PonMarcas(QCategoryAxis* eje)
{
    const MarcasEje m = CalculaMarcas(eje->min(), eje->max(), MaximoMarcas(eje));
    (eje == EjeX ? decimalesX_ : decimalesY_) = m.Decimales;
    QStringList textos;
    for (const double v : m.Valores)
        textos << numeros_.toString(v, 'f', m.Decimales);
    // The same ticks again would only lay the chart out anew.
    if (textos == eje->categoriesLabels() && eje->startValue() == eje->min())
        return;
    for (const QString& l : eje->categoriesLabels())
        eje->remove(l);
    eje->setStartValue(eje->min());
    for (qsizetype i = 0; i < textos.size(); ++i)
        eje->append(textos[i], m.Valores[static_cast<size_t>(i)]);
}

void TFormHistorico::ActualizaVista()
{
    if (actualizando_)
        return;
    actualizando_ = true;
    struct Fin {
        bool& b;
        ~Fin() { b = false; }
    } fin{actualizando_};

    const QRectF plot = Chart1->chart()->plotArea();
    PonMarcas(EjeX);
    PonMarcas(EjeY);

    // What the plot can show of the points in view.
    const int columnas = std::max(100, static_cast<int>(plot.width()));
    const std::span<const PuntoGrafico> mostrados(puntos_.data(), Mostrados());
    const auto dibujo = PuntosDibujados(mostrados, EjeX->min(), EjeX->max(), columnas);
    QList<QPointF> serie;
    serie.reserve(static_cast<qsizetype>(dibujo.size()));
    for (const auto& p : dibujo)
        serie.append(QPointF(p.X, p.Y));
    if (serie != Series1->points())
        Series1->replace(serie);

    // Markers as wide as the points are apart, up to 7 pixels: a row of
    // squares, never one red band.
    const auto i0 = std::lower_bound(mostrados.begin(), mostrados.end(), EjeX->min(),
                                     [](const PuntoGrafico& p, double x) { return p.X < x; });
    const auto i1 = std::upper_bound(mostrados.begin(), mostrados.end(), EjeX->max(),
                                     [](double x, const PuntoGrafico& p) { return x < p.X; });
    const double separacion = i1 - i0 > 1 ? plot.width() / static_cast<double>(i1 - i0 - 1) : plot.width();
    Series1->setMarkerSize(std::clamp(std::floor(separacion) - 1, 2.0, 7.0));
    Chart1->viewport()->update();
}

namespace {

// A number that rounds to zero is written without its sign: "0.0", not "-0.0".
QString SinMenosCero(QString t)
{
    if (t.startsWith(QLatin1Char('-')) && !t.contains(QRegularExpression(QStringLiteral("[1-9]"))))
        t.remove(0, 1);
    return t;
}

} // namespace

QString TFormHistorico::TextoEje(const QCategoryAxis* eje, double v) const
{
    return SinMenosCero(numeros_.toString(v, 'f', (eje == EjeX ? decimalesX_ : decimalesY_) + 1));
}

QString TFormHistorico::TextoValor(double y) const
{
    // As the vertical axis writes it, without zeros after the last digit: "20", "21.4".
    QString t = TextoEje(EjeY, y);
    const QChar coma = numeros_.decimalPoint().front();
    if (t.contains(coma)) {
        while (t.endsWith(QLatin1Char('0')))
            t.chop(1);
        if (t.endsWith(coma))
            t.chop(1);
    }
    return SinMenosCero(t);
}

// Every k-th point in view, k as many points as a mark is wide, counted from
// the first point of the sweep so the marks stay put while panning; and none
// that would touch one already placed.
std::vector<TFormHistorico::MarcaValor> TFormHistorico::MarcasValores() const
{
    std::vector<MarcaValor> r;
    const size_t n = Mostrados();
    if (!CheckBoxValores->isChecked() || n == 0)
        return r;
    QChart* c = Chart1->chart();
    const QRectF plot = c->plotArea();
    const auto inicio = puntos_.begin(), fin = puntos_.begin() + static_cast<long>(n);
    const size_t i0 = static_cast<size_t>(
        std::lower_bound(inicio, fin, EjeX->min(), [](const PuntoGrafico& q, double x) { return q.X < x; }) - inicio);
    const size_t i1 = static_cast<size_t>(
        std::upper_bound(inicio, fin, EjeX->max(), [](double x, const PuntoGrafico& q) { return x < q.X; }) - inicio);
    if (i1 <= i0 || plot.width() <= 0)
        return r;

    const QFontMetricsF fm(font());
    // The widest a mark can be: the ends of the values, zeros kept.
    const double ancho =
        std::max(fm.horizontalAdvance(TextoEje(EjeY, yMin_)), fm.horizontalAdvance(TextoEje(EjeY, yMax_))) + 8;
    const double porPunto = plot.width() / static_cast<double>(i1 - i0);
    const size_t cada = std::max<size_t>(1, static_cast<size_t>(std::ceil(ancho / porPunto)));
    for (size_t i = (i0 + cada - 1) / cada * cada; i < i1; i += cada) {
        const QPointF en = c->mapToScene(c->mapToPosition(QPointF(puntos_[i].X, puntos_[i].Y), Series1));
        if (!plot.contains(en))
            continue;
        MarcaValor m{{}, TextoValor(puntos_[i].Y)};
        m.Rect = QRectF(0, 0, fm.horizontalAdvance(m.Texto) + 4, fm.height() + 2);
        m.Rect.moveCenter(QPointF(en.x(), en.y() - 6 - m.Rect.height() / 2));
        if (m.Rect.top() < plot.top())
            m.Rect.moveTop(en.y() + 6); // no room above: below the point
        if (std::none_of(r.begin(), r.end(), [&](const MarcaValor& o) { return o.Rect.intersects(m.Rect); }))
            r.push_back(m);
    }
    return r;
}

void TFormHistorico::PintaValores(QPainter* p)
{
    p->setFont(font());
    for (const MarcaValor& m : MarcasValores()) {
        p->setPen(QColor(160, 160, 160));
        p->setBrush(QColor(255, 255, 225));
        p->drawRect(m.Rect);
        p->setPen(Qt::black);
        p->drawText(m.Rect, Qt::AlignCenter, m.Texto);
    }
}

// --- Handlers -------------------------------------------------------------------------

void TFormHistorico::DBChartHistoticoMouseMove(QPoint punto)
{
    Protegido([&] {
        const QPointF escena = Chart1->mapToScene(punto);
        QChart* c = Chart1->chart();
        if (!c->plotArea().contains(escena)) {
            // Outside the plot: no cross-hair; the read-outs keep their last values.
            Chart1->PonCruz(QPointF(-1, -1));
            return;
        }
        Chart1->PonCruz(CheckBox1->isChecked() ? escena : QPointF(-1, -1));
        const QPointF valor = c->mapToValue(c->mapFromScene(escena), Series1);
        LV->setText(TextoEje(EjeY, valor.y()));
        LF->setText(TextoEje(EjeX, valor.x()));
    });
}

void TFormHistorico::Series1AfterDrawValues()
{
    Protegido([&] { Chart1->PonCruz(QPointF(-1, -1)); });
}

void TFormHistorico::CheckBox1Click()
{
    Protegido([&] {
        Chart1->viewport()->setCursor(CheckBox1->isChecked() ? Qt::CrossCursor : Qt::ArrowCursor);
        if (!CheckBox1->isChecked())
            Chart1->PonCruz(QPointF(-1, -1));
    });
}

void TFormHistorico::CheckBoxValoresClick()
{
    // The marks are painted over the chart: the whole of it is painted again.
    Protegido([&] { Chart1->viewport()->update(); });
}

void TFormHistorico::CheckBoxPuntosClick()
{
    Protegido([&] {
        const bool ver = CheckBoxPuntos->isChecked();
        Series1->setPointsVisible(ver);
        Series1->setLightMarker(ver ? MarcaRoja() : QImage());
        Chart1->viewport()->update();
    });
}

void TFormHistorico::BitBtn3Click()
{
    Protegido([&] {
        Memo1->selectAll();
        QApplication::clipboard()->setText(TextoTabla());
    });
}

void TFormHistorico::CopiaLineasClick()
{
    Protegido([&] {
        QModelIndexList filas = Memo1->selectionModel()->selectedRows();
        std::sort(filas.begin(), filas.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
        QStringList lineas;
        for (const QModelIndex& i : filas)
            lineas << i.data().toString();
        if (!lineas.isEmpty())
            QApplication::clipboard()->setText(lineas.join(QLatin1Char('\n')));
    });
}

void TFormHistorico::BitBtn4Click()
{
    Protegido([&] {
        IUsuario* u = Usuario();
        if (!u)
            return;
        DialogoFichero d;
        d.Filtro = "Fichero de texto (*.txt)|*.txt";
        const auto ruta = u->GuardarFichero(d);
        if (!ruta)
            return;
        GrabaTablaVariacion(*ruta, std::span<const PuntoGrafico>(puntos_.data(), Mostrados()));
    });
}

void TFormHistorico::ImprimeTabla(QPrinter& impresora)
{
    QPainter p;
    if (!p.begin(&impresora))
        throw EInOutError("No se puede abrir el trabajo de impresión");
    p.setFont(QFont(Memo1->font(), &impresora));
    const QFontMetrics m = p.fontMetrics();
    const QRect pagina = impresora.pageLayout().paintRectPixels(impresora.resolution());
    const int alto = pagina.height();
    int y = 0;
    const size_t n = Mostrados();
    for (size_t i = 0; i < n; ++i) {
        if (y + m.height() > alto) {
            impresora.newPage();
            y = 0;
        }
        // Tabs as the table shows them.
        p.drawText(QRect(0, y, pagina.width(), m.height()), Qt::TextExpandTabs | Qt::AlignLeft,
                   Q(LineaVariacion(puntos_[i].X, puntos_[i].Y)));
        y += m.lineSpacing();
    }
    p.end();
}

void TFormHistorico::BitBtn5Click()
{
    Protegido([&] {
        QPrinter impresora;
        impresora.setDocName(QStringLiteral("Variación"));
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            // No printer here: the same pages go to a PDF file.
            IUsuario* u = Usuario();
            if (!u)
                return;
            DialogoFichero d;
            d.Titulo = "Imprimir en un fichero PDF";
            d.Filtro = "Documento PDF (*.pdf)|*.pdf";
            d.ExtensionDefecto = "pdf";
            const auto ruta = u->GuardarFichero(d);
            if (!ruta)
                return;
            impresora.setOutputFormat(QPrinter::PdfFormat);
            impresora.setOutputFileName(Q(*ruta));
        } else {
            QPrintDialog dialogo(&impresora, this);
            if (dialogo.exec() != QDialog::Accepted)
                return;
        }
        ImprimeTabla(impresora);
    });
}

void TFormHistorico::GuardaImagenClick()
{
    Protegido([&] {
        IUsuario* u = Usuario();
        if (!u)
            return;
        DialogoFichero d;
        d.Titulo = "Guardar imagen";
        d.Filtro = "Imagen PNG (*.png)|*.png|Mapa de bits (*.bmp)|*.bmp";
        d.ExtensionDefecto = "png";
        const auto ruta = u->GuardarFichero(d);
        if (!ruta)
            return;
        if (!Chart1->grab().save(Q(*ruta)))
            throw EInOutError("No se puede guardar la imagen en " + *ruta);
    });
}

void TFormHistorico::CopiaImagenClick()
{
    Protegido([&] { QApplication::clipboard()->setPixmap(Chart1->grab()); });
}
