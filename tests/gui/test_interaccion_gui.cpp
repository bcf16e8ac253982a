#include "Modal.h"

#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "common/Ini.h"
#include "drawing/ConversionQt.h"
#include "drawing/FormatoEtiqueta.h"
#include "drawing/OpcionU.h"
#include "drawing/Tapiz.h"
#include "drawing/TreeUnit.h"
#include "tree/NotaU.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

// A point inside every shape, clear of the number label.
QPoint Centro(const TNodo& n) { return {n.Figura.Left + n.Figura.Width / 2 + 8, n.Figura.Top + n.Figura.Height / 2}; }

uint16_t Hijo(Arbol& a, uint16_t padre, uint8_t tipo, int x, int y, const std::string& texto = " ")
{
    const uint16_t n = a.NuevoHijo(padre, tipo, x, y);
    a.PonerTexto(n, texto);
    return n;
}

QImage Captura(TArbol& v)
{
    QImage img(v.tapiz->size(), QImage::Format_RGB32);
    v.tapiz->render(&img);
    return img;
}

// Runs f on the next modal window of class T, from inside its own event loop.
template <typename T>
void AlAbrirse(std::function<void(T*)> f)
{
    auto sondeo = std::make_shared<std::function<void()>>();
    auto vueltas = std::make_shared<int>(0);
    *sondeo = [f, sondeo, vueltas]() {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            f(w);
            *sondeo = nullptr;
            return;
        }
        if (++*vueltas > 500) {
            *sondeo = nullptr;
            return;
        }
        QTimer::singleShot(10, *sondeo);
    };
    QTimer::singleShot(0, *sondeo);
}

std::string Fichero(const std::string& ruta)
{
    std::ifstream f(ruta, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Each test starts from no settings file: the defaults.
void SinAjustes() { QFile::remove(QString::fromStdString(RutaIni())); }

} // namespace

TEST(Arrastre, ConElRatonMueveElNodoYSusHijos)
{
    struct Caso {
        bool modo1;      // TB1 down, else TB2
        bool mueveHijos; // TBMueveHijos down
        int dx, dy;
    };
    const Caso casos[] = {
        {true, true, 40, 30},
        {false, true, 40, 30},
        {true, false, -25, 50},
        {false, false, 0, 0},
    };
    SinAjustes();
    for (const Caso& c : casos) {
        SCOPED_TRACE(testing::Message() << c.modo1 << c.mueveHijos << " " << c.dx << "," << c.dy);
        Programa programa;
        TArbol& v = *FormArbol;
        v.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
        Arbol& a = v.arbol();
        a.Raiz().Tipo = NodoDecision;
        const uint16_t n = Hijo(a, 0, NodoDecision, 400, 300);
        const uint16_t h = Hijo(a, n, NodoTerminal, 520, 280);
        const uint16_t otro = Hijo(a, 0, NodoTerminal, 400, 420);
        a.Nodo(otro)->Seleccionado = true;
        (c.modo1 ? v.TB1 : v.TB2)->setChecked(true);
        EXPECT_NE(v.TB1->isChecked(), v.TB2->isChecked());
        v.TBMueveHijos->setChecked(c.mueveHijos);
        // The view is scrolled: the drop must leave it where it was.
        v.ScrollBox1->horizontalScrollBar()->setValue(150);
        v.ScrollBox1->verticalScrollBar()->setValue(120);
        const uint16_t rama = a.Nodo(n)->LongitudRama;

        const QPoint inicio = Centro(*a.Nodo(n));
        QTest::mousePress(v.tapiz, Qt::LeftButton, {}, inicio);
        EXPECT_TRUE(v.Arrastre().Arrastrando);
        EXPECT_FALSE(a.Nodo(otro)->Seleccionado); // a plain press clears the selection
        EXPECT_EQ(v.tapiz->Fantasma(), QRect(400, 300, 30, 30));
        QTest::mouseMove(v.tapiz, inicio + QPoint(c.dx / 2, c.dy / 2));
        QTest::mouseMove(v.tapiz, inicio + QPoint(c.dx, c.dy));
        // Only the dotted outline follows the mouse; the node waits for the drop.
        EXPECT_EQ(v.tapiz->Fantasma(), QRect(400 + c.dx, 300 + c.dy, 30, 30));
        EXPECT_EQ(a.Nodo(n)->Figura.Left, 400);
        const QImage durante = Captura(v);
        bool punteado = false; // the ghost's dotted top edge
        for (int x = 412; x < 418; ++x)
            punteado = punteado || durante.pixelColor(x + c.dx, 300 + c.dy) == QColor(Qt::black);
        EXPECT_TRUE(punteado);
        QTest::mouseRelease(v.tapiz, Qt::LeftButton, {}, inicio + QPoint(c.dx, c.dy));

        EXPECT_FALSE(v.Arrastre().Arrastrando);
        EXPECT_FALSE(v.tapiz->Fantasma().isValid());
        EXPECT_EQ(a.Nodo(n)->Figura.Left, 400 + c.dx);
        EXPECT_EQ(a.Nodo(n)->Figura.Top, 300 + c.dy);
        EXPECT_EQ(a.Nodo(n)->LongitudRama, c.modo1 ? rama + c.dx : rama);
        const int hx = c.mueveHijos ? c.dx : 0, hy = c.mueveHijos ? c.dy : 0;
        EXPECT_EQ(a.Nodo(h)->Figura.Left, 520 + hx);
        EXPECT_EQ(a.Nodo(h)->Figura.Top, 280 + hy);
        EXPECT_EQ(a.Nodo(otro)->Figura.Left, 400);
        EXPECT_EQ(v.ScrollBox1->horizontalScrollBar()->value(), 150);
        EXPECT_EQ(v.ScrollBox1->verticalScrollBar()->value(), 120);
        // And the drawing shows the node in its new place.
        const QImage despues = Captura(v);
        EXPECT_EQ(despues.pixelColor(Centro(*a.Nodo(n))), AQColor(a.ColorDecision));
    }
}

TEST(Arrastre, SoloUnaSueltaIzquierdaSinMayusculasDejaElNodo)
{
    SinAjustes();
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    Arbol& a = v.arbol();
    const uint16_t n = Hijo(a, 0, NodoDecision, 300, 300);
    const uint16_t m = Hijo(a, 0, NodoAzar, 300, 400);
    const QPoint inicio = Centro(*a.Nodo(n));
    QTest::mousePress(v.tapiz, Qt::LeftButton, {}, inicio);
    QTest::mouseMove(v.tapiz, inicio + QPoint(60, 10));
    QTest::mouseRelease(v.tapiz, Qt::LeftButton, Qt::ShiftModifier, inicio + QPoint(60, 10));
    // Still pending: the node has not moved and the outline stays.
    EXPECT_TRUE(v.Arrastre().Arrastrando);
    EXPECT_EQ(a.Nodo(n)->Figura.Left, 300);
    EXPECT_EQ(v.tapiz->Fantasma(), QRect(360, 310, 30, 30));
    // A plain left release over another figure drops the pending node where its outline is.
    v.FiguraMouseUp(m, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(v.Arrastre().Arrastrando);
    EXPECT_EQ(a.Nodo(n)->Figura.Left, 360);
    EXPECT_EQ(a.Nodo(n)->Figura.Top, 310);
    EXPECT_EQ(a.Nodo(m)->Figura.Left, 300);
}

TEST(Arrastre, UnArbolNuevoOlvidaElArrastrePendiente)
{
    SinAjustes();
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    Arbol& a = v.arbol();
    const uint16_t n = Hijo(a, 0, NodoDecision, 300, 300);
    const QPoint inicio = Centro(*a.Nodo(n));
    QTest::mousePress(v.tapiz, Qt::LeftButton, {}, inicio);
    QTest::mouseMove(v.tapiz, inicio + QPoint(60, 10));
    QTest::mouseRelease(v.tapiz, Qt::LeftButton, Qt::ShiftModifier, inicio + QPoint(60, 10));
    ASSERT_TRUE(v.Arrastre().Arrastrando);
    // "&Nuevo" asks whether to save; "No" starts the new tree, where number 1 is another node.
    AlAbrirseModal([](QWidget* w) {
        auto* caja = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(caja, nullptr);
        caja->button(QMessageBox::No)->click();
    });
    v.FileNew();
    EXPECT_FALSE(v.Arrastre().Arrastrando);
    EXPECT_TRUE(v.tapiz->Fantasma().isNull());
    const uint16_t nuevo = Hijo(a, 0, NodoAzar, 500, 100);
    ASSERT_EQ(nuevo, n);
    v.FiguraMouseUp(nuevo, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(a.Nodo(nuevo)->Figura.Left, 500);
    EXPECT_EQ(a.Nodo(nuevo)->Figura.Top, 100);
}

TEST(Seleccion, MayusculasPlateaYAlinear)
{
    SinAjustes();
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    Arbol& a = v.arbol();
    a.Raiz().Tipo = NodoDecision;
    const uint16_t n1 = Hijo(a, 0, NodoDecision, 100, 200);
    const uint16_t n2 = Hijo(a, 0, NodoAzar, 110, 300);
    const uint16_t n3 = Hijo(a, 0, NodoTerminal, 121, 400);
    v.TB1->setChecked(true);
    const uint16_t ramas[] = {a.Nodo(n1)->LongitudRama, a.Nodo(n2)->LongitudRama, a.Nodo(n3)->LongitudRama};

    for (uint16_t k : {n1, n2, n3})
        QTest::mouseClick(v.tapiz, Qt::LeftButton, Qt::ShiftModifier, Centro(*a.Nodo(k)));
    QTest::mouseClick(v.tapiz, Qt::LeftButton, Qt::ShiftModifier, Centro(a.Raiz()));
    EXPECT_FALSE(v.Arrastre().Arrastrando);
    EXPECT_FALSE(a.Raiz().Seleccionado);
    const QImage img = Captura(v);
    for (uint16_t k : {n1, n2, n3}) {
        EXPECT_TRUE(a.Nodo(k)->Seleccionado);
        EXPECT_EQ(img.pixelColor(Centro(*a.Nodo(k))), QColor(192, 192, 192)) << k;
    }

    // A press on the bare surface clears the selection; select again and line up.
    QTest::mouseClick(v.tapiz, Qt::LeftButton, {}, QPoint(700, 100));
    EXPECT_FALSE(a.Nodo(n2)->Seleccionado);
    v.TBAlinearVertical->trigger(); // nothing selected: nothing moves
    EXPECT_EQ(a.Nodo(n3)->Figura.Left, 121);
    for (uint16_t k : {n1, n2, n3})
        QTest::mouseClick(v.tapiz, Qt::LeftButton, Qt::ShiftModifier, Centro(*a.Nodo(k)));
    v.TBAlinearVertical->trigger();
    const int32_t lefts[] = {100, 110, 121};
    int i = 0;
    for (uint16_t k : {n1, n2, n3}) {
        EXPECT_EQ(a.Nodo(k)->Figura.Left, 110);
        EXPECT_EQ(a.Nodo(k)->LongitudRama, ramas[i] + 110 - lefts[i]);
        EXPECT_FALSE(a.Nodo(k)->Seleccionado);
        ++i;
    }
    for (uint16_t k : {n1, n3})
        QTest::mouseClick(v.tapiz, Qt::LeftButton, Qt::ShiftModifier, Centro(*a.Nodo(k)));
    v.TBAlinearHorizontal->trigger();
    EXPECT_EQ(a.Nodo(n1)->Figura.Top, 300);
    EXPECT_EQ(a.Nodo(n3)->Figura.Top, 300);
    EXPECT_EQ(a.Nodo(n2)->Figura.Top, 300);
}

TEST(Zoom, BotonesYMenu)
{
    SinAjustes();
    Programa programa;
    TArbol& v = *FormArbol;
    Arbol& a = v.arbol();
    const uint16_t n = Hijo(a, 0, NodoDecision, 300, 200);
    struct Paso {
        QAction* orden;
        double factor;
        int32_t nodo, letra, left;
    };
    const Paso pasos[] = {
        {v.TBMas, 1.1111111111111112, 33, 8, 333},
        {v.Disminuir1, 1.0, 30, 8, 300},
        {v.Aumentar1, 1.1111111111111112, 33, 8, 333},
        {v.TBMas, 1.1111111111111112 * 1.1111111111111112, 37, 9, 370},
        {v.Tamaooriginal1, 1.0, 30, 8, 300},
        {v.TBMenos, 0.9, 27, 7, 270},
        {v.ToolButton3, 1.0, 30, 8, 300},
    };
    for (const Paso& p : pasos) {
        SCOPED_TRACE(p.orden->objectName().toStdString());
        p.orden->trigger();
        EXPECT_EQ(a.FactorZoom, p.factor);
        EXPECT_EQ(a.TamanyoNodo, p.nodo);
        EXPECT_EQ(a.TamanyoLetra, p.letra);
        EXPECT_EQ(a.Nodo(n)->Figura.Left, p.left);
        EXPECT_EQ(a.Nodo(n)->Figura.Width, p.nodo);
        EXPECT_EQ(a.Nodo(n)->EtiquetaValor.Tamanyo, p.letra);
    }
}

TEST(Esquema, UnArbolNuevoRehaceElEsquemaAbierto)
{
    SinAjustes();
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    Arbol& a = v.arbol();
    Hijo(a, 0, NodoDecision, 200, 200, "Vieja");
    v.TBTTree->trigger();
    ASSERT_TRUE(TreeAD->isVisible());
    TreeAD->SpeedButton1->click();
    ASSERT_EQ(TreeAD->TreeG1->topLevelItem(0)->childCount(), 1);
    AlAbrirseModal([](QWidget* w) {
        auto* caja = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(caja, nullptr);
        caja->button(QMessageBox::No)->click();
    });
    v.FileNew();
    // The old tree's items are gone: none can rename a new node that reuses number 1.
    EXPECT_EQ(TreeAD->TreeG1->topLevelItem(0)->childCount(), 0);
}

TEST(Esquema, ListaElArbolYRenombraEnElDibujo)
{
    SinAjustes();
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    Arbol& a = v.arbol();
    ASSERT_NE(TreeAD, nullptr);

    // A new tree: only "Nodo Inicial", with the decision icon's kind, closed.
    v.TBTTree->trigger();
    ASSERT_TRUE(TreeAD->isVisible());
    EXPECT_EQ(TreeAD->size(), QSize(370, 371));
    ASSERT_EQ(TreeAD->TreeG1->topLevelItemCount(), 1);
    QTreeWidgetItem* top = TreeAD->TreeG1->topLevelItem(0);
    EXPECT_EQ(top->text(0), QStringLiteral("Nodo Inicial"));
    EXPECT_EQ(TTreeAD::TipoDe(top), NodoDecision);
    EXPECT_EQ(top->childCount(), 0);
    TreeAD->SpeedButton3->click();
    EXPECT_FALSE(TreeAD->isVisible());

    a.Raiz().Tipo = NodoAzar;
    const uint16_t vender = Hijo(a, 0, NodoTerminal, 200, 100, "Vender");
    const uint16_t fabricar = Hijo(a, 0, NodoAzar, 200, 300, "Fabricar");
    const uint16_t exito = Hijo(a, fabricar, NodoTerminal, 320, 260, "Éxito");
    const uint16_t otro = Hijo(a, fabricar, NodoTerminal, 320, 340, "Éxito");
    const uint16_t sinTexto = Hijo(a, 0, NodoDecision, 200, 500);
    v.TBTTree->trigger();
    top = TreeAD->TreeG1->topLevelItem(0);
    EXPECT_FALSE(top->isExpanded());
    EXPECT_TRUE(TreeAD->SpeedButton1->isEnabled());
    EXPECT_FALSE(TreeAD->SpeedButton2->isEnabled());
    struct Fila {
        QString caption;
        uint16_t nodo;
        uint8_t tipo;
        int nivel;
    };
    std::vector<Fila> filas;
    std::function<void(QTreeWidgetItem*, int)> recorre = [&](QTreeWidgetItem* it, int nivel) {
        filas.push_back({it->text(0), TTreeAD::NodoDe(it), TTreeAD::TipoDe(it), nivel});
        for (int i = 0; i < it->childCount(); ++i)
            recorre(it->child(i), nivel + 1);
    };
    recorre(top, 0);
    const std::vector<std::tuple<QString, uint16_t, uint8_t, int>> esperado = {
        {QStringLiteral("Nodo Inicial"), 0, NodoDecision, 0}, {QStringLiteral("Vender"), vender, NodoTerminal, 1},
        {QStringLiteral("Fabricar"), fabricar, NodoAzar, 1},  {QStringLiteral("Éxito"), exito, NodoTerminal, 2},
        {QStringLiteral("Éxito"), otro, NodoTerminal, 2},     {QStringLiteral(" "), sinTexto, NodoDecision, 1},
    };
    ASSERT_EQ(filas.size(), esperado.size());
    for (size_t i = 0; i < filas.size(); ++i) {
        EXPECT_EQ(filas[i].caption, std::get<0>(esperado[i])) << i;
        EXPECT_EQ(filas[i].nodo, std::get<1>(esperado[i])) << i;
        EXPECT_EQ(filas[i].tipo, std::get<2>(esperado[i])) << i;
        EXPECT_EQ(filas[i].nivel, std::get<3>(esperado[i])) << i;
    }

    TreeAD->SpeedButton1->click();
    EXPECT_TRUE(top->isExpanded());
    EXPECT_TRUE(top->child(1)->isExpanded());
    EXPECT_FALSE(TreeAD->SpeedButton1->isEnabled());
    EXPECT_TRUE(TreeAD->SpeedButton2->isEnabled());
    TreeAD->SpeedButton2->click();
    EXPECT_FALSE(top->isExpanded());
    EXPECT_TRUE(TreeAD->SpeedButton1->isEnabled());
    EXPECT_FALSE(TreeAD->SpeedButton2->isEnabled());
    TreeAD->SpeedButton1->click();

    // Renaming in place, as the user does it: the node and the drawing take the new text.
    const int anchoAntes = v.tapiz->RectsEtiquetas(otro)[ETexto].width();
    QTreeWidgetItem* item = top->child(1)->child(1);
    TreeAD->TreeG1->setCurrentItem(item);
    TreeAD->TreeG1->editItem(item);
    auto* editor = TreeAD->TreeG1->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Éxito rotundo en ventas"));
    QTest::keyClick(editor, Qt::Key_Return);
    Espera(20);
    EXPECT_EQ(a.Nodo(otro)->Texto, "Éxito rotundo en ventas");
    EXPECT_EQ(a.Nodo(otro)->EtiquetaTexto.Caption, "Éxito rotundo en ventas");
    EXPECT_EQ(a.Nodo(exito)->Texto, "Éxito"); // the namesake keeps its text
    const QRect etiqueta = v.tapiz->RectsEtiquetas(otro)[ETexto];
    EXPECT_GT(etiqueta.width(), anchoAntes);
    const QImage img = Captura(v);
    bool escrito = false;
    for (int y = etiqueta.top(); y <= etiqueta.bottom(); ++y)
        for (int x = etiqueta.right() - 10; x <= etiqueta.right(); ++x)
            escrito = escrito || qGray(img.pixel(x, y)) < 128;
    EXPECT_TRUE(escrito);

    // An empty caption gives the node an empty text; the top item renames the root.
    top->child(0)->setText(0, QString());
    EXPECT_EQ(a.Nodo(vender)->Texto, "");
    top->setText(0, QStringLiteral("Raíz"));
    EXPECT_EQ(a.Raiz().Texto, "Raíz");

    // While open, the outline is a snapshot; the next showing rebuilds it.
    Hijo(a, vender, NodoTerminal, 300, 80, "Nuevo");
    EXPECT_EQ(top->child(0)->childCount(), 0);
    TreeAD->hide();
    v.TBTTree->trigger();
    top = TreeAD->TreeG1->topLevelItem(0);
    EXPECT_EQ(top->text(0), QStringLiteral("Nodo Inicial"));
    EXPECT_EQ(top->child(0)->childCount(), 1);
    EXPECT_EQ(top->child(0)->child(0)->text(0), QStringLiteral("Nuevo"));
}

TEST(Opciones, DialogoControlesYValoresPorDefecto)
{
    SinAjustes();
    Programa programa;
    TOpciones& o = *FormOpciones;
    EXPECT_GE(o.width(), 427);
    EXPECT_GE(o.height(), 216);
    QStringList pestanyas;
    for (int i = 0; i < o.PageControl1->count(); ++i)
        pestanyas << o.PageControl1->tabText(i);
    EXPECT_EQ(pestanyas, (QStringList{"Colores", "Impresion", "Identificadores", "Precisión", "Fuente", "Dimensiones",
                                      "Varios", "Riesgo"}));
    EXPECT_EQ(o.BitBtn4->text(), QStringLiteral("&Aceptar"));
    EXPECT_EQ(o.BitBtn1->text(), QStringLiteral("&Cancelar"));
    EXPECT_TRUE(o.BitBtn4->isDefault());
    EXPECT_EQ(o.BCuaCol->toolTip(), QStringLiteral("Cambiar color"));
    EXPECT_EQ(o.BLinMas->toolTip(), QStringLiteral("Aumentar ancho"));
    EXPECT_EQ(o.BLinMenos->toolTip(), QStringLiteral("Reducir ancho"));
    EXPECT_EQ(o.Escala->checkedId(), 0);
    EXPECT_EQ(o.Escala->button(1)->text(), QStringLiteral("Ajustar a página"));
    EXPECT_TRUE(o.SelArchivo->isChecked());
    EXPECT_TRUE(o.SelFecha->isChecked());
    EXPECT_EQ(o.EditPrecisionSumatorio->text().toStdString(), FormatoEtiqueta(0.001, 15, 0));
    EXPECT_EQ(o.EDigitosEtiquetas->text(), QStringLiteral("4"));
    EXPECT_EQ(o.EPrecisionEtiquetas->text(), QStringLiteral("4"));
    EXPECT_EQ(o.EPrecisionBayes->text(), QStringLiteral("4"));
    EXPECT_EQ(o.FontComboBox1->currentText(), QStringLiteral("Arial"));
    EXPECT_EQ(o.LabelMayusculas->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(o.AnchoTapiz->value(), 3000);
    EXPECT_EQ(o.AnchoTapiz->singleStep(), 100);
    EXPECT_EQ(o.AltoTapiz->value(), 3000);
    EXPECT_EQ(o.TamanyoFormas->value(), 30);
    EXPECT_EQ(o.TamanyoLetras->value(), 8);
    EXPECT_TRUE(o.CheckBoxListaVarOrdenada->isChecked());
    EXPECT_FALSE(o.CheckBoxVersion->isChecked());
    EXPECT_EQ(o.CheckBoxVersion->text(), QStringLiteral("Leer ficheros de version 1.41"));
    EXPECT_TRUE(o.CheckBoxArbolVisibleVariaciones->isChecked());
    EXPECT_TRUE(o.CheckBoxComprobarRojos->isChecked());
    EXPECT_FALSE(o.CheckBoxNumNodosVisibles->isChecked());
    EXPECT_EQ(FormArbol->tapiz->size(), QSize(3000, 3000));

    // Line width: "-" never goes below 1.
    Arbol& a = FormArbol->arbol();
    o.BLinMenos->click();
    EXPECT_EQ(a.GrosorElegido, 1);
    o.BLinMenos->click();
    EXPECT_EQ(a.GrosorElegido, 1);
    o.BLinMas->click();
    o.BLinMas->click();
    EXPECT_EQ(a.GrosorElegido, 3);

    // The menu item opens it modally.
    bool modal = false;
    AlAbrirse<TOpciones>([&](TOpciones* d) {
        modal = d == FormOpciones;
        d->BitBtn1->click();
    });
    FormArbol->Impresin1->trigger();
    EXPECT_TRUE(modal);
    EXPECT_EQ(a.GrosorElegido, 2); // "&Cancelar" brought back the stored width
}

// Every tab is in sight and can be clicked: no scroll arrows hide some of
// them, also when another tab joins the eight.
TEST(Opciones, TodasLasPestanyasALaVista)
{
    SinAjustes();
    Programa programa;
    TOpciones& o = *FormOpciones;
    for (int pestanyas : {8, 9}) {
        SCOPED_TRACE(pestanyas);
        if (o.PageControl1->count() < pestanyas)
            o.PageControl1->addTab(new QWidget, QStringLiteral("Otra"));
        ASSERT_EQ(o.PageControl1->count(), pestanyas);
        o.show();
        QTabBar* barra = o.PageControl1->tabBar();
        for (int i = 0; i < barra->count(); ++i) {
            const QRect r = barra->tabRect(i);
            EXPECT_TRUE(barra->rect().contains(r)) << barra->tabText(i).toStdString();
            EXPECT_TRUE(o.rect().contains(QRect(barra->mapTo(&o, r.topLeft()), r.size())))
                << barra->tabText(i).toStdString();
            // The whole caption fits: nothing is cut short with "...".
            EXPECT_GE(r.width(), barra->fontMetrics().horizontalAdvance(barra->tabText(i)));
        }
        for (QToolButton* flecha : barra->findChildren<QToolButton*>())
            EXPECT_FALSE(flecha->isVisible());
        EXPECT_GE(o.width(), 427);
        EXPECT_GE(o.height(), 216);
        o.BitBtn1->click();
    }
}

TEST(Opciones, AceptarCancelarYCerrar)
{
    enum Salida { Aceptar, Cancelar, Marco, Escape };
    struct Caso {
        Salida salida;
        bool colorQueda;  // the new square colour stays in the drawing
        bool guardado;    // and is in the settings file
    };
    const Caso casos[] = {
        {Aceptar, true, true},
        {Cancelar, false, false},
        {Marco, true, false},
        {Escape, false, false},
    };
    const Color nuevo = RGB(10, 20, 200);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.salida);
        SinAjustes();
        Programa programa;
        TArbol& v = *FormArbol;
        v.show();
        Arbol& a = v.arbol();
        a.Raiz().Tipo = NodoDecision;
        TOpciones& o = *FormOpciones;
        o.show();
        // The colour is in force in the drawing before the dialog is left.
        AlAbrirse<QColorDialog>([&](QColorDialog* d) {
            d->setCurrentColor(AQColor(nuevo));
            d->accept();
        });
        o.BCuaCol->click();
        EXPECT_EQ(a.ColorDecision, nuevo);
        EXPECT_EQ(Captura(v).pixelColor(Centro(a.Raiz())), AQColor(nuevo));
        o.SelArchivo->setChecked(false);
        o.CheckBoxComprobarRojos->setChecked(false);

        switch (c.salida) {
        case Aceptar: o.BitBtn4->click(); break;
        case Cancelar: o.BitBtn1->click(); break;
        case Marco: o.close(); break;
        case Escape: QTest::keyClick(&o, Qt::Key_Escape); break;
        }
        EXPECT_FALSE(o.isVisible());
        EXPECT_EQ(a.ColorDecision, c.colorQueda ? nuevo : RGB(255, 255, 130));
        EXPECT_EQ(Captura(v).pixelColor(Centro(a.Raiz())), AQColor(a.ColorDecision));
        // The file-name label follows its box as the dialog closes.
        EXPECT_EQ(a.Archivo.Visible, !c.colorQueda);
        EXPECT_EQ(a.opciones.CheckBoxComprobarRojos, !c.colorQueda);

        const std::string ini = Fichero(RutaIni());
        EXPECT_EQ(ini.find("Cuadro=" + std::to_string(nuevo)) != std::string::npos, c.guardado);
        if (c.salida == Aceptar) {
            for (const char* clave :
                 {"[Impresion]", "Escala=0", "[Color]", "Cuadro=", "Circulo=8978312", "Triangulo=16749459",
                  "Linea=255", "[Identificadores]", "Archivo=0", "Fecha=1", "[Precision]", "Sumatorio=",
                  "DigitosEtiquetas=4", "PrecisionEtiquetas=4", "PrecisionBayes=4", "[Fuente]", "Nombre=Arial",
                  "[Varios]", "ListaOrdenada=1", "LeerFich10=0", "ArbolVisibleVariaciones=1", "ComprobarSumas=0",
                  "NumNodosVisibles=0", "[Dimensiones]", "AnchoTapiz=3000", "AltoTapiz=3000", "TamanyoFormas=30",
                  "TamanyoLetras=8", "AnchoLinea=2"})
                EXPECT_NE(ini.find(clave), std::string::npos) << clave;
        }
    }
}

TEST(Opciones, LosCambiosSeVenAlMomentoYSobrevivenAlReinicio)
{
    SinAjustes();
    {
        Programa programa;
        TArbol& v = *FormArbol;
        v.show();
        Arbol& a = v.arbol();
        const uint16_t n = Hijo(a, 0, NodoDecision, 300, 200, "Lanzar");
        a.Nodo(n)->Ganancia = 123.456;
        TOpciones& o = *FormOpciones;
        o.show();
        // Node numbers appear as soon as the box is checked.
        EXPECT_TRUE(v.tapiz->RectsEtiquetas(n)[ENumero].isNull());
        o.CheckBoxNumNodosVisibles->setChecked(true);
        EXPECT_FALSE(v.tapiz->RectsEtiquetas(n)[ENumero].isNull());
        o.EDigitosEtiquetas->setText(QStringLiteral("2"));
        o.TamanyoFormas->setValue(40);
        o.TamanyoLetras->setValue(11);
        o.AnchoTapiz->setValue(2000);
        o.FontComboBox1->setCurrentIndex(o.FontComboBox1->count() - 1);
        const std::string fuente = o.FontComboBox1->currentText().toStdString();
        EXPECT_EQ(o.LabelCifras->font().family().toStdString(), fuente);
        o.BitBtn4->click();
        EXPECT_EQ(a.TamanyoNodo, 40);
        EXPECT_EQ(a.Nodo(n)->Figura.Width, 40);
        EXPECT_EQ(a.Nodo(n)->EtiquetaGanancia.Tamanyo, 11);
        EXPECT_EQ(a.Nodo(n)->EtiquetaGanancia.Fuente, fuente);
        EXPECT_EQ(a.Nodo(n)->EtiquetaGanancia.Caption, FormatoEtiqueta(123.456, 2, 4));
        EXPECT_EQ(v.tapiz->width(), 2000);
        EXPECT_EQ(FormNota->MemoNota->font().family().toStdString(), fuente);
        EXPECT_EQ(FormNota->MemoNota->font().pointSize(), 11);

        // Zoomed in, a new shape size waits for zoom 1.
        v.TBMas->trigger();
        o.show();
        o.TamanyoFormas->setValue(50);
        o.BitBtn4->click();
        EXPECT_EQ(a.TamanyoNodo, 44);
        v.ToolButton3->trigger();
        EXPECT_EQ(a.TamanyoNodo, 40);
    }
    // A restart finds them kept.
    Programa programa;
    Arbol& a = FormArbol->arbol();
    EXPECT_EQ(FormOpciones->TamanyoLetras->value(), 11);
    EXPECT_EQ(a.opciones.TamanyoFormas, 50);
    EXPECT_EQ(a.TamanyoNodo, 50);
    EXPECT_EQ(a.TamanyoLetra, 11);
    EXPECT_EQ(a.opciones.EDigitosEtiquetas, "2");
    EXPECT_TRUE(a.opciones.CheckBoxNumNodosVisibles);
    EXPECT_EQ(FormArbol->tapiz->width(), 2000);
}

TEST(Opciones, TextoMaloEnAceptarSeMuestraYCierra)
{
    SinAjustes();
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    Arbol& a = v.arbol();
    TOpciones& o = *FormOpciones;
    o.show();
    o.EPrecisionEtiquetas->setText(QStringLiteral("x"));
    o.TamanyoFormas->setValue(45);
    QString texto;
    AlAbrirse<QMessageBox>([&](QMessageBox* caja) {
        texto = caja->text();
        caja->button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(o.BitBtn4, Qt::LeftButton);
    Espera(50);
    EXPECT_EQ(texto, QStringLiteral("'x' is not a valid integer value."));
    EXPECT_FALSE(o.isVisible());
    EXPECT_EQ(a.TamanyoNodo, 30); // nothing applied
    const std::string ini = Fichero(RutaIni());
    EXPECT_NE(ini.find("DigitosEtiquetas=4"), std::string::npos);
    EXPECT_EQ(ini.find("PrecisionEtiquetas"), std::string::npos);
    EXPECT_EQ(ini.find("TamanyoFormas"), std::string::npos);
}
