#include "Modal.h"

#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "drawing/TreeUnit.h"
#include "common/EscrituraSegura.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct Carpeta {
    std::filesystem::path ruta;
    Carpeta()
    {
        ruta = std::filesystem::temp_directory_path() /
               (std::string("nemor_gui_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(ruta);
        std::filesystem::create_directories(ruta);
        qputenv("NEMOR_INI", QByteArray::fromStdString((ruta / "NEMOR.ini").string()));
    }
    ~Carpeta() { std::filesystem::remove_all(ruta); }
    std::string Fichero(const std::string& nombre) const { return (ruta / nombre).string(); }
};

TEST(Archivo, LaCajaDeCierrePreguntaComoSalir)
{
    TArbol v;
    v.show();
    QString texto;
    Responde(QMessageBox::Cancel, &texto);
    EXPECT_FALSE(v.close());
    EXPECT_TRUE(v.isVisible());
    EXPECT_EQ(texto, QStringLiteral("¿Desea guardar el árbol actual?"));

    // "&Salir" asks the same, once.
    int preguntas = 0;
    AlAbrirseModal([&](QWidget* w) {
        ++preguntas;
        qobject_cast<QMessageBox*>(w)->button(QMessageBox::No)->click();
    });
    v.FileExit();
    Espera(50);
    EXPECT_EQ(preguntas, 1);
    EXPECT_FALSE(v.isVisible());
}

TEST(Archivo, GuardarComoAbrirRecienteYArgumento)
{
    Carpeta dir;
    const std::string ruta = dir.Fichero("I&D.nmr");
    {
        Programa programa;
        TArbol& v = *FormArbol;
        Arbol& a = v.arbol();
        a.CrearNodo(0, NodoDecision, 0);
        for (int i = 0; i < 2; ++i)
            a.NuevoHijo(0, NodoTerminal);
        AlAbrirseModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->nameFilters(), QStringList{QStringLiteral("Archivo Arbol Decision TORVA (*.nmr)")});
            d->selectFile(QString::fromStdString(ruta));
            static_cast<QDialog*>(d)->accept(); // QFileDialog::accept, through the public slot
        });
        v.FileSaveAs();
        ASSERT_TRUE(ExisteFichero(ruta));
        EXPECT_EQ(a.Archivo.Caption, ruta);
        // The recent item shows the path; its "&" is not an accelerator.
        EXPECT_TRUE(v.F1->isVisible());
        EXPECT_EQ(v.F1->text(), QString::fromStdString(ruta).replace(QStringLiteral("&"), QStringLiteral("&&")));
        EXPECT_FALSE(v.F2->isVisible());

        Responde(QMessageBox::No);
        v.FileNew();
        EXPECT_EQ(a.NumeroNodos(), 1);
        EXPECT_EQ(a.Archivo.Caption, "Sin título");
        v.F1Click();
        EXPECT_EQ(a.NumeroNodos(), 3);
        EXPECT_EQ(a.NombreFichero, ruta);
    }
    // Started with the file as its argument, the program opens it.
    Programa programa(QStringList{QString::fromStdString(ruta)});
    EXPECT_EQ(FormArbol->arbol().NombreFichero, ruta);
    EXPECT_EQ(FormArbol->arbol().NumeroNodos(), 3);
    // And the list of the previous run is there.
    EXPECT_EQ(FormArbol->F1->text().replace(QStringLiteral("&&"), QStringLiteral("&")), QString::fromStdString(ruta));
}

// Answers the next file dialog with a path, whether or not the file exists.
void EligeFichero(const std::string& ruta)
{
    AlAbrirseModal([ruta](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        d->selectFile(QString::fromStdString(ruta));
        static_cast<QDialog*>(d)->accept(); // QFileDialog::accept, through the public slot
    });
}

// The open dialog takes any name typed: a file that is not there is reported by
// name, and still goes to the recent files.
TEST(Archivo, AbrirUnNombreQueNoExisteLoDice)
{
    Carpeta dir;
    const std::string falta = dir.Fichero("no_esta.nmr");
    Programa programa;
    TArbol& v = *FormArbol;
    QString texto;
    AlAbrirseModal([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        d->selectFile(QString::fromStdString(falta));
        // The next box: the program's message, or the dialog's own refusal.
        Responde(QMessageBox::Ok, &texto);
        static_cast<QDialog*>(d)->accept();
        if (d->isVisible()) {
            ADD_FAILURE() << "the dialog refused a file that does not exist";
            d->reject();
        }
    });
    v.FileOpen();
    EXPECT_EQ(texto, QString::fromStdString("No existe el fichero " + falta));
    EXPECT_TRUE(v.F1->isVisible());
    EXPECT_EQ(v.F1->text(), QString::fromStdString(falta));
}

// The outline is a snapshot of one tree: a command that starts or reads another
// one gives it a new snapshot (collapsed); saving, or a New the user cancelled,
// leaves it as the user expanded it.
TEST(Archivo, ElEsquemaSoloSeRehaceConOtroArbol)
{
    Carpeta dir;
    const std::string ruta = dir.Fichero("esquema.nmr");
    Programa programa;
    TArbol& v = *FormArbol;
    Arbol& a = v.arbol();
    a.Raiz().Tipo = NodoDecision;
    for (int i = 0; i < 2; ++i)
        a.NuevoHijo(0, NodoTerminal);
    EligeFichero(ruta);
    v.FileSaveAs();
    ASSERT_EQ(a.NombreFichero, ruta);

    struct Caso {
        const char* orden;
        std::function<void()> ejecuta;
        bool rehecho;
    };
    const Caso casos[] = {
        {"Guardar", [&] { v.FileSaveItemClick(); }, false},
        {"Guardar como",
         [&] {
             EligeFichero(ruta);
             v.FileSaveAs();
         },
         false},
        {"Nuevo cancelado",
         [&] {
             Responde(QMessageBox::Cancel);
             v.FileNew();
         },
         false},
        {"Reciente",
         [&] {
             Responde(QMessageBox::No); // the reader asks: the tree has three nodes
             v.F1Click();
         },
         true},
        {"Nuevo",
         [&] {
             Responde(QMessageBox::No);
             v.FileNew();
         },
         true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.orden);
        v.TBTTreeClick();
        ASSERT_TRUE(TreeAD->isVisible());
        TreeAD->SpeedButton1->click();
        ASSERT_TRUE(TreeAD->TreeG1->topLevelItem(0)->isExpanded());
        c.ejecuta();
        EXPECT_EQ(TreeAD->TreeG1->topLevelItem(0)->isExpanded(), !c.rehecho);
        EXPECT_EQ(TreeAD->SpeedButton1->isEnabled(), c.rehecho);
    }
    EXPECT_EQ(a.NumeroNodos(), 1); // the last New did start another tree
}

} // namespace
