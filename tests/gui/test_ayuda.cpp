// The user manual: the compiled collection opens, its pages are found by
// keyword, F1 opens the page of the window in use, and a missing manual is
// reported instead of ignored.
#include "Modal.h"

#include "analysis/PerfilRiesgoUnit.h"
#include "analysis/TornadoUnit.h"
#include "analysis/VariacionUnit.h"
#include "app/ArbolU.h"
#include "app/AyudaU.h"
#include "app/Ventanas.h"
#include "drawing/OpcionU.h"
#include "tree/RecuperacionU.h"
#include "variables/VarUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpLink>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kManual = QStringLiteral(NEMOR_MANUAL);

// Each test gets a cache of its own, where the window keeps its copy of the collection.
struct Ayuda : ::testing::Test {
    QTemporaryDir cache;
    Ayuda()
    {
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
        qputenv("NEMOR_AYUDA", kManual.toUtf8());
    }
    ~Ayuda() override
    {
        if (FormAyuda())
            delete FormAyuda();
        qunsetenv("NEMOR_AYUDA");
    }
};

QString Pagina(const QUrl& u)
{
    return u.fileName();
}

TEST_F(Ayuda, LaColeccionEncuentraCadaPaginaPorSuPalabra)
{
    TFormAyuda w(kManual);
    ASSERT_TRUE(w.Valido());
    const struct {
        const char* id;
        const char* pagina;
    } casos[] = {
        {"nemor.inicio", "index.html"},         {"ventana.principal", "ventana-principal.html"},
        {"ventana.variables", "variables.html"}, {"ventana.opciones", "opciones.html"},
        {"ventana.variacion", "variaciones.html"}, {"ventana.historico", "variaciones.html"},
        {"ventana.esquema", "esquema.html"},     {"ventana.editor", "editor.html"},
        {"ventana.previsualizar", "impresion.html"}, {"ventana.dato", "edicion.html"},
        {"ventana.nota", "edicion.html"},        {"formulas", "formulas.html"},
        {"bayes", "bayes.html"},                 {"nemor-cli", "nemor-cli.html"},
        {"ventana.perfil", "perfil-riesgo.html"}, {"ventana.tornado", "tornado.html"},
        {"riesgo", "riesgo.html"},               {"ventana.progresovariacion", "variaciones.html"},
        {"ventana.recuperacion", "ficheros.html"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(w.MuestraIdentificador(QString::fromLatin1(c.id)));
        EXPECT_EQ(Pagina(w.PaginaActual()), QString::fromLatin1(c.pagina));
        // The page is really there, not an empty document.
        EXPECT_GT(w.Visor->toPlainText().size(), 200) << w.PaginaActual().toString().toStdString();
    }
    EXPECT_FALSE(w.MuestraIdentificador(QStringLiteral("no.existe")));
    // One click on a chapter of the contents opens its page.
    QHelpContentModel* modelo = w.Motor()->contentModel();
    for (int i = 0; i < 200 && modelo->rowCount() == 0; ++i)
        Espera(10);
    const QModelIndex raiz = modelo->index(0, 0);
    ASSERT_TRUE(raiz.isValid());
    QHelpContentWidget* contenido = w.Motor()->contentWidget();
    contenido->expandAll();
    const QModelIndex bayesEnContenido = contenido->indexOf(QUrl(QStringLiteral("qthelp://es.nemor.manual/doc/html/bayes.html")));
    ASSERT_TRUE(bayesEnContenido.isValid());
    w.show();
    QTest::mouseClick(contenido->viewport(), Qt::LeftButton, {}, contenido->visualRect(bayesEnContenido).center());
    EXPECT_EQ(Pagina(w.PaginaActual()), QStringLiteral("bayes.html"));
    // The index finds pages by the words a reader types.
    const QList<QHelpLink> bayes = w.Motor()->documentsForKeyword(QStringLiteral("Bayes"));
    ASSERT_EQ(bayes.size(), 1);
    EXPECT_EQ(Pagina(bayes.first().url), QStringLiteral("bayes.html"));
    // Pictures load from the collection.
    w.MuestraIdentificador(QStringLiteral("ventana.principal"));
    EXPECT_FALSE(w.Motor()->fileData(QUrl(QStringLiteral("qthelp://es.nemor.manual/doc/html/imagenes/ventana-principal.png")))
                     .isEmpty());
}

// Every window a user meets has a page of its own in the manual: a new window
// needs its chapter (and its line in the table of app/AyudaU.cpp).
TEST_F(Ayuda, CadaVentanaTieneSuPagina)
{
    Programa programa;
    TFormAyuda w(kManual);
    ASSERT_TRUE(w.Valido());
    // Never shown as windows of their own: the progress note and the report holder.
    const QStringList internas = {QStringLiteral("TProgressForm"), QStringLiteral("TFormQR")};
    int vistas = 0;
    for (QWidget* v : QApplication::topLevelWidgets()) {
        const QString clase = QString::fromLatin1(v->metaObject()->className());
        if (v == &w || !clase.startsWith(QLatin1Char('T')) || clase == QLatin1String("Tapiz") || internas.contains(clase))
            continue;
        SCOPED_TRACE(clase.toStdString());
        ++vistas;
        const QString id = IdentificadorAyuda(v);
        EXPECT_TRUE(clase == QLatin1String("TArbol") || id != QLatin1String("ventana.principal"))
            << "no page of its own";
        EXPECT_TRUE(w.MuestraIdentificador(id)) << id.toStdString();
    }
    EXPECT_GE(vistas, 12);
    EXPECT_EQ(IdentificadorAyuda(FormVar->Memo1), QStringLiteral("ventana.variables"));
    EXPECT_EQ(IdentificadorAyuda(FormArbol), QStringLiteral("ventana.principal"));
    EXPECT_EQ(IdentificadorAyuda(FormPerfil->CheckBoxAlternativas), QStringLiteral("ventana.perfil"));
    EXPECT_EQ(IdentificadorAyuda(FormTornado->BotonCalcular), QStringLiteral("ventana.tornado"));
    // Made only while a sweep runs long, so not among the windows above.
    TFormProgresoVariacion progreso("x", FormArbol);
    EXPECT_EQ(IdentificadorAyuda(progreso.BDetener), QStringLiteral("ventana.progresovariacion"));
    // Made only at a start that finds recovery copies.
    TFormRecuperacion recuperacion(programa.Documento(), programa.Recuperacion().Copias(), {}, FormArbol);
    EXPECT_EQ(IdentificadorAyuda(recuperacion.BotonCerrar), QStringLiteral("ventana.recuperacion"));
}

TEST_F(Ayuda, F1AbreLaPaginaDeLaVentanaEnUso)
{
    Programa programa;
    FormArbol->show();
    FormVar->show();
    FormVar->activateWindow();
    FormVar->Memo1->setFocus();
    QTest::keyClick(FormVar->Memo1, Qt::Key_F1);
    ASSERT_NE(FormAyuda(), nullptr);
    EXPECT_TRUE(FormAyuda()->isVisible());
    EXPECT_EQ(Pagina(FormAyuda()->PaginaActual()), QStringLiteral("variables.html"));
    EXPECT_EQ(FormAyuda()->windowModality(), Qt::NonModal);

    // From the main window, its own page; "Manual de usuario" opens the start.
    QTest::keyClick(FormArbol, Qt::Key_F1);
    EXPECT_EQ(Pagina(FormAyuda()->PaginaActual()), QStringLiteral("ventana-principal.html"));
    FormArbol->AyudadeNEMOR1->trigger();
    EXPECT_EQ(Pagina(FormAyuda()->PaginaActual()), QStringLiteral("index.html"));
    EXPECT_EQ(FormArbol->AyudadeNEMOR1->shortcut(), QKeySequence(Qt::Key_F1));
    FormAyuda()->hide();

    // Over a modal dialog the manual must be usable, so it is modal too, until closed.
    bool visto = false;
    AlAbrirseModal([&](QWidget* dialogo) {
        QTest::keyClick(dialogo, Qt::Key_F1);
        visto = FormAyuda()->isVisible() && FormAyuda()->windowModality() == Qt::ApplicationModal &&
                Pagina(FormAyuda()->PaginaActual()) == QStringLiteral("opciones.html");
        FormAyuda()->close();
        static_cast<QDialog*>(dialogo)->reject();
    });
    FormArbol->Impresin1->trigger();
    EXPECT_TRUE(visto);
    EXPECT_EQ(FormAyuda()->windowModality(), Qt::NonModal);
}

TEST_F(Ayuda, SinManualLoDiceEnUnMensaje)
{
    Programa programa;
    for (const QString& ruta : {cache.path() + QStringLiteral("/no-esta.qhc"), cache.path() + QStringLiteral("/malo.qhc")}) {
        if (ruta.endsWith(QStringLiteral("malo.qhc"))) {
            QFile f(ruta);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("esto no es una colección de ayuda");
        }
        qputenv("NEMOR_AYUDA", ruta.toUtf8());
        QString texto;
        AlAbrirseModal([&](QWidget* w) {
            if (auto* caja = qobject_cast<QMessageBox*>(w)) {
                EXPECT_EQ(caja->objectName(), QStringLiteral("CajaSinManual"));
                texto = caja->text();
            }
            static_cast<QDialog*>(w)->accept();
        });
        FormArbol->AyudadeNEMOR1->trigger();
        EXPECT_TRUE(texto.contains(QStringLiteral("manual de usuario"))) << texto.toStdString();
        EXPECT_TRUE(!FormAyuda() || !FormAyuda()->isVisible());
    }
}

} // namespace
