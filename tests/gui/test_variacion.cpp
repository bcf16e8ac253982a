// The sweep from the main window: the set-up dialog, the run and the result window.
#include "analysis/GraficoHistoricoUnit.h"
#include "analysis/Rollback.h"
#include "analysis/VariacionUnit.h"
#include "app/ArbolU.h"
#include "app/DocumentoU.h"
#include "app/Ventanas.h"
#include "common/Decimal.h"
#include "common/EscrituraSegura.h"
#include "gui/Modal.h"
#include "support/ArbolCalculo.h"
#include "support/UsuarioGuion.h"
#include "variables/VarUnit.h"
#include "variables/Variables.h"

#include <QAction>
#include <QCategoryAxis>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QListView>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A chance root whose three branches pay 100, 200, 300 with probabilities P1, P2, P3.
void ArbolDeTres(Arbol& a)
{
    RaizDeTipo(a, NodoAzar);
    const uint16_t r1 = Rama(a, 0, NodoTerminal, 100);
    const uint16_t r2 = Rama(a, 0, NodoTerminal, 200);
    const uint16_t r3 = Rama(a, 0, NodoTerminal, 300);
    a.Variables = {"P1 = 0.5", "P2 = 0.3", "P3 = 0.2", "! probabilidades", "BAYES(X)"};
    a.Nodo(r1)->FormulaProbabilidad = "P1";
    a.Nodo(r2)->FormulaProbabilidad = "P2";
    a.Nodo(r3)->FormulaProbabilidad = "P3";
    CalculaVEM(a);
}

QStringList Items(const QComboBox* c)
{
    QStringList r;
    for (int i = 0; i < c->count(); ++i)
        r << c->itemText(i);
    return r;
}

QStringList Items(const QListWidget* l)
{
    QStringList r;
    for (int i = 0; i < l->count(); ++i)
        r << l->item(i)->text();
    return r;
}

TEST(Variaciones, DesdeElDialogoHastaLaTablaGrabada)
{
    SeparadorTemporal s('.');
    Programa programa;
    TArbol& v = *FormArbol;
    Arbol& a = v.arbol();
    UsuarioGuion u;
    a.usuario = &u;
    FormHistorico->PonUsuario(&u);
    ArbolDeTres(a);
    a.opciones.CheckBoxComprobarRojos = true;
    FormVar->MuestraVariables();
    const auto antes = a.Variables;
    const QString memoAntes = FormVar->Memo1->toPlainText();

    bool visto = false;
    AlAbrirseModal([&](QWidget* w) {
        auto* d = qobject_cast<TFormVariacion*>(w);
        ASSERT_EQ(d, FormVariacion);
        visto = true;
        EXPECT_EQ(d->height(), 190);
        EXPECT_FALSE(d->ListBox1->isVisible());
        // Sorted pick list without the comment and the Bayes line; the text starts empty.
        EXPECT_EQ(Items(d->ComboBox1), (QStringList{"P1 = 0.5", "P2 = 0.3", "P3 = 0.2"}));
        EXPECT_TRUE(d->ComboBox1->currentText().isEmpty());
        d->ComboBox1->setEditText(QStringLiteral("P1 = 0.5"));
        d->Incremento->setText(QStringLiteral("0.5"));
        d->BitBtn1->click();
    });
    v.Vaiaciones1->trigger();
    ASSERT_TRUE(visto);

    // The chart and the table, and the window shown.
    TFormHistorico& h = *FormHistorico;
    EXPECT_TRUE(h.isVisible());
    EXPECT_EQ(h.size(), QSize(600, 457));
    ASSERT_EQ(h.Series1->count(), 3);
    EXPECT_EQ(h.Series1->at(0), QPointF(0, 240));
    EXPECT_EQ(h.Series1->at(1), QPointF(0.5, 170));
    EXPECT_EQ(h.Series1->at(2), QPointF(1, 100));
    EXPECT_EQ(h.TextoTabla(), QStringLiteral("0\t240\n0.5\t170\n1\t100"));
    ASSERT_EQ(h.Memo1->model()->rowCount(), 3);
    EXPECT_EQ(h.Memo1->model()->index(1, 0).data().toString(), QStringLiteral("0.5\t170"));

    // The list as before, in the core and in its window; the check option back; the tree solved again.
    EXPECT_EQ(a.Variables, antes);
    EXPECT_EQ(FormVar->Memo1->toPlainText(), memoAntes);
    EXPECT_TRUE(a.opciones.CheckBoxComprobarRojos);
    EXPECT_DOUBLE_EQ(a.Raiz().Valor, 170);
    EXPECT_TRUE(u.llamadas.empty());

    // "&Grabar": exactly the chosen name, CRLF after every line.
    const std::string ruta = ::testing::TempDir() + "/tabla_gui";
    u.ficheros.push_back(ruta);
    h.BitBtn4->click();
    ASSERT_EQ(u.llamadas.size(), 1u);
    EXPECT_EQ(u.llamadas[0].tipo, "Guardar");
    EXPECT_EQ(u.llamadas[0].texto, "Fichero de texto (*.txt)|*.txt");
    std::string bytes;
    ASSERT_TRUE(LeeFicheroEntero(ruta, bytes));
    EXPECT_EQ(bytes, "0\t240\r\n0.5\t170\r\n1\t100\r\n");

    // "Co&piar" puts the table on the clipboard.
    QApplication::clipboard()->clear();
    h.BitBtn3->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("0\t240\n0.5\t170\n1\t100"));

    // The cross-hair read-outs follow the mouse inside the plot, and stay put outside it.
    h.show();
    QApplication::processEvents();
    const QRectF plot = h.Chart1->chart()->plotArea();
    const QPoint centro = h.Chart1->mapFromScene(plot.center());
    QTest::mouseMove(h.Chart1->viewport(), centro);
    QApplication::processEvents();
    EXPECT_FALSE(h.LF->text().isEmpty());
    EXPECT_FALSE(h.LV->text().isEmpty());
    EXPECT_GE(h.Chart1->Cruz().x(), 0);
    const QString lf = h.LF->text();
    h.DBChartHistoticoMouseMove(QPoint(1, 1));
    EXPECT_LT(h.Chart1->Cruz().x(), 0);
    EXPECT_EQ(h.LF->text(), lf);
    // Without "Cruz" nothing is drawn, but the read-outs still follow.
    h.CheckBox1->click();
    h.DBChartHistoticoMouseMove(h.Chart1->mapFromScene(plot.topLeft() + QPointF(5, 5)));
    EXPECT_LT(h.Chart1->Cruz().x(), 0);
    EXPECT_NE(h.LF->text(), lf);

    // Printing where no printer exists goes to a PDF file.
    QPrinter pdf;
    pdf.setOutputFormat(QPrinter::PdfFormat);
    const std::string rutaPdf = ::testing::TempDir() + "/tabla_gui.pdf";
    pdf.setOutputFileName(QString::fromStdString(rutaPdf));
    h.ImprimeTabla(pdf);
    ASSERT_TRUE(LeeFicheroEntero(rutaPdf, bytes));
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");

    const QByteArray carpeta = qgetenv("NEMOR_CAPTURAS");
    if (!carpeta.isEmpty()) {
        h.PageControl1->setCurrentIndex(0);
        EXPECT_TRUE(h.grab().save(QString::fromLocal8Bit(carpeta) + QStringLiteral("/ventana_variacion.png")));
    }
    a.usuario = &v.usuario();
}

// A long sweep shows its progress; "Detener" ends it with the points computed so
// far in the chart and the table, and everything else as after any sweep.
// Meanwhile no other command runs: the main window cannot even be closed.
TEST(Variaciones, DetenerUnaVariacionLarga)
{
    SeparadorTemporal s('.');
    Programa programa;
    TArbol& v = *FormArbol;
    Arbol& a = v.arbol();
    UsuarioGuion u;
    a.usuario = &u;
    ArbolDeTres(a);
    a.opciones.CheckBoxComprobarRojos = true;
    FormVar->MuestraVariables();
    const auto antes = a.Variables;
    const QString memoAntes = FormVar->Memo1->toPlainText();
    RetrasoProgresoMs = 0;

    bool detenida = false;
    AlAbrirseModal([&](QWidget* w) {
        auto* d = qobject_cast<TFormVariacion*>(w);
        ASSERT_EQ(d, FormVariacion);
        // Ten million points: far more than run before the click below.
        d->ComboBox1->setEditText(QStringLiteral("P1 = 0.5"));
        d->Desde->setText(QStringLiteral("0"));
        d->Hasta->setText(QStringLiteral("1"));
        d->Incremento->setText(QStringLiteral("0.0000001"));
        AlAbrirseModal([&](QWidget* w) {
            auto* p = qobject_cast<TFormProgresoVariacion*>(w);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->windowTitle(), QStringLiteral("Variación en curso"));
            EXPECT_EQ(p->ProgressLabel->text(), QStringLiteral("Calculando la variación de P1..."));
            EXPECT_TRUE(p->LPuntos->text().startsWith(QStringLiteral("Puntos calculados: ")));
            EXPECT_FALSE(v.close());
            EXPECT_FALSE(EjecutaVariacionesEnVentana(a, FormVariacion->Parametros(), *FormHistorico, nullptr, {}));
            p->BDetener->click();
            detenida = true;
        });
        d->BitBtn1->click();
    });
    v.Vaiaciones1->trigger();
    RetrasoProgresoMs = 500;
    ASSERT_TRUE(detenida);

    TFormHistorico& h = *FormHistorico;
    EXPECT_TRUE(h.isVisible());
    const size_t n = h.Puntos().size();
    EXPECT_GT(n, 0u);
    EXPECT_LT(n, 10000000u);
    EXPECT_EQ(h.Memo1->model()->rowCount(), static_cast<int>(n));
    EXPECT_EQ(h.Memo1->model()->index(0, 0).data().toString(), QStringLiteral("0\t240"));
    EXPECT_GT(h.Series1->count(), 0);
    EXPECT_EQ(a.Variables, antes);
    EXPECT_EQ(FormVar->Memo1->toPlainText(), memoAntes);
    EXPECT_TRUE(a.opciones.CheckBoxComprobarRojos);
    EXPECT_DOUBLE_EQ(a.Raiz().Valor, 170);
    EXPECT_TRUE(u.llamadas.empty());
    a.usuario = &v.usuario();
}

// The value marks where they fit, round ticks in any view, a full repaint on
// every change.
TEST(Variaciones, GraficoLegible)
{
    SeparadorTemporal s('.');
    TFormHistorico h;
    h.Limpia();
    for (int i = 0; i <= 100; ++i)
        h.AnyadePunto(-30 + 0.3 * i, 20 + (i > 58 ? (i - 58) * 0.3 : 0));
    h.Muestra();
    QApplication::processEvents();
    EXPECT_EQ(h.Chart1->viewportUpdateMode(), QGraphicsView::FullViewportUpdate);

    // Fitted: the data's range widened to round ticks.
    EXPECT_EQ(h.EjeX->min(), -30);
    EXPECT_EQ(h.EjeX->max(), 0);
    EXPECT_EQ(h.EjeY->min(), 20);
    // Why an axis's ticks are not round: "" when they are multiples of one step 1, 2 or 5 × 10^k.
    const auto redondas = [](QCategoryAxis* e) -> std::string {
        std::vector<double> v;
        for (const QString& t : e->categoriesLabels())
            v.push_back(t.toDouble());
        if (v.size() < 2)
            return "menos de dos marcas";
        const double paso = v[1] - v[0];
        const double mantisa = paso / std::pow(10.0, std::floor(std::log10(paso)));
        if (std::fabs(mantisa - 1) > 1e-9 && std::fabs(mantisa - 2) > 1e-9 && std::fabs(mantisa - 5) > 1e-9)
            return "paso " + std::to_string(paso);
        for (size_t i = 0; i < v.size(); ++i)
            if (std::fabs(v[i] / paso - std::round(v[i] / paso)) > 1e-6 || std::fabs(v[i] - v[0] - i * paso) > 1e-9 * paso * v.size())
                return e->categoriesLabels().join(' ').toStdString();
        return "";
    };
    EXPECT_GE(h.EjeX->categoriesLabels().size(), 4);
    EXPECT_EQ(redondas(h.EjeX), "");
    EXPECT_EQ(redondas(h.EjeY), "");

    // After zoom and pan the ticks are still round numbers.
    h.Chart1->chart()->zoomIn();
    h.Chart1->chart()->scroll(37, -11);
    QApplication::processEvents();
    EXPECT_NE(h.EjeX->min(), -30);
    EXPECT_EQ(redondas(h.EjeX), "");
    EXPECT_EQ(redondas(h.EjeY), "");

    // Marks only where they fit: a few of the 101, none touching another, each
    // beside its point; none with "Valores" unticked.
    h.AccionRestablecer->trigger();
    QApplication::processEvents();
    const auto marcas = h.MarcasValores();
    EXPECT_GE(marcas.size(), 4u);
    EXPECT_LE(marcas.size(), 25u);
    for (size_t i = 0; i < marcas.size(); ++i)
        for (size_t j = i + 1; j < marcas.size(); ++j)
            EXPECT_FALSE(marcas[i].Rect.intersects(marcas[j].Rect)) << marcas[i].Texto.toStdString();
    EXPECT_EQ(marcas.front().Texto, QStringLiteral("20"));
    h.CheckBoxValores->click();
    EXPECT_TRUE(h.MarcasValores().empty());
}

// The set controls: lists refilled at every showing, "Poner"/"Quitar" with the sum, edits kept.
TEST(Variaciones, DialogoDeConjunto)
{
    SeparadorTemporal s('.');
    TDocumento doc;
    Arbol& a = doc.arbol();
    ArbolDeTres(a);
    TFormVariacion d(doc);
    d.CheckBoxConjunto->click();
    EXPECT_EQ(d.height(), 372);
    d.Desde->setText(QStringLiteral("0,2"));
    d.show();
    EXPECT_TRUE(d.ListBox1->isVisible());
    EXPECT_EQ(Items(d.ListBox1), (QStringList{"P1 = 0.5", "P2 = 0.3", "P3 = 0.2"}));
    EXPECT_EQ(d.LSuma->text(), QStringLiteral("Suma = 0"));
    EXPECT_EQ(d.SBPone->toolTip(), QStringLiteral("Poner"));
    EXPECT_EQ(d.SBQuita->toolTip(), QStringLiteral("Quitar"));
    struct Paso {
        bool poner;
        int fila;
        const char* suma;
    } pasos[] = {{true, 0, "Suma = 0.5"}, {true, 1, "Suma = 0.8"}, {true, 1, "Suma = 1.1"},
                 {false, 0, "Suma = 0.6"}, {true, 2, "Suma = 0.8"}};
    for (const Paso& p : pasos) {
        QListWidget* l = p.poner ? d.ListBox1 : d.ListBox2;
        l->setCurrentRow(p.fila);
        (p.poner ? d.SBPone : d.SBQuita)->click();
        EXPECT_EQ(d.LSuma->text(), QString::fromLatin1(p.suma));
    }
    EXPECT_EQ(Items(d.ListBox2), (QStringList{"P2 = 0.3", "P2 = 0.3", "P3 = 0.2"}));
    const ParametrosVariacion par = d.Parametros();
    EXPECT_TRUE(par.Conjunto);
    EXPECT_EQ(par.Desde, "0,2");
    EXPECT_EQ(par.LineasConjunto, (std::vector<std::string>{"P2 = 0.3", "P2 = 0.3", "P3 = 0.2"}));

    // Shown again: the lists start over, the edits and the check box keep their state.
    d.hide();
    a.Variables.push_back("A = 1");
    d.show();
    EXPECT_EQ(Items(d.ListBox1), (QStringList{"A = 1", "P1 = 0.5", "P2 = 0.3", "P3 = 0.2"}));
    EXPECT_EQ(d.ListBox2->count(), 0);
    EXPECT_EQ(d.LSuma->text(), QStringLiteral("Suma = 0"));
    EXPECT_EQ(d.Desde->text(), QStringLiteral("0,2"));
    EXPECT_TRUE(d.CheckBoxConjunto->isChecked());
    d.CheckBoxConjunto->click();
    EXPECT_EQ(d.height(), 190);
    EXPECT_FALSE(d.ListBox1->isVisible());
}

} // namespace
