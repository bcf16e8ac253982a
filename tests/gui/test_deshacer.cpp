#include "Menu.h"
#include "Modal.h"

#include "app/ArbolU.h"
#include "app/DocumentoU.h"
#include "app/Ventanas.h"
#include "drawing/TreeUnit.h"
#include "tree/Historia.h"
#include "tree/Ayuda.h"
#include "tree/NotaU.h"
#include "variables/VarUnit.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The file's lines but its third, the date it was written.
std::vector<std::string> SinFecha(const std::string& bytes)
{
    std::vector<std::string> lineas = Lineas(bytes);
    if (lineas.size() > 2)
        lineas.erase(lineas.begin() + 2);
    return lineas;
}

// The window on screen and active, so that its keys reach it.
void Activa(QWidget& w)
{
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
}

TArbol& Principal(Programa& p)
{
    TArbol& v = p.Principal();
    Activa(v);
    return v;
}

// The first node below the root that has branches of its own.
uint16_t ConRamas(const Arbol& a)
{
    const TNodo& raiz = *a.Nodo(0);
    for (int i = 1; i <= raiz.NumHijos(); ++i)
        if (a.Nodo(raiz.Hijo(i))->NumHijos() > 0)
            return raiz.Hijo(i);
    return 0;
}

// What a user does: a structure deleted with the pop-up menu, Ctrl+Z, Ctrl+S.
// The file written is the file as it was, but for the date of writing.
TEST(Deshacer, BorrarConElMenuDeshacerYGuardarDejaElFichero)
{
    CarpetaTemporal dir;
    const std::string ruta = dir.Ruta("petroleo.nmr");
    std::filesystem::copy_file(NEMOR_EJEMPLOS "/petroleo.nmr", ruta);
    Programa programa(QStringList{QString::fromStdString(ruta)});
    TArbol& v = Principal(programa);
    Arbol& a = v.arbol();
    // The original as the program writes it (the path line is where it stands now).
    v.FileSaveItemClick();
    const std::string original = Lee(ruta);
    const int nodos = a.NumeroNodos();
    const uint16_t n = ConRamas(a);
    ASSERT_NE(n, 0);

    Responde(QMessageBox::Yes);
    EligeEnMenu(v, n, v.Borrar1);
    ASSERT_LT(a.NumeroNodos(), nodos);
    // The main window takes the keys again once the question has gone, as on a desktop.
    Activa(v);
    QTest::keyClick(&v, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(a.NumeroNodos(), nodos);
    QTest::keyClick(&v, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(SinFecha(Lee(ruta)), SinFecha(original));

    // Redone by its other key, and undone again by the tool bar.
    QTest::keyClick(&v, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_LT(a.NumeroNodos(), nodos);
    v.TBDeshacer->trigger();
    EXPECT_EQ(a.NumeroNodos(), nodos);
}

// "&Deshacer" and "&Rehacer" name the step they act on and are off without one;
// New starts the history again; nothing is offered while a command runs.
TEST(Deshacer, LosMenusNombranElPaso)
{
    Programa programa;
    TArbol& v = programa.Principal();
    Arbol& a = v.arbol();
    struct Estado {
        QString deshacer, rehacer, pistaDeshacer;
        bool puedeDeshacer, puedeRehacer;
    };
    auto estado = [&] {
        EXPECT_EQ(v.TBDeshacer->isEnabled(), v.Deshacer1->isEnabled());
        EXPECT_EQ(v.TBRehacer->isEnabled(), v.Rehacer1->isEnabled());
        return Estado{v.Deshacer1->text(), v.Rehacer1->text(), v.TBDeshacer->toolTip(), v.Deshacer1->isEnabled(),
                      v.Rehacer1->isEnabled()};
    };
    auto comprueba = [&](const char* cuando, const Estado& e, const char* deshacer, const char* rehacer) {
        SCOPED_TRACE(cuando);
        EXPECT_EQ(e.deshacer, QString::fromUtf8(deshacer));
        EXPECT_EQ(e.rehacer, QString::fromUtf8(rehacer));
        EXPECT_EQ(e.pistaDeshacer, QString::fromUtf8(deshacer).remove(QLatin1Char('&')));
        EXPECT_EQ(e.puedeDeshacer, QString::fromUtf8(deshacer) != QStringLiteral("&Deshacer"));
        EXPECT_EQ(e.puedeRehacer, QString::fromUtf8(rehacer) != QStringLiteral("&Rehacer"));
    };
    comprueba("al empezar", estado(), "&Deshacer", "&Rehacer");

    RespondeTexto(QStringLiteral("2"));
    v.NodoMenu = 0;
    v.CuadrodeDecisin1->trigger();
    ASSERT_EQ(a.NumeroNodos(), 3);
    comprueba("tras el nodo de decisión", estado(), "&Deshacer Nodo de decisión", "&Rehacer");
    v.Deshacer1->trigger();
    EXPECT_EQ(a.NumeroNodos(), 1);
    comprueba("deshecho", estado(), "&Deshacer", "&Rehacer Nodo de decisión");
    v.Rehacer1->trigger();
    EXPECT_EQ(a.NumeroNodos(), 3);
    // Calculated values and zoom are no steps.
    v.TBCalcular->trigger();
    v.TBMas->trigger();
    comprueba("calculado y ampliado", estado(), "&Deshacer Nodo de decisión", "&Rehacer");

    // While a command runs (a sweep, an analysis) undo is not offered.
    Estado durante{};
    bool deshecho = true;
    v.documento().EjecutaSinPaso([&] {
        durante = estado();
        deshecho = v.documento().Deshacer();
    });
    EXPECT_FALSE(durante.puedeDeshacer);
    EXPECT_FALSE(deshecho);
    EXPECT_EQ(a.NumeroNodos(), 3);
    EXPECT_TRUE(v.Deshacer1->isEnabled());

    Responde(QMessageBox::No);
    v.FileNew();
    comprueba("tras Nuevo", estado(), "&Deshacer", "&Rehacer");
}

// Every standard key reaches its command, shown beside it in the menu, and no
// key is claimed twice.
TEST(Deshacer, AtajosDeTeclado)
{
    TArbol v;
    struct Caso {
        QAction* accion;
        QKeySequence tecla;
    };
    const Caso casos[] = {
        {v.FileNewItem, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {v.FileOpenItem, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {v.FileSaveItem, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {v.FileSaveAsItem, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {v.Pre1, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {v.FileExitItem, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {v.Deshacer1, QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {v.Rehacer1, QKeySequence(Qt::CTRL | Qt::Key_Y)},
        {v.Rehacer1, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        {v.EditUndoItem, QKeySequence(Qt::Key_F9)},
        {v.Aumentar1, QKeySequence(Qt::CTRL | Qt::Key_Plus)},
        {v.Disminuir1, QKeySequence(Qt::CTRL | Qt::Key_Minus)},
        {v.Tamaooriginal1, QKeySequence(Qt::CTRL | Qt::Key_0)},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.accion->objectName().toStdString() + " " + c.tecla.toString().toStdString());
        EXPECT_TRUE(c.accion->shortcuts().contains(c.tecla));
        // In a menu, where the key is shown.
        EXPECT_FALSE(c.accion->associatedObjects().isEmpty());
    }
    QMap<QKeySequence, QString> duenyos;
    for (QAction* a : v.findChildren<QAction*>())
        for (const QKeySequence& k : a->shortcuts()) {
            EXPECT_FALSE(duenyos.contains(k)) << k.toString().toStdString() << ": " << a->objectName().toStdString()
                                              << " y " << duenyos.value(k).toStdString();
            duenyos.insert(k, a->objectName());
        }
    // The captions stay as they were: the key is shown apart from the text.
    EXPECT_EQ(v.EditUndoItem->text(), QStringLiteral("&Calcular VEM"));
    EXPECT_EQ(v.FileSaveAsItem->text(), QStringLiteral("Guardar &como..."));
}

// The views follow the document on their own: the variables window and an open
// outline show what an undo put back, the outline with the items the user opened.
TEST(Deshacer, LasVentanasSiguenAlDocumento)
{
    Programa programa;
    TArbol& v = programa.Principal();
    Arbol& a = v.arbol();
    a.Raiz().Tipo = NodoDecision;
    const uint16_t azar = a.NuevoHijo(0, NodoAzar, 200, 200);
    for (int i = 0; i < 2; ++i)
        a.NuevoHijo(azar, NodoTerminal, 400, 150 + 100 * i);
    a.Variables = {"BAYES(F,D)", "P(A) = 0.6", "P(B) = 0.4", "P(F/A) = 0.8", "P(D/A) = 0.2", "P(F/B) = 0.3",
                   "P(D/B) = 0.7"};
    v.TBVar->trigger();
    const QString antes = FormVar->Memo1->toPlainText();
    FormVar->SBTodosBayes->click();
    ASSERT_NE(FormVar->Memo1->toPlainText(), antes);

    v.TBTTree->trigger();
    TreeAD->SpeedButton1->click();
    QTreeWidgetItem* top = TreeAD->TreeG1->topLevelItem(0);
    ASSERT_EQ(top->child(0)->childCount(), 2);
    Responde(QMessageBox::Yes);
    v.NodoMenu = azar;
    v.Borrar1->trigger();
    top = TreeAD->TreeG1->topLevelItem(0);
    EXPECT_EQ(top->child(0)->childCount(), 0);

    v.Deshacer1->trigger(); // "Borrar nodo"
    top = TreeAD->TreeG1->topLevelItem(0);
    ASSERT_EQ(top->child(0)->childCount(), 2);
    EXPECT_TRUE(top->isExpanded());
    EXPECT_TRUE(top->child(0)->isExpanded());
    v.Deshacer1->trigger(); // "Bayes"
    EXPECT_EQ(FormVar->Memo1->toPlainText(), antes);
    v.Rehacer1->trigger();
    EXPECT_NE(FormVar->Memo1->toPlainText(), antes);
}

// Typing into the variables list while it keeps the focus is one step.
TEST(Deshacer, EscribirVariablesEsUnPaso)
{
    Programa programa;
    TArbol& v = programa.Principal();
    Arbol& a = v.arbol();
    a.Variables = {"COSTE = 10"};
    Activa(*FormVar);
    FormVar->Memo1->setFocus();
    FormVar->Memo1->moveCursor(QTextCursor::End);
    QTest::keyClick(FormVar->Memo1, Qt::Key_0);
    QTest::keyClick(FormVar->Memo1, Qt::Key_Return);
    QTest::keyClicks(FormVar->Memo1, QStringLiteral("PRECIO = 5"));
    EXPECT_EQ(a.Variables, (std::vector<std::string>{"COSTE = 100", "PRECIO = 5"}));
    EXPECT_EQ(v.Deshacer1->text(), QStringLiteral("&Deshacer Variables"));
    v.Deshacer1->trigger();
    EXPECT_EQ(a.Variables, std::vector<std::string>{"COSTE = 10"});
    EXPECT_EQ(FormVar->Memo1->toPlainText(), QStringLiteral("COSTE = 10"));
    EXPECT_FALSE(v.Deshacer1->isEnabled());
    v.Rehacer1->trigger();
    EXPECT_EQ(FormVar->Memo1->toPlainText(), QStringLiteral("COSTE = 100\nPRECIO = 5"));
}

// What is pending when the user asks to undo: a comment being typed goes in
// first (and is what the undo takes back); a pending drag is forgotten, as an
// undo may take its node away or give its number to another.
TEST(Deshacer, LoPendienteAntesDeDeshacer)
{
    Programa programa;
    TArbol& v = Principal(programa);
    Arbol& a = v.arbol();
    RespondeTexto(QStringLiteral("1"));
    EligeEnMenu(v, 0, v.CuadrodeDecisin1);
    ASSERT_EQ(a.NumeroNodos(), 2);

    EligeEnMenu(v, 1, v.Comentario1);
    ASSERT_TRUE(FormNota->isVisible());
    FormNota->MemoNota->setPlainText(QStringLiteral("Revisar"));
    v.Deshacer1->trigger();
    EXPECT_FALSE(FormNota->isVisible());
    EXPECT_EQ(a.Nodo(1)->Comentario, "");
    EXPECT_EQ(v.Rehacer1->text(), QStringLiteral("&Rehacer Comentario"));
    v.Rehacer1->trigger();
    EXPECT_EQ(a.Nodo(1)->Comentario, "Revisar\t");

    // A drag left pending (released with Shift), then an undo.
    const QPoint inicio = CentroFigura(*a.Nodo(1));
    QTest::mousePress(v.tapiz, Qt::LeftButton, {}, inicio);
    QTest::mouseMove(v.tapiz, inicio + QPoint(40, 40));
    QTest::mouseRelease(v.tapiz, Qt::LeftButton, Qt::ShiftModifier, inicio + QPoint(40, 40));
    ASSERT_TRUE(v.Arrastre().Arrastrando);
    v.Deshacer1->trigger();
    EXPECT_FALSE(v.Arrastre().Arrastrando);
    EXPECT_TRUE(v.tapiz->Fantasma().isNull());
    const int32_t x = a.Nodo(1)->Figura.Left;
    v.FiguraMouseUp(1, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(a.Nodo(1)->Figura.Left, x);
}

} // namespace
