// The drawing exported to picture files: by nemor-cli and by the window's menu.
#include "Modal.h"

#include "app/ArbolU.h"
#include "cli/Cli.h"
#include "common/EscrituraSegura.h"
#include "drawing/ConversionQt.h"
#include "drawing/Disposicion.h"
#include "drawing/ExportaDibujo.h"
#include "support/UsuarioGuion.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"

#include <QFileDialog>
#include <QImage>
#include <QMenu>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

const std::string kEjemplos = std::string(NEMOR_FUENTES) + "/examples/";

struct Carpeta {
    std::filesystem::path ruta;
    Carpeta()
    {
        ruta = std::filesystem::temp_directory_path() /
               (std::string("nemor_exportar_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(ruta);
        std::filesystem::create_directories(ruta);
        // No settings file: the default options.
        qputenv("NEMOR_INI", QByteArray::fromStdString((ruta / "NEMOR.ini").string()));
    }
    ~Carpeta() { std::filesystem::remove_all(ruta); }
    std::string Fichero(const std::string& nombre) const { return (ruta / nombre).string(); }
};

int Cli(const std::vector<std::string>& args, std::string* error = nullptr)
{
    std::ostringstream out, err;
    const int r = EjecutaCli(args, out, err);
    if (error)
        *error = err.str();
    return r;
}

std::string Cabecera(const std::string& ruta, size_t n)
{
    std::string bytes;
    EXPECT_TRUE(LeeFicheroEntero(ruta, bytes)) << ruta;
    return bytes.substr(0, n);
}

// Every sample, exported as the window shows it after opening: the picture is
// exactly the drawing's box plus the margin, and each figure shows its own fill
// where the box puts it.
TEST(Exportar, CadaEjemploDaUnPngRecortadoConSusFiguras)
{
    for (const char* ejemplo : {"petroleo", "lanzamiento", "inversion"}) {
        SCOPED_TRACE(ejemplo);
        Carpeta c;
        const std::string entrada = kEjemplos + ejemplo + ".nmr";
        const std::string salida = c.Fichero("dibujo.png");
        std::string error;
        ASSERT_EQ(Cli({"export", entrada, salida}, &error), 0) << error;

        UsuarioGuion u;
        Arbol a;
        a.usuario = &u;
        LeerArbol(a, entrada);
        MedidorEtiquetas medidor;
        const QRect caja = CajaDibujo(a, medidor).adjusted(-kMargenExportacion, -kMargenExportacion,
                                                           kMargenExportacion, kMargenExportacion);
        QImage img(QString::fromStdString(salida));
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), caja.size());
        // Far smaller than the whole surface: cropped.
        EXPECT_LT(img.width(), 1500);

        for (int pos = 0; pos <= a.UltimaPosicion; ++pos) {
            const TNodo& n = *a.Nodo(a.ListaOrden[pos]);
            // Three quarters across, half way down: inside every shape, clear of the number.
            const QPoint p = QPoint(n.Figura.Left + 3 * n.Figura.Width / 4, n.Figura.Top + n.Figura.Height / 2) -
                             caja.topLeft();
            EXPECT_EQ(img.pixelColor(p), AQColor(ColorFigura(a, n))) << "nodo " << a.ListaOrden[pos];
        }
        // The labels are drawn too: black pixels outside the figures.
        int negros = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                negros += img.pixelColor(x, y) == Qt::black;
        EXPECT_GT(negros, 500);
    }
}

TEST(Exportar, ElFormatoLoDaLaExtension)
{
    struct Caso {
        const char* nombre;
        std::string firma;
    };
    const Caso casos[] = {
        {"a.png", "\x89PNG\r\n\x1a\n"},
        {"a.PNG", "\x89PNG\r\n\x1a\n"},
        {"a.svg", "<?xml"},
        {"a.pdf", "%PDF-"},
        {"b.Pdf", "%PDF-"},
    };
    Carpeta c;
    for (const auto& k : casos) {
        SCOPED_TRACE(k.nombre);
        const std::string salida = c.Fichero(k.nombre);
        std::string error;
        ASSERT_EQ(Cli({"export", kEjemplos + "inversion.nmr", salida}, &error), 0) << error;
        EXPECT_EQ(Cabecera(salida, k.firma.size()), k.firma);
    }
    // Vector files keep the labels as text.
    std::string svg;
    ASSERT_TRUE(LeeFicheroEntero(c.Fichero("a.svg"), svg));
    EXPECT_NE(svg.find("Acciones"), std::string::npos);
}

// A failed export says why, exits 1 and leaves what was there before.
TEST(Exportar, LosErroresNoDejanFichero)
{
    Carpeta c;
    const std::string previo = c.Fichero("previo.png");
    EscribeFicheroSeguro(previo, "intacto");
    struct Caso {
        std::vector<std::string> args;
        std::string salida;
        const char* mensaje;
    };
    const Caso casos[] = {
        {{"export", kEjemplos + "inversion.nmr", c.Fichero("a.bmp")}, c.Fichero("a.bmp"), ".png, .svg o .pdf"},
        {{"export", kEjemplos + "inversion.nmr", c.Fichero("sin_extension")}, c.Fichero("sin_extension"), ".png"},
        {{"export", c.Fichero("no_existe.nmr"), previo}, previo, "no_existe.nmr"},
        {{"export", kEjemplos + "inversion.nmr", c.Fichero("no/hay/carpeta.png")}, c.Fichero("no/hay/carpeta.png"), ""},
    };
    for (const auto& k : casos) {
        SCOPED_TRACE(k.args[2]);
        std::string error;
        EXPECT_EQ(Cli(k.args, &error), 1);
        EXPECT_NE(error.find(k.mensaje), std::string::npos) << error;
        if (k.salida == previo)
            EXPECT_EQ(Cabecera(previo, 100), "intacto");
        else
            EXPECT_FALSE(std::filesystem::exists(k.salida));
    }
    EXPECT_EQ(Cli({"export", "--otra", kEjemplos + "inversion.nmr", c.Fichero("a.png")}), 2);
}

// A tree far from the origin gives a small picture around it, not the surface up to it.
TEST(Exportar, ElRecorteSigueAlDibujo)
{
    Arbol a;
    a.Archivo.Visible = false;
    a.Fecha.Visible = false;
    a.SituarNodo(0, 2000, 1500);
    MedidorEtiquetas medidor;
    const QRect caja = CajaDibujo(a, medidor);
    const QRect figura(2000, 1500, a.TamanyoNodo, a.TamanyoNodo);
    EXPECT_TRUE(caja.contains(figura));
    EXPECT_LE(caja.width(), figura.width() + 2 * MedidorEtiquetas::kMargenImagen);
    // The value label above the root, and nothing more.
    EXPECT_LT(caja.top(), figura.top());
    EXPECT_GT(caja.top(), figura.top() - 40);
    EXPECT_EQ(caja.bottom(), figura.bottom());

    // The identifier labels belong to the drawing when shown.
    a.Archivo.Visible = true;
    a.Archivo.Caption = "arbol.nmr";
    EXPECT_TRUE(CajaDibujo(a, medidor).contains(QPoint(8, 8)));
}

// The menu item follows "Guardar &como..." and writes the drawing the window shows.
TEST(Exportar, ElMenuExportaLoQueMuestraLaVentana)
{
    Carpeta c;
    TArbol v;
    v.show();
    const QList<QAction*> items = v.FileMenu->actions();
    const auto i = items.indexOf(v.FileSaveAsItem);
    ASSERT_GE(i, 0);
    ASSERT_LT(i + 1, items.size());
    EXPECT_EQ(items[i + 1], v.ExportarImagen1);
    EXPECT_EQ(v.ExportarImagen1->text(), QStringLiteral("&Exportar imagen..."));

    const std::string salida = c.Fichero("ventana.svg");
    AlAbrirseModal([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        d->selectFile(QString::fromStdString(salida));
        static_cast<QDialog*>(d)->accept();
    });
    v.ExportarImagen1->trigger();
    ASSERT_TRUE(ExisteFichero(salida));
    EXPECT_EQ(Cabecera(salida, 5), "<?xml");

    // Cancelling writes nothing.
    AlAbrirseModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    std::filesystem::remove(salida);
    v.ExportarImagen1->trigger();
    EXPECT_FALSE(std::filesystem::exists(salida));
}

} // namespace
