#include "drawing/PrevisualizarU.h"

#include "app/Aplicacion.h"
#include "common/EscrituraSegura.h"
#include "common/Errores.h"
#include "common/Redondeo.h"
#include "common/Usuario.h"
#include "drawing/PintaArbol.h"
#include "tree/Arbol.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHideEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollArea>
#include <QVBoxLayout>

QImage ImagenPagina(const Arbol& arbol, MedidorEtiquetas& medidor, const QSize& superficie, const QRect& pagina)
{
    QImage img(pagina.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    const QRect visible = pagina & QRect(QPoint(0, 0), superficie);
    if (visible.isEmpty())
        return img;
    QPainter p(&img);
    p.translate(-pagina.topLeft());
    p.setClipRect(visible);
    PintaArbol(p, arbol, visible, medidor);
    return img;
}

// The canvas of the preview: paints the tiles where the zoom puts them.
class TFormPrevisualizar::Lienzo : public QWidget {
public:
    explicit Lienzo(TFormPrevisualizar* v) : QWidget(nullptr), v_(v)
    {
        setObjectName(QStringLiteral("Lienzo"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QPainter p(this);
        p.fillRect(e->rect(), palette().window());
        const int k = v_->rejilla_.K;
        if (v_->teselas_.size() != static_cast<size_t>(k) * static_cast<size_t>(k))
            return;
        p.setRenderHint(QPainter::SmoothPixmapTransform, v_->pasos_ < 0);
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < k; ++j) {
                const QRect r = v_->RectTesela(i, j);
                if (r.intersects(e->rect()))
                    p.drawImage(r, v_->Tesela(i, j));
            }
    }

private:
    TFormPrevisualizar* v_;
};

TFormPrevisualizar::TFormPrevisualizar(const Arbol& arbol, IUsuario* usuario, QWidget* parent)
    : QWidget(parent), arbol_(arbol), usuario_(usuario)
{
    setObjectName(QStringLiteral("FormPrevisualizar"));
    setWindowTitle(QStringLiteral("Presentación preliminar"));
    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ScrollBox"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    lienzo_ = new Lienzo(this);
    scroll_->setWidget(lienzo_);
    capa->addWidget(scroll_);
}

TFormPrevisualizar::~TFormPrevisualizar() = default;

void TFormPrevisualizar::Construye(const Arbol& arbol, MedidorEtiquetas& medidor, const QSize& superficie,
                                   const QSize& pagina, const RejillaPaginas& rejilla)
{
    teselas_.clear();
    rejilla_ = rejilla;
    rejilla_.K = std::max(rejilla_.K, 1);
    pagina_ = pagina.expandedTo(QSize(1, 1));
    pasos_ = 0;
    const int k = rejilla_.K;
    const QRect dibujo(QPoint(0, 0), superficie);
    // Tiles wholly off the surface are all white: they share one picture.
    QImage blanca;
    teselas_.reserve(static_cast<size_t>(k) * static_cast<size_t>(k));
    for (int i = 0; i < k; ++i)
        for (int j = 0; j < k; ++j) {
            const QRect r(QPoint(j * pagina_.width(), i * pagina_.height()), pagina_);
            if (!r.intersects(dibujo)) {
                if (blanca.isNull())
                    blanca = ImagenPagina(arbol, medidor, superficie, r);
                teselas_.push_back(blanca);
            } else {
                teselas_.push_back(ImagenPagina(arbol, medidor, superficie, r));
            }
        }
    QApplication::clipboard()->setImage(teselas_.back());

    showMaximized();
    raise();
    ColocaTeselas();
    emit BarraVisible(true);
}

const QImage& TFormPrevisualizar::Tesela(int i, int j) const
{
    static const QImage nula;
    const int k = rejilla_.K;
    if (i < 0 || j < 0 || i >= k || j >= k || teselas_.size() != static_cast<size_t>(k) * static_cast<size_t>(k))
        return nula;
    return teselas_[static_cast<size_t>(i) * static_cast<size_t>(k) + static_cast<size_t>(j)];
}

QRect TFormPrevisualizar::RectTesela(int i, int j) const
{
    const Rect r = TeselaPrevia(i, j, base_.width(), base_.height(), pasos_);
    return QRect(r.Left, r.Top, r.Width, r.Height);
}

void TFormPrevisualizar::ColocaTeselas()
{
    // At zoom 0 the grid fills the window without scroll bars.
    const QSize area = scroll_->maximumViewportSize();
    const int k = rejilla_.K;
    base_ = QSize(std::max<int>(1, static_cast<int>(Round(area.width() / static_cast<double>(k)))),
                  std::max<int>(1, static_cast<int>(Round(area.height() / static_cast<double>(k)))));
    if (teselas_.empty()) {
        lienzo_->resize(0, 0);
        return;
    }
    const QRect ultima = RectTesela(k - 1, k - 1);
    lienzo_->resize(ultima.right() + 1, ultima.bottom() + 1);
    lienzo_->update();
}

void TFormPrevisualizar::Aumenta()
{
    pasos_ = PasosZoomPrevio(pasos_, +1);
    ColocaTeselas();
}

void TFormPrevisualizar::Reduce()
{
    pasos_ = PasosZoomPrevio(pasos_, -1);
    ColocaTeselas();
}

void TFormPrevisualizar::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    ColocaTeselas();
}

void TFormPrevisualizar::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    // Minimising is not closing: the tiles stay.
    if (e->spontaneous())
        return;
    emit BarraVisible(false);
    teselas_.clear();
    teselas_.shrink_to_fit();
    pasos_ = 0;
    ColocaTeselas();
}

QPrinter& TFormPrevisualizar::Impresora()
{
    if (!impresora_)
        impresora_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *impresora_;
}

bool TFormPrevisualizar::DialogoImprimir(const std::string& nombre)
{
    QPrinter& impresora = Impresora();
    if (QPrinterInfo::availablePrinterNames().isEmpty() && impresora.outputFileName().isEmpty()) {
        // No printer here: a PDF file beside the tree, or in the home folder for a new one.
        const QFileInfo arbol(QString::fromUtf8(nombre));
        const QString carpeta = arbol.isAbsolute() ? arbol.absolutePath() : QDir::homePath();
        const QString base = arbol.isAbsolute() ? arbol.completeBaseName() : QStringLiteral("arbol");
        impresora.setOutputFormat(QPrinter::PdfFormat);
        impresora.setOutputFileName(QDir(carpeta).filePath(base + QStringLiteral(".pdf")));
    }
    QPrintDialog dialogo(&impresora, this);
    dialogo.setObjectName(QStringLiteral("PrintDialog1"));
    dialogo.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialogo.exec() == QDialog::Accepted;
}

namespace {

// The printer's page settings come back when the report is done with it, so
// the one-sheet print keeps what the user chose in the dialog.
class GuardaPagina {
public:
    explicit GuardaPagina(QPrinter& p) : p_(p), disposicion_(p.pageLayout()), completa_(p.fullPage()) {}
    ~GuardaPagina()
    {
        p_.setFullPage(completa_);
        p_.setPageLayout(disposicion_);
    }
    GuardaPagina(const GuardaPagina&) = delete;
    GuardaPagina& operator=(const GuardaPagina&) = delete;

private:
    QPrinter& p_;
    QPageLayout disposicion_;
    bool completa_;
};

} // namespace

void TFormPrevisualizar::ImprimePaginas(QPrinter& impresora, const std::string& nombre)
{
    const int filas = rejilla_.Filas, columnas = rejilla_.Columnas;
    if (!TieneTeselas())
        return;
    emit ImpresionEmpieza(filas, columnas);
    // The progress squares are repainted as pages go; the user's input waits.
    auto muestra = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    muestra();

    // The pages as they are now: closing the preview while printing does not blank the rest.
    const std::vector<QImage> teselas = teselas_;
    const int k = rejilla_.K;
    const auto tesela = [&](int i, int j) -> const QImage& {
        return teselas[static_cast<size_t>(i) * static_cast<size_t>(k) + static_cast<size_t>(j)];
    };
    InformeUnaPagina& informe = *informe_;
    {
        GuardaPagina guarda(impresora);
        InformeUnaPagina::PreparaImpresora(impresora);
        auto hecha = [&](int i, int j, const QString& titulo) {
            emit PaginaImpresa(i, j, titulo);
            muestra();
        };
        auto titulo = [&](int i, int j) { return QString::fromUtf8(NombrePagina(nombre, i + 1, j + 1)); };
        if (!impresora.outputFileName().isEmpty()) {
            impresora.setDocName(titulo(0, 0));
            QPainter p;
            InformeUnaPagina::Empieza(p, impresora);
            for (int i = 0; i < filas; ++i)
                for (int j = 0; j < columnas; ++j) {
                    if ((i > 0 || j > 0) && !impresora.newPage())
                        throw EInOutError("Cannot write file \"" + impresora.outputFileName().toStdString() + "\".");
                    informe.PonImagen(tesela(i, j));
                    informe.PintaPagina(p, impresora);
                    hecha(i, j, titulo(i, j));
                }
            InformeUnaPagina::Termina(p, impresora);
        } else {
            for (int i = 0; i < filas; ++i)
                for (int j = 0; j < columnas; ++j) {
                    informe.PonImagen(tesela(i, j));
                    informe.Imprime(impresora, titulo(i, j));
                    hecha(i, j, titulo(i, j));
                }
        }
    }
    informe.QuitaImagen();
    emit ImpresionTermina();
}

QImage TFormPrevisualizar::ImagenCliente() const
{
    return scroll_->viewport()->grab().toImage();
}

void TFormPrevisualizar::ImprimeEnUnaHoja(QPrinter& impresora, const QString& titulo)
{
    const QImage img = ImagenCliente();
    int32_t ancho, alto;
    TamanyoImpreso(EscalaUnaHoja, img.width(), img.height(), impresora.logicalDpiX(), impresora.logicalDpiY(),
                   logicalDpiX(), impresora.width(), impresora.height(), ancho, alto);
    impresora.setDocName(titulo);
    QPainter p;
    InformeUnaPagina::Empieza(p, impresora);
    p.drawImage(QRect(0, 0, ancho, alto), img);
    InformeUnaPagina::Termina(p, impresora);
}

void TFormPrevisualizar::GuardaImagenes(const std::string& ruta)
{
    if (!TieneTeselas())
        return;
    for (int i = 0; i < rejilla_.Filas; ++i)
        for (int j = 0; j < rejilla_.Columnas; ++j) {
            const std::string nombre = NombrePagina(ruta, i + 1, j + 1);
            QByteArray bytes;
            QBuffer b(&bytes);
            b.open(QIODevice::WriteOnly);
            if (!Tesela(i, j).save(&b, "BMP"))
                throw EInOutError("Cannot create file \"" + nombre + "\".");
            EscribeFicheroSeguro(nombre, bytes.toStdString());
        }
}

void TFormPrevisualizar::CopiaAlPortapapeles() { QApplication::clipboard()->setImage(ImagenCliente()); }

// --- The control bar's commands ----------------------------------------------------

void TFormPrevisualizar::ImprimirClick()
{
    Protegido([this] {
        if (!DialogoImprimir(arbol_.Archivo.Caption))
            return;
        EscalaUnaHoja = ModoEscalaDeOpcion(arbol_.opciones.Escala);
        ImprimePaginas(Impresora(), arbol_.Archivo.Caption);
    });
}

void TFormPrevisualizar::UnaHojaClick()
{
    Protegido([this] {
        if (DialogoImprimir(arbol_.Archivo.Caption))
            ImprimeEnUnaHoja(Impresora(), QString::fromUtf8(arbol_.Archivo.Caption));
    });
}

void TFormPrevisualizar::GuardarImagenClick()
{
    if (!usuario_)
        return;
    Protegido([this] {
        DialogoFichero d;
        d.Titulo = "Guardar imagen";
        d.Filtro = "Bitmaps (*.bmp)|*.bmp";
        d.ExtensionDefecto = "bmp";
        if (const auto ruta = usuario_->GuardarFichero(d))
            GuardaImagenes(*ruta);
    });
}

void TFormPrevisualizar::CopiarClick()
{
    Protegido([this] { CopiaAlPortapapeles(); });
}

void TFormPrevisualizar::CerrarClick() { hide(); }
