#include "Modal.h"

#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "common/Errores.h"
#include "common/Redondeo.h"
#include "drawing/BarU.h"
#include "drawing/ImprimiendoU.h"
#include "drawing/OpcionU.h"
#include "drawing/PrevisualizarU.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// The main window shown at a known size; returns the page size the preview will use.
QSize Prepara(TArbol& v)
{
    v.resize(800, 600);
    v.show();
    Espera(20);
    QSize s = v.centralWidget()->size();
    if (v.ToolBar1->isVisible())
        s.rheight() += v.ToolBar1->height();
    return s;
}

// Pages of a PDF file: its page objects, not the page tree.
int PaginasPdf(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString texto = QString::fromLatin1(f.readAll());
    return static_cast<int>(texto.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"))));
}

bool Blanca(const QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != QColor(Qt::white))
                return false;
    return true;
}

QPrinter* Pdf(QPrinter& p, const QString& ruta)
{
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(ruta);
    return &p;
}

TEST(Previsualizacion, PaginasImpresasYGuardadas)
{
    Programa programa;
    TArbol& v = *FormArbol;
    const QSize pagina = Prepara(v);
    const int w = pagina.width(), h = pagina.height();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    struct Caso {
        const char* nombre;
        const char* archivo; // the tree's path as the label shows it
        int derecha, abajo;  // far corner of the farthest node's figure
        int filas, columnas, k;
        std::vector<const char*> titulos;
    } casos[] = {
        {"cabe en una ventana", "Sin título", w / 2, h / 2, 1, 1, 1, {"-1-1.Sin"}},
        {"2,5 x 1,2 ventanas", "Sin título", w * 5 / 2, h * 6 / 5, 2, 3, 3,
         {"-1-1.Sin", "-1-2.Sin", "-1-3.Sin", "-2-1.Sin", "-2-2.Sin", "-2-3.Sin"}},
        {"dos páginas de un árbol guardado", "/home/ana/arbol.nmr", w + 100, h / 2, 1, 2, 2,
         {"/home/ana/arbol-1-1.nmr", "/home/ana/arbol-1-2.nmr"}},
    };
    int vuelta = 0;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Arbol& a = v.arbol();
        a.NuevoArbolVacio();
        a.Archivo.Caption = c.archivo;
        a.SituarNodo(0, 20, 40);
        a.NuevoHijo(0, NodoTerminal, c.derecha - 30, c.abajo - 30);
        v.Refresca();

        v.Pre1Click();
        TFormPrevisualizar& p = *FormPrevisualizar;
        ASSERT_TRUE(p.isVisible());
        EXPECT_TRUE(p.windowState() & Qt::WindowMaximized);
        EXPECT_TRUE(FormBar->isVisible());
        EXPECT_TRUE(v.ToolBar1->isVisible()); // back after the capture
        EXPECT_EQ(p.Pagina(), pagina);        // measured without the tool bar
        EXPECT_EQ(p.Rejilla().Filas, c.filas);
        EXPECT_EQ(p.Rejilla().Columnas, c.columnas);
        EXPECT_EQ(p.Rejilla().K, c.k);
        for (int i = 0; i < c.k; ++i)
            for (int j = 0; j < c.k; ++j)
                EXPECT_EQ(p.Tesela(i, j).size(), pagina) << i << "," << j;
        EXPECT_EQ(QApplication::clipboard()->image(), p.Tesela(c.k - 1, c.k - 1));

        // Every page goes to the printer once, row by row, under its job title;
        // to a file they all land in that one file.
        QStringList titulos;
        auto con = QObject::connect(&p, &TFormPrevisualizar::PaginaImpresa,
                                    [&](int, int, const QString& t) { titulos << t; });
        const QString pdf = dir.filePath(QStringLiteral("paginas%1.pdf").arg(vuelta));
        QPrinter impresora(QPrinter::HighResolution);
        p.ImprimePaginas(*Pdf(impresora, pdf), c.archivo);
        QObject::disconnect(con);
        QStringList esperados;
        for (const char* t : c.titulos)
            esperados << QString::fromUtf8(t);
        EXPECT_EQ(titulos, esperados);
        EXPECT_EQ(PaginasPdf(pdf), c.filas * c.columnas);
        // Letter, landscape.
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray datos = f.readAll();
        const auto caja = QRegularExpression(QStringLiteral("/MediaBox\\s*\\[([^\\]]*)\\]")).match(QString::fromLatin1(datos));
        std::vector<double> medidas;
        for (const QString& m : caja.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            medidas.push_back(m.toDouble());
        EXPECT_EQ(medidas, (std::vector<double>{0, 0, 792, 612})); // points: 11 x 8.5 inches

        // The progress window counted this run's pages only, and every square turned blue.
        TFormImprimiendo& pr = *FormImprimiendo;
        EXPECT_FALSE(pr.isVisible());
        EXPECT_EQ(pr.Label1->text(), QStringLiteral("Imprimiendo %1 páginas").arg(c.filas * c.columnas));
        EXPECT_EQ(pr.Filas(), c.filas);
        EXPECT_EQ(pr.Columnas(), c.columnas);
        int32_t ancho, alto;
        TamanyoVentanaProgreso(c.filas, c.columnas, ancho, alto);
        EXPECT_EQ(pr.height(), alto);
        for (int i = 0; i < c.filas; ++i)
            for (int j = 0; j < c.columnas; ++j)
                EXPECT_EQ(pr.ColorCuadro(i, j), QColor(0, 0, 255));

        // One image file per page, nothing for the tiles beyond the pages.
        const QString base = dir.filePath(QStringLiteral("caso%1/arbol.bmp").arg(vuelta));
        QDir().mkpath(QFileInfo(base).path());
        p.GuardaImagenes(base.toStdString());
        const QStringList ficheros = QDir(QFileInfo(base).path()).entryList(QDir::Files, QDir::Name);
        EXPECT_EQ(ficheros.size(), c.filas * c.columnas);
        for (int i = 0; i < c.filas; ++i)
            for (int j = 0; j < c.columnas; ++j) {
                const QString nombre = QStringLiteral("arbol-%1-%2.bmp").arg(i + 1).arg(j + 1);
                EXPECT_TRUE(ficheros.contains(nombre)) << nombre.toStdString();
            }

        FormBar->SalirClick();
        EXPECT_FALSE(p.isVisible());
        EXPECT_FALSE(FormBar->isVisible());
        EXPECT_FALSE(p.TieneTeselas());
        ++vuelta;
    }
}

TEST(Previsualizacion, ImagenesDeUnArbolDeDosPaginas)
{
    Programa programa;
    TArbol& v = *FormArbol;
    const QSize pagina = Prepara(v);
    Arbol& a = v.arbol();
    a.SituarNodo(0, 20, 40);
    const uint16_t lejos = a.NuevoHijo(0, NodoAzar, pagina.width() + 200, 100);
    v.Refresca();
    v.Pre1Click();
    TFormPrevisualizar& p = *FormPrevisualizar;
    ASSERT_EQ(p.Rejilla().Paginas(), 2);

    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("arbol.bmp"));
    p.GuardaImagenes(base.toStdString());
    const QImage primera(dir.filePath(QStringLiteral("arbol-1-1.bmp")));
    const QImage segunda(dir.filePath(QStringLiteral("arbol-1-2.bmp")));
    ASSERT_EQ(primera.size(), pagina);
    ASSERT_EQ(segunda.size(), pagina);
    EXPECT_FALSE(Blanca(primera));
    EXPECT_FALSE(Blanca(segunda));
    // The far node sits on the second page at its offset, in its own colour.
    const TNodo& n = *a.Nodo(lejos);
    const QPoint centro(n.Figura.Left - pagina.width() + n.Figura.Width / 2 + 8, n.Figura.Top + n.Figura.Height / 2);
    EXPECT_EQ(segunda.pixelColor(centro), QColor(Rojo(a.ColorAzar), Verde(a.ColorAzar), Azul(a.ColorAzar)));
    // The tiles below the pages show the rest of the surface: white here.
    EXPECT_TRUE(Blanca(p.Tesela(1, 0)));

    // A file that cannot be written is an error, not a silent loss.
    EXPECT_THROW(p.GuardaImagenes(dir.filePath(QStringLiteral("no/existe/arbol.bmp")).toStdString()), EInOutError);
}

TEST(Previsualizacion, ZoomUnaHojaPortapapelesYCierre)
{
    Programa programa;
    TArbol& v = *FormArbol;
    const QSize pagina = Prepara(v);
    Arbol& a = v.arbol();
    a.SituarNodo(0, 20, 40);
    a.NuevoHijo(0, NodoTerminal, pagina.width() + 10, pagina.height() + 10);
    v.Pre1Click();
    TFormPrevisualizar& p = *FormPrevisualizar;
    Espera(20);

    // Pictures of the windows beside the test binaries, for a look by eye.
    const QByteArray carpeta = qgetenv("NEMOR_CAPTURAS");
    if (!carpeta.isEmpty()) {
        const QString c = QString::fromLocal8Bit(carpeta);
        EXPECT_TRUE(p.grab().save(c + QStringLiteral("/previsualizar.png")));
        EXPECT_TRUE(FormBar->grab().save(c + QStringLiteral("/barra_control.png")));
        FormImprimiendo->Prepara(2, 3);
        FormImprimiendo->MarcaImpresa(0, 0);
        FormImprimiendo->MarcaImpresa(0, 1);
        EXPECT_TRUE(FormImprimiendo->grab().save(c + QStringLiteral("/imprimiendo.png")));
    }

    // The control bar: its buttons in order, with their hints.
    QStringList hints;
    for (QAction* b : FormBar->ToolBar1->actions())
        hints << (b->isSeparator() ? QStringLiteral("-") : b->toolTip());
    EXPECT_EQ(hints.join(QLatin1Char('|')),
              QStringLiteral("Aumentar|Reducir|-|Imprimir|Imprimir en 1 hoja|Opciones de impresión|-|"
                             "Guardar imagen|Pegar imagen en portapapeles|-|Cerrar"));
    EXPECT_TRUE(FormBar->windowFlags() & Qt::WindowStaysOnTopHint);

    // Zoom: 100/90 up, 90/100 down, back to where it was.
    const QRect antes = p.RectTesela(1, 1);
    FormBar->Aumentar->trigger();
    EXPECT_EQ(p.RectTesela(1, 1).left(), Round(antes.left() * 100.0 / 90.0));
    EXPECT_EQ(p.RectTesela(1, 1).width(), Round(antes.right() * 100.0 / 90.0 + 100.0 / 90.0) - p.RectTesela(1, 1).left());
    FormBar->Aumentar->trigger();
    EXPECT_GT(p.ScrollBox()->widget()->width(), p.ScrollBox()->viewport()->width()); // now it scrolls
    FormBar->Reducir->trigger();
    FormBar->Reducir->trigger();
    EXPECT_EQ(p.RectTesela(1, 1), antes);
    FormBar->Reducir->trigger();
    EXPECT_EQ(p.RectTesela(1, 1).left(), Round(antes.left() * 0.9));

    // The preview on one sheet, sized by the scale mode.
    QTemporaryDir dir;
    for (ModoEscala modo : {ModoEscala::Proporcional, ModoEscala::AjustarPagina, ModoEscala::SinEscala}) {
        p.EscalaUnaHoja = modo;
        const QString pdf = dir.filePath(QStringLiteral("hoja%1.pdf").arg(static_cast<int>(modo)));
        QPrinter impresora(QPrinter::HighResolution);
        p.ImprimeEnUnaHoja(*Pdf(impresora, pdf), QStringLiteral("arbol"));
        EXPECT_EQ(PaginasPdf(pdf), 1) << static_cast<int>(modo);
    }

    // The clipboard gets the preview as shown.
    FormBar->ToolButton7->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().size(), p.ScrollBox()->viewport()->size());

    // The options open on their own, not modal.
    FormBar->ToolButton1->trigger();
    EXPECT_TRUE(FormOpciones->isVisible());
    EXPECT_FALSE(FormOpciones->isModal());
    FormOpciones->hide();

    // Closing the bar alone leaves the preview; closing the preview takes the bar and the tiles.
    FormBar->close();
    EXPECT_TRUE(p.isVisible());
    FormBar->show();
    p.close();
    EXPECT_FALSE(FormBar->isVisible());
    EXPECT_FALSE(p.TieneTeselas());
}

TEST(Previsualizacion, DialogosDeImprimirYGuardar)
{
    Programa programa;
    TArbol& v = *FormArbol;
    const QSize pagina = Prepara(v);
    Arbol& a = v.arbol();
    a.SituarNodo(0, 20, 40);
    a.NuevoHijo(0, NodoTerminal, pagina.width() + 10, 40);
    v.Pre1Click();
    TFormPrevisualizar& p = *FormPrevisualizar;
    int impresas = 0;
    QObject::connect(&p, &TFormPrevisualizar::PaginaImpresa, [&] { ++impresas; });

    // Cancelling any of the dialogs does nothing.
    struct Caso {
        const char* nombre;
        QAction* boton;
        const char* dialogo;
    } casos[] = {
        {"Imprimir", FormBar->Imprimir, "QPrintDialog"},
        {"Imprimir en 1 hoja", FormBar->ToolButton2, "QPrintDialog"},
        {"Guardar imagen", FormBar->ToolButton6, "QFileDialog"},
    };
    for (const Caso& c : casos) {
        QString visto;
        AlAbrirseModal([&](QWidget* w) {
            visto = QString::fromLatin1(w->metaObject()->className());
            if (auto* d = qobject_cast<QDialog*>(w))
                d->reject();
        });
        c.boton->trigger();
        EXPECT_TRUE(visto.endsWith(QLatin1String(c.dialogo))) << c.nombre << ": " << visto.toStdString();
        EXPECT_EQ(impresas, 0) << c.nombre;
        EXPECT_FALSE(FormImprimiendo->isVisible()) << c.nombre;
    }
    // With no printer on the machine the dialog offers a PDF file.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        EXPECT_EQ(p.Impresora().outputFormat(), QPrinter::PdfFormat);
        EXPECT_FALSE(p.Impresora().outputFileName().isEmpty());
    }

    // Accepted with a PDF file: every page lands in it, and the one-sheet
    // scale now follows the option.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("arbol.pdf"));
    Pdf(p.Impresora(), pdf);
    a.opciones.Escala = 1;
    AlAbrirseModal([](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); });
    FormBar->Imprimir->trigger();
    EXPECT_EQ(impresas, 2);
    EXPECT_EQ(PaginasPdf(pdf), 2);
    EXPECT_EQ(p.EscalaUnaHoja, ModoEscala::AjustarPagina);

    // Saving through the dialog: the name typed is split at its first ".".
    const QString bmp = dir.filePath(QStringLiteral("pagina.bmp"));
    AlAbrirseModal([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->defaultSuffix(), QStringLiteral("bmp"));
        EXPECT_EQ(d->nameFilters(), QStringList{QStringLiteral("Bitmaps (*.bmp)")});
        d->selectFile(bmp);
        static_cast<QDialog*>(d)->accept();
    });
    FormBar->ToolButton6->trigger();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("pagina-1-1.bmp"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("pagina-1-2.bmp"))));
    EXPECT_FALSE(QFile::exists(bmp));
}

TEST(Previsualizacion, FalloDeImpresion)
{
    Programa programa;
    TArbol& v = *FormArbol;
    const QSize pagina = Prepara(v);
    v.arbol().NuevoHijo(0, NodoTerminal, pagina.width() + 10, 40);
    v.Pre1Click();
    TFormPrevisualizar& p = *FormPrevisualizar;
    int impresas = 0;
    QObject::connect(&p, &TFormPrevisualizar::PaginaImpresa, [&] { ++impresas; });

    // The error reaches the user; no page counts as printed and the progress
    // window stays up to show how far it got.
    QPrinter aFichero(QPrinter::HighResolution);
    Pdf(aFichero, QDir::temp().filePath(QStringLiteral("no/existe/arbol.pdf")));
    EXPECT_THROW(p.ImprimePaginas(aFichero, "Sin título"), EInOutError);
    EXPECT_EQ(impresas, 0);
    EXPECT_TRUE(FormImprimiendo->isVisible());
    EXPECT_EQ(FormImprimiendo->ColorCuadro(0, 0), QColor(192, 192, 192));
    FormImprimiendo->hide();

    // A job per page on a printer that is not there fails on the first page.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        QPrinter ninguna(QPrinter::HighResolution);
        ASSERT_TRUE(ninguna.outputFileName().isEmpty());
        EXPECT_THROW(p.ImprimePaginas(ninguna, "Sin título"), ENemor);
        EXPECT_EQ(impresas, 0);
        EXPECT_TRUE(FormImprimiendo->isVisible());
    }
}

} // namespace
