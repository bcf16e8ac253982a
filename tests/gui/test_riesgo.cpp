// The risk windows from the main window's menus, on the samples.
#include "analysis/GraficoHistoricoUnit.h"
#include "analysis/PerfilRiesgoUnit.h"
#include "analysis/TornadoUnit.h"
#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "drawing/Tapiz.h"
#include "common/Decimal.h"
#include "common/Ini.h"
#include "drawing/OpcionU.h"
#include "gui/Modal.h"
#include "support/UsuarioGuion.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"

#include <QAction>
#include <QAreaSeries>
#include <QButtonGroup>
#include <QCategoryAxis>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGraphicsView>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#ifndef NEMOR_FUENTES
#error "NEMOR_FUENTES must name the source folder"
#endif

namespace {

const std::string kEjemplos = std::string(NEMOR_FUENTES) + "/examples/";

QStringList Pestanyas(const QTabWidget* t)
{
    QStringList r;
    for (int i = 0; i < t->count(); ++i)
        r << t->tabText(i);
    return r;
}

// How many pixels of the chart are near a colour: the chart is drawn, not just filled in.
int PixelesDeColor(QWidget* vista, const QColor& color)
{
    const QImage img = vista->grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += std::abs(c.red() - color.red()) + std::abs(c.green() - color.green()) +
                     std::abs(c.blue() - color.blue()) < 60;
        }
    return n;
}

// Right-clicks the node's shape and clicks the menu item, as a user does.
void EligeEnMenu(TArbol& v, uint16_t nodo, QAction* item)
{
    const TNodo& n = *v.arbol().Nodo(nodo);
    QTest::mouseClick(v.tapiz, Qt::RightButton, {},
                      QPoint(n.Figura.Left + n.Figura.Width / 2 + 8, n.Figura.Top + n.Figura.Height / 2));
    ASSERT_TRUE(v.PopupMenuTri->isVisible());
    ASSERT_TRUE(item->isVisible() && item->isEnabled());
    QTest::mouseClick(v.PopupMenuTri, Qt::LeftButton, {}, v.PopupMenuTri->actionGeometry(item).center());
    Espera(20);
}

TEST(PerfilRiesgo, DesdeElMenuYDesdeElNodo)
{
    SeparadorTemporal s('.');
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    Arbol& a = v.arbol();
    UsuarioGuion u;
    a.usuario = &u;
    LeerArbol(a, kEjemplos + "petroleo.nmr");
    a.Raiz().Valor = 0; // stale: the command solves the tree first

    v.PerfilRiesgo1->trigger();
    TFormPerfil& f = *FormPerfil;
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Perfil de riesgo"));
    EXPECT_EQ(Pestanyas(f.PageControl1), (QStringList{"Gráfico", "Valores"}));
    EXPECT_DOUBLE_EQ(a.Raiz().Valor, 22.50666);
    EXPECT_EQ(f.LabelNodo->text(), QStringLiteral("Nodo 0: ¿Prueba sísmica?"));
    // Four outcomes: four bars of four corners, and a step line rising at each.
    ASSERT_EQ(f.Barras.size(), 1u);
    ASSERT_EQ(f.Escalones.size(), 1u);
    EXPECT_EQ(f.Barras[0]->upperSeries()->count(), 16);
    EXPECT_EQ(f.Escalones[0]->count(), 10);
    EXPECT_DOUBLE_EQ(f.Escalones[0]->at(9).y(), 1.000035);
    EXPECT_EQ(f.TablaEstadisticas->item(0, 0)->text(), QStringLiteral("22.5067"));
    EXPECT_EQ(f.TablaEstadisticas->item(4, 0)->text(), QStringLiteral("0.610002"));
    EXPECT_TRUE(f.Memo1->toPlainText().startsWith(QStringLiteral("-80\t0.200002\t0.200002\n-10\t0.41\t0.610002\n")));
    QApplication::processEvents();
    EXPECT_GT(PixelesDeColor(f.Graficos()[0].Vista, f.Barras[0]->pen().color()), 100);

    // Both alternatives side by side, the chosen one named so.
    ASSERT_TRUE(f.CheckBoxAlternativas->isEnabled());
    f.CheckBoxAlternativas->click();
    ASSERT_EQ(f.Barras.size(), 2u);
    EXPECT_EQ(f.TablaEstadisticas->columnCount(), 2);
    EXPECT_EQ(f.TablaEstadisticas->horizontalHeaderItem(0)->text(), QStringLiteral("Rama 1: Sin prueba"));
    EXPECT_EQ(f.TablaEstadisticas->horizontalHeaderItem(1)->text(),
              QStringLiteral("Rama 2: Prueba sísmica (elegida)"));
    EXPECT_TRUE(f.Memo1->toPlainText().startsWith(QStringLiteral("rama 1\tSin prueba\n-70\t0.5\t0.5\n")));

    // From the node menu: the chance node of the test, which has no alternatives.
    EligeEnMenu(v, 7, v.PerfilRiesgo2);
    EXPECT_EQ(f.LabelNodo->text(), QStringLiteral("Nodo 7: Prueba sísmica"));
    EXPECT_FALSE(f.CheckBoxAlternativas->isEnabled());
    ASSERT_EQ(f.Barras.size(), 1u);
    EXPECT_EQ(f.TablaEstadisticas->item(0, 0)->text(), QStringLiteral("32.5067"));
    EXPECT_TRUE(u.llamadas.empty());
}

TEST(Tornado, DesdeElMenuConSuAranya)
{
    SeparadorTemporal s('.');
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    Arbol& a = v.arbol();
    UsuarioGuion u;
    a.usuario = &u;
    LeerArbol(a, kEjemplos + "lanzamiento.nmr");
    const auto antes = a.Variables;

    v.Tornado1->trigger();
    TFormTornado& t = *FormTornado;
    EXPECT_TRUE(t.isVisible());
    EXPECT_EQ(t.windowTitle(), QStringLiteral("Tornado"));
    EXPECT_EQ(Pestanyas(t.PageControl1), (QStringList{"Tornado", "Araña", "Valores"}));
    // Nine inputs, the largest swing on top, each bar about the base value.
    ASSERT_EQ(t.BarrasBajo.size(), 9u);
    ASSERT_EQ(t.BarrasAlto.size(), 9u);
    const QStringList nombres = t.EjeEntradas->categoriesLabels();
    ASSERT_EQ(nombres.size(), 9);
    EXPECT_EQ(nombres.back(), QStringLiteral("Precio"));
    EXPECT_EQ(nombres.front(), QStringLiteral("InversionNacional"));
    ASSERT_NE(t.LineaBase, nullptr);
    EXPECT_DOUBLE_EQ(t.LineaBase->at(0).x(), 112.5);
    EXPECT_DOUBLE_EQ(t.BarrasBajo[0]->upperSeries()->at(0).x(), 21.875);
    EXPECT_DOUBLE_EQ(t.BarrasBajo[0]->upperSeries()->at(1).x(), 112.5);
    EXPECT_TRUE(t.Memo1->toPlainText().startsWith(QStringLiteral("Precio\t22.5\t27.5\t21.875\t203.125\t181.25\t-\n")));
    QApplication::processEvents();
    EXPECT_GT(PixelesDeColor(t.Graficos()[0].Vista, t.BarrasAlto[0]->brush().color()), 100);
    // The spider: eleven points per input from -10 % to +10 %.
    ASSERT_EQ(t.SeriesArana.size(), 9u);
    EXPECT_EQ(t.SeriesArana[0]->count(), 11);
    EXPECT_EQ(t.SeriesArana[0]->at(0), QPointF(-10, 21.875));
    // The list and the tree as before.
    EXPECT_EQ(a.Variables, antes);
    EXPECT_DOUBLE_EQ(a.Raiz().Valor, 112.5);
    EXPECT_FALSE(t.LabelAviso->isVisible());

    // At 20 % a low price makes "No lanzar" the choice: marked on the axis and outlined.
    t.EditPorcentaje->setValue(20);
    t.BotonCalcular->click();
    EXPECT_EQ(t.EjeEntradas->categoriesLabels().back(), QStringLiteral("Precio *"));
    EXPECT_EQ(t.BarrasBajo[0]->pen().color(), QColor(200, 0, 0));
    EXPECT_NE(t.BarrasBajo[1]->pen().color(), QColor(200, 0, 0));
    EXPECT_EQ(t.SeriesArana[0]->at(0), QPointF(-20, 0));
    EXPECT_TRUE(u.llamadas.empty());
}

std::string Contenido(const std::string& ruta)
{
    std::ifstream f(ruta, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(Riesgo, PestanyaDeOpcionesYTituloDeLaVentana)
{
    SeparadorTemporal s('.');
    QFile::remove(QString::fromStdString(RutaIni()));
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    Arbol& a = v.arbol();
    UsuarioGuion u;
    a.usuario = &u;
    LeerArbol(a, kEjemplos + "inversion.nmr");

    bool visto = false;
    AlAbrirseModal([&](QWidget* w) {
        auto* o = qobject_cast<TOpciones*>(w);
        ASSERT_EQ(o, FormOpciones);
        visto = true;
        EXPECT_TRUE(Pestanyas(o->PageControl1).contains(QStringLiteral("Riesgo")));
        EXPECT_EQ(o->CriterioRiesgo->checkedId(), 0);
        EXPECT_EQ(o->CriterioRiesgo->button(1)->text(), QStringLiteral("Utilidad exponencial"));
        EXPECT_EQ(o->EToleranciaRiesgo->text(), QStringLiteral("1000"));
        EXPECT_FALSE(o->EToleranciaRiesgo->isEnabled());
        o->CriterioRiesgo->button(1)->click();
        EXPECT_TRUE(o->EToleranciaRiesgo->isEnabled());
        o->EToleranciaRiesgo->setText(QStringLiteral("500"));
        o->BitBtn4->click();
    });
    v.Impresin1->trigger();
    ASSERT_TRUE(visto);
    const std::string ini = Contenido(RutaIni());
    EXPECT_NE(ini.find("[Riesgo]"), std::string::npos);
    EXPECT_NE(ini.find("Criterio=1"), std::string::npos);
    EXPECT_NE(ini.find("Tolerancia=500"), std::string::npos);
    // The values shown are still the file's expected values.
    EXPECT_EQ(v.windowTitle(), QStringLiteral("NEMOR"));

    // Solved again: the bonds' certainty equivalent wins, and the caption says what the values are.
    v.TBCalcular->trigger();
    EXPECT_NEAR(a.Raiz().Valor, 578.335909511731, 1e-9);
    EXPECT_EQ(a.Raiz().EtiquetaValor.Caption, "578.3");
    EXPECT_EQ(v.windowTitle(), QStringLiteral("NEMOR - equivalentes ciertos (tolerancia al riesgo 500)"));
    v.PerfilRiesgo1->trigger();
    EXPECT_EQ(FormPerfil->TablaEstadisticas->rowCount(), 6);
    EXPECT_EQ(FormPerfil->TablaEstadisticas->verticalHeaderItem(5)->text(), QStringLiteral("Equivalente cierto"));
    EXPECT_EQ(FormPerfil->TablaEstadisticas->item(5, 0)->text(), QStringLiteral("578.336"));
    v.Valoresacero1->trigger();
    EXPECT_EQ(v.windowTitle(), QStringLiteral("NEMOR"));
    EXPECT_TRUE(u.llamadas.empty());
}

} // namespace
