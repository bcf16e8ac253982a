#include "analysis/GraficoHistoricoUnit.h"

#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "common/Usuario.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s); }

// Red square point markers.
QImage MarcaRoja()
{
    QImage img(7, 7, QImage::Format_ARGB32);
    img.fill(Qt::red);
    return img;
}

} // namespace

// --- The chart ------------------------------------------------------------------

GraficoVariacion::GraficoVariacion(QChart* chart, QWidget* parent) : QChartView(chart, parent)
{
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setRubberBand(QChartView::RectangleRubberBand);
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

TFormHistorico::TFormHistorico(QWidget* parent) : QWidget(parent, Qt::Window)
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
    grafico->setLocalizeNumbers(true);
    grafico->setLocale(numeros_);
    Series1 = new QLineSeries;
    Series1->setObjectName(QStringLiteral("Series1"));
    Series1->setName(QStringLiteral("Series1"));
    grafico->addSeries(Series1);
    EjeX = new QValueAxis;
    EjeX->setObjectName(QStringLiteral("EjeX"));
    EjeX->setLabelsAngle(-90);
    EjeX->setLabelFormat(QStringLiteral("%.6g"));
    EjeY = new QValueAxis;
    EjeY->setObjectName(QStringLiteral("EjeY"));
    EjeY->setLabelFormat(QStringLiteral("%.6g"));
    grafico->addAxis(EjeX, Qt::AlignBottom);
    grafico->addAxis(EjeY, Qt::AlignLeft);
    Series1->attachAxis(EjeX);
    Series1->attachAxis(EjeY);
    Series1->setPointLabelsFormat(QStringLiteral("@yPoint"));
    Series1->setPointLabelsClipping(false);
    Chart1 = new GraficoVariacion(grafico, TabGrafico);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->viewport()->setCursor(Qt::CrossCursor);
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
    connect(AccionAcercar, &QAction::triggered, this, [this] { Chart1->chart()->zoomIn(); });
    connect(AccionAlejar, &QAction::triggered, this, [this] { Chart1->chart()->zoomOut(); });
    connect(AccionMover, &QAction::toggled, this, [this](bool on) { Chart1->PonMover(on); });
    connect(AccionRestablecer, &QAction::triggered, this, &TFormHistorico::AjustaEjes);
    connect(AccionGuardarImagen, &QAction::triggered, this, &TFormHistorico::GuardaImagenClick);
    connect(AccionCopiarImagen, &QAction::triggered, this, &TFormHistorico::CopiaImagenClick);

    // Page "Valores".
    TabValores = new QWidget;
    TabValores->setObjectName(QStringLiteral("TabValores"));
    PageControl1->addTab(TabValores, QStringLiteral("Valores"));
    auto* vv = new QVBoxLayout(TabValores);
    Memo1 = new QPlainTextEdit(TabValores);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
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

    CheckBoxValoresClick();
    CheckBoxPuntosClick();
    AjustaEjes();

    // Centred on the screen.
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

IUsuario* TFormHistorico::Usuario() const
{
    if (usuario_)
        return usuario_;
    return FormArbol ? &FormArbol->usuario() : nullptr;
}

// --- What the sweep uses ------------------------------------------------------------

void TFormHistorico::Limpia()
{
    lineas_.clear();
    puntos_.clear();
    Series1->clear();
    Memo1->clear();
    Series1AfterDrawValues();
    AjustaEjes();
}

void TFormHistorico::AnyadePunto(double x, double y)
{
    // X kept in ascending order; a sweep steps upwards, so this is an append.
    auto donde = std::upper_bound(puntos_.begin(), puntos_.end(), x,
                                  [](double v, const QPointF& p) { return v < p.x(); });
    puntos_.insert(donde, QPointF(x, y));
    lineas_.push_back(LineaVariacion(x, y));
}

void TFormHistorico::Muestra()
{
    // The chart and the table take the whole sweep at once: redrawing them at
    // every step would cost more than the sweep itself.
    Series1->replace(puntos_);
    QStringList texto;
    for (const auto& l : lineas_)
        texto << Q(l);
    Memo1->setPlainText(texto.join(QLatin1Char('\n')));
    Series1AfterDrawValues();
    AjustaEjes();
    show();
    raise();
    activateWindow();
}

void TFormHistorico::AjustaEjes()
{
    Chart1->chart()->zoomReset();
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
    if (!puntos_.isEmpty()) {
        x0 = x1 = puntos_.front().x();
        y0 = y1 = puntos_.front().y();
        for (const QPointF& p : puntos_) {
            x0 = std::min(x0, p.x());
            x1 = std::max(x1, p.x());
            y0 = std::min(y0, p.y());
            y1 = std::max(y1, p.y());
        }
        // A flat line or a single point still gets a range around it.
        auto abre = [](double& a, double& b) {
            if (a == b) {
                const double d = a == 0 ? 1 : std::abs(a) * 0.1;
                a -= d;
                b += d;
            }
        };
        abre(x0, x1);
        abre(y0, y1);
    }
    EjeX->setRange(x0, x1);
    EjeY->setRange(y0, y1);
    EjeX->applyNiceNumbers();
    EjeY->applyNiceNumbers();
}

QString TFormHistorico::TextoEje(double v) const { return numeros_.toString(v, 'g', 6); }

// --- Handlers -------------------------------------------------------------------------

void TFormHistorico::DBChartHistoticoMouseMove(QPoint punto)
{
    const QPointF escena = Chart1->mapToScene(punto);
    QChart* c = Chart1->chart();
    if (!c->plotArea().contains(escena)) {
        // Outside the plot: no cross-hair; the read-outs keep their last values.
        Chart1->PonCruz(QPointF(-1, -1));
        return;
    }
    Chart1->PonCruz(CheckBox1->isChecked() ? escena : QPointF(-1, -1));
    const QPointF valor = c->mapToValue(c->mapFromScene(escena), Series1);
    LV->setText(TextoEje(valor.y()));
    LF->setText(TextoEje(valor.x()));
}

void TFormHistorico::Series1AfterDrawValues() { Chart1->PonCruz(QPointF(-1, -1)); }

void TFormHistorico::CheckBox1Click()
{
    Chart1->viewport()->setCursor(CheckBox1->isChecked() ? Qt::CrossCursor : Qt::ArrowCursor);
    if (!CheckBox1->isChecked())
        Chart1->PonCruz(QPointF(-1, -1));
}

void TFormHistorico::CheckBoxValoresClick() { Series1->setPointLabelsVisible(CheckBoxValores->isChecked()); }

void TFormHistorico::CheckBoxPuntosClick()
{
    const bool ver = CheckBoxPuntos->isChecked();
    Series1->setPointsVisible(ver);
    Series1->setLightMarker(ver ? MarcaRoja() : QImage());
    Series1->setMarkerSize(7);
}

void TFormHistorico::BitBtn3Click()
{
    Memo1->selectAll();
    QApplication::clipboard()->setText(Memo1->toPlainText());
}

void TFormHistorico::BitBtn4Click()
{
    IUsuario* u = Usuario();
    if (!u)
        return;
    DialogoFichero d;
    d.Filtro = "Fichero de texto (*.txt)|*.txt";
    const auto ruta = u->GuardarFichero(d);
    if (!ruta)
        return;
    std::vector<PuntoGrafico> tabla;
    for (const QPointF& p : puntos_)
        tabla.push_back({p.x(), p.y()});
    GrabaTablaVariacion(*ruta, tabla);
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
    for (const auto& l : lineas_) {
        if (y + m.height() > alto) {
            impresora.newPage();
            y = 0;
        }
        // Tabs as the memo shows them: eight columns.
        p.drawText(QRect(0, y, pagina.width(), m.height()), Qt::TextExpandTabs | Qt::AlignLeft, Q(l));
        y += m.lineSpacing();
    }
    p.end();
}

void TFormHistorico::BitBtn5Click()
{
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
}

void TFormHistorico::GuardaImagenClick()
{
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
}

void TFormHistorico::CopiaImagenClick() { QApplication::clipboard()->setPixmap(Chart1->grab()); }
