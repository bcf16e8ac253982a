#include "analysis/VistaAnalisisUnit.h"
#include "common/EscrituraSegura.h"

#include "analysis/GraficoHistoricoUnit.h"
#include "analysis/Variacion.h"
#include "app/Aplicacion.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "common/Usuario.h"
#include "drawing/ConversionQt.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLocale>
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

QLocale LocaleNumeros()
{
    QLocale l = SeparadorDecimal() == ',' ? QLocale(QLocale::Spanish, QLocale::Spain) : QLocale::c();
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l;
}

QColor ColorSerie(size_t i)
{
    static const QColor colores[] = {QColor(31, 119, 180), QColor(255, 127, 14), QColor(44, 160, 44),
                                     QColor(214, 39, 40),  QColor(148, 103, 189), QColor(140, 86, 75),
                                     QColor(227, 119, 194), QColor(127, 127, 127), QColor(188, 189, 34),
                                     QColor(23, 190, 207)};
    return colores[i % (sizeof colores / sizeof colores[0])];
}

QChart* GraficoConEstilo(const QString& titulo, const QFont& base)
{
    auto* g = new QChart;
    g->setTitle(titulo);
    QFont f = base;
    f.setBold(true);
    f.setPixelSize(16);
    g->setTitleFont(f);
    g->setTitleBrush(QColor(128, 0, 0)); // maroon
    g->setBackgroundBrush(Qt::white);
    g->setPlotAreaBackgroundVisible(false);
    g->setLocalizeNumbers(true);
    g->setLocale(LocaleNumeros());
    return g;
}

TVistaAnalisis::TVistaAnalisis(const QString& caption, const QString& nombre, QSize tamanyo, IUsuario* usuario,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), usuario_(usuario)
{
    setObjectName(nombre);
    setWindowTitle(caption);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(tamanyo);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(4, 4, 4, 4);
    fila_ = new QHBoxLayout;
    raiz->addLayout(fila_);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    raiz->addWidget(PageControl1, 1);

    // Page "Valores", as the sweep view has it.
    valores_ = new QWidget;
    valores_->setObjectName(QStringLiteral("TabValores"));
    PageControl1->addTab(valores_, QStringLiteral("Valores"));
    auto* vv = new QVBoxLayout(valores_);
    Memo1 = new QPlainTextEdit(valores_);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    vv->addWidget(Memo1, 1);
    auto* botones = new QHBoxLayout;
    BitBtn3 = new QPushButton(QStringLiteral("Co&piar"), valores_);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn4 = new QPushButton(QStringLiteral("&Grabar"), valores_);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn4->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    BitBtn5 = new QPushButton(QStringLiteral("&Imprimir"), valores_);
    BitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    botones->addStretch();
    for (QPushButton* b : {BitBtn3, BitBtn4, BitBtn5})
        botones->addWidget(b);
    vv->addLayout(botones);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { Protegido([this] { BitBtn3Click(); }); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { Protegido([this] { BitBtn4Click(); }); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { Protegido([this] { BitBtn5Click(); }); });

    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

TVistaAnalisis::PaginaGrafico TVistaAnalisis::AnyadeGrafico(const QString& titulo, const char* nombre, QChart* grafico)
{
    const int indice = static_cast<int>(graficos_.size());
    PaginaGrafico p;
    p.Pagina = new QWidget;
    p.Pagina->setObjectName(QStringLiteral("Tab") + QString::fromLatin1(nombre));
    auto* v = new QVBoxLayout(p.Pagina);
    v->setContentsMargins(2, 2, 2, 2);
    p.Barra = new QToolBar(p.Pagina);
    p.Barra->setObjectName(QString::fromLatin1(nombre) + QStringLiteral("Comandos"));
    p.Barra->setIconSize(QSize(16, 16));
    p.Barra->setToolButtonStyle(Qt::ToolButtonIconOnly);
    v->addWidget(p.Barra);
    p.Vista = new GraficoVariacion(grafico, p.Pagina);
    p.Vista->setObjectName(QString::fromLatin1(nombre));
    p.Vista->setRenderHint(QPainter::Antialiasing);
    v->addWidget(p.Vista, 1);

    // The same commands as the sweep's chart, with the same names.
    auto comando = [&](const char* objeto, const QString& texto, QStyle::StandardPixmap icono) {
        QAction* a = p.Barra->addAction(style()->standardIcon(icono), texto);
        a->setObjectName(QString::fromLatin1(objeto));
        a->setToolTip(texto);
        return a;
    };
    p.Acercar = comando("AccionAcercar", QStringLiteral("Acercar"), QStyle::SP_ArrowUp);
    p.Alejar = comando("AccionAlejar", QStringLiteral("Alejar"), QStyle::SP_ArrowDown);
    p.Mover = comando("AccionMover", QStringLiteral("Mover"), QStyle::SP_ArrowRight);
    p.Mover->setCheckable(true);
    p.Restablecer = comando("AccionRestablecer", QStringLiteral("Restablecer"), QStyle::SP_BrowserReload);
    p.GuardarImagen = comando("AccionGuardarImagen", QStringLiteral("Guardar imagen..."), QStyle::SP_DialogSaveButton);
    p.CopiarImagen = comando("AccionCopiarImagen", QStringLiteral("Copiar imagen"), QStyle::SP_FileDialogContentsView);
    GraficoVariacion* vista = p.Vista;
    connect(p.Acercar, &QAction::triggered, this, [vista] { vista->chart()->zoomIn(); });
    connect(p.Alejar, &QAction::triggered, this, [vista] { vista->chart()->zoomOut(); });
    connect(p.Mover, &QAction::toggled, this, [vista](bool on) { vista->PonMover(on); });
    connect(p.Restablecer, &QAction::triggered, this, [this, indice] { Protegido([&] { AjustaEjes(indice); }); });
    connect(p.GuardarImagen, &QAction::triggered, this, [this, indice] { Protegido([&] { GuardaImagenClick(indice); }); });
    connect(p.CopiarImagen, &QAction::triggered, this, [this, indice] { Protegido([&] { CopiaImagenClick(indice); }); });
    // The cross-hair of the sweep's chart follows the mouse over the plot.
    connect(vista, &GraficoVariacion::MouseMove, this, [vista](QPoint punto) {
        const QPointF escena = vista->mapToScene(punto);
        vista->PonCruz(vista->chart()->plotArea().contains(escena) ? escena : QPointF(-1, -1));
    });

    PageControl1->insertTab(PageControl1->indexOf(valores_), p.Pagina, titulo);
    graficos_.push_back(p);
    return p;
}

IUsuario* TVistaAnalisis::Usuario() const
{
    return usuario_;
}

void TVistaAnalisis::PonLineas(std::vector<std::string> lineas)
{
    lineas_ = std::move(lineas);
    QStringList texto;
    for (const auto& l : lineas_)
        texto << Q(l);
    Memo1->setPlainText(texto.join(QLatin1Char('\n')));
}

void TVistaAnalisis::BitBtn3Click()
{
    Memo1->selectAll();
    QApplication::clipboard()->setText(Memo1->toPlainText());
}

void TVistaAnalisis::BitBtn4Click()
{
    IUsuario* u = Usuario();
    if (!u)
        return;
    DialogoFichero d;
    d.Filtro = "Fichero de texto (*.txt)|*.txt";
    const auto ruta = u->GuardarFichero(d);
    if (!ruta)
        return;
    // One line per row, each followed by CR LF, written safely over exactly that name.
    std::string texto;
    for (const auto& l : lineas_)
        texto += l + "\r\n";
    EscribeFicheroSeguro(*ruta, texto);
}

void TVistaAnalisis::ImprimeTabla(QPrinter& impresora)
{
    QPainter p;
    if (!p.begin(&impresora))
        throw EInOutError("No se puede abrir el trabajo de impresión");
    p.setFont(QFont(Memo1->font(), &impresora));
    const QFontMetrics m = p.fontMetrics();
    const QRect pagina = impresora.pageLayout().paintRectPixels(impresora.resolution());
    int y = 0;
    for (const auto& l : lineas_) {
        if (y + m.height() > pagina.height()) {
            impresora.newPage();
            y = 0;
        }
        p.drawText(QRect(0, y, pagina.width(), m.height()), Qt::TextExpandTabs | Qt::AlignLeft, Q(l));
        y += m.lineSpacing();
    }
    p.end();
}

void TVistaAnalisis::BitBtn5Click()
{
    QPrinter impresora;
    impresora.setDocName(windowTitle());
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // No printer here: the pages go to a PDF file.
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

void TVistaAnalisis::GuardaImagenClick(int pagina)
{
    IUsuario* u = Usuario();
    if (!u || pagina < 0 || pagina >= static_cast<int>(graficos_.size()))
        return;
    DialogoFichero d;
    d.Titulo = "Guardar imagen";
    d.Filtro = "Imagen PNG (*.png)|*.png|Mapa de bits (*.bmp)|*.bmp";
    d.ExtensionDefecto = "png";
    const auto ruta = u->GuardarFichero(d);
    if (!ruta)
        return;
    if (!graficos_[pagina].Vista->grab().save(Q(*ruta)))
        throw EInOutError("No se puede guardar la imagen en " + *ruta);
}

void TVistaAnalisis::CopiaImagenClick(int pagina)
{
    if (pagina >= 0 && pagina < static_cast<int>(graficos_.size()))
        QApplication::clipboard()->setPixmap(graficos_[pagina].Vista->grab());
}
