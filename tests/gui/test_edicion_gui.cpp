#include "Menu.h"
#include "Modal.h"

#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "drawing/Tapiz.h"
#include "tree/Edicion.h"
#include "tree/DatoU.h"
#include "tree/NotaU.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMenu>
#include <QTest>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

TEST(FormDato, AceptarYCancelar)
{
    struct Caso {
        std::string escrito; // typed over the initial text; empty: left as it is
        int boton; // 1 "Aceptar", 2 "Cancelar", 0 the Enter key in the box
        bool resultado;
        std::string texto;
    };
    const std::vector<Caso> casos = {
        {"B = 1", 1, true, "B = 1"},
        {"", 1, true, "0,3"},
        {"12", 2, false, "0,3"},
        {"-4,25", 0, true, "-4,25"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.escrito);
        TFormDato f;
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Dato"));
        QStringList entradas;
        QTimer::singleShot(0, &f, [&] {
            for (int i = 0; i < f.ComboBox1->count(); ++i)
                entradas << f.ComboBox1->itemText(i);
            if (!c.escrito.empty())
                f.ComboBox1->setEditText(QString::fromStdString(c.escrito));
            if (c.boton == 0)
                QTest::keyClick(f.ComboBox1, Qt::Key_Return);
            else
                (c.boton == 1 ? f.BitBtn1 : f.BitBtn2)->click();
        });
        std::string texto = "0,3";
        EXPECT_EQ(f.Ejecuta("Probabilidad", {"A = 2", "B = 1"}, texto), c.resultado);
        EXPECT_EQ(texto, c.texto);
        EXPECT_EQ(f.Label1->text(), QStringLiteral("Probabilidad"));
        EXPECT_EQ(entradas, (QStringList{"A = 2", "B = 1"}));
        EXPECT_EQ(f.BitBtn1->text(), QStringLiteral("Aceptar"));
        EXPECT_EQ(f.BitBtn2->text(), QStringLiteral("Cancelar"));
    }
}

TEST(FormNota, AbreEditaYGuarda)
{
    TDocumento doc;
    Arbol& a = doc.arbol();
    const uint16_t n = a.NuevoHijo(0, NodoTerminal);
    a.Nodo(n)->Comentario = "primera\tsegunda\t";
    TFormNota nota(doc);
    EXPECT_EQ(nota.size(), QSize(188, 104));
    EXPECT_TRUE(nota.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(nota.MemoNota->palette().color(QPalette::Base), QColor(255, 255, 206));

    nota.AbrirComentario(n, QPoint(300, 200));
    EXPECT_TRUE(nota.isVisible());
    EXPECT_EQ(nota.pos(), QPoint(300, 200));
    EXPECT_EQ(nota.MemoNota->toPlainText(), QStringLiteral("primera\nsegunda"));
    // Hidden without an edit: the comment stays as it was.
    EXPECT_FALSE(nota.GuardarComentario());
    EXPECT_FALSE(nota.isVisible());

    nota.AbrirComentario(n, QPoint(300, 200));
    nota.MemoNota->setPlainText(QStringLiteral("Revisar\nsegún mercado"));
    EXPECT_TRUE(nota.GuardarComentario());
    EXPECT_EQ(a.Nodo(n)->Comentario, "Revisar\tsegún mercado\t");
    EXPECT_TRUE(a.Nodo(n)->MarcaVisible);

    nota.AbrirComentario(n, QPoint(300, 200));
    nota.MemoNota->clear();
    EXPECT_TRUE(nota.GuardarComentario());
    EXPECT_EQ(a.Nodo(n)->Comentario, "");
    EXPECT_FALSE(a.Nodo(n)->MarcaVisible);
}

namespace {

} // namespace

// From the bare window, with the mouse: a decision between a typed payoff and
// one picked from the variables list, a comment, then "Calcular".
TEST(EdicionConElMenu, ArbolDeTresNodosYSuSolucion)
{
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    Arbol& a = v.arbol();
    a.Variables = {"! costes", "COSTE = 200 + 50"};

    RespondeTexto(QStringLiteral("2"));
    EligeEnMenu(v, 0, v.CuadrodeDecisin1);
    ASSERT_EQ(a.Raiz().Tipo, NodoDecision);
    ASSERT_EQ(a.Raiz().NumHijos(), 2);

    RespondeTexto(QStringLiteral("Vender"));
    EligeEnMenu(v, 1, v.Texto1);
    EXPECT_EQ(a.Nodo(1)->Texto, "Vender");

    QStringList entradas;
    QString rotulo;
    AlAbrirseModal([&](QWidget* w) {
        auto* f = qobject_cast<TFormDato*>(w);
        ASSERT_NE(f, nullptr);
        rotulo = f->Label1->text();
        f->ComboBox1->setEditText(QStringLiteral("120,5"));
        f->BitBtn1->click();
    });
    EligeEnMenu(v, 1, v.Coste3);
    EXPECT_EQ(rotulo, QStringLiteral("Ganancia"));
    EXPECT_EQ(a.Nodo(1)->Ganancia, 120.5);

    AlAbrirseModal([&](QWidget* w) {
        auto* f = qobject_cast<TFormDato*>(w);
        ASSERT_NE(f, nullptr);
        for (int i = 0; i < f->ComboBox1->count(); ++i)
            entradas << f->ComboBox1->itemText(i);
        // The last accepted text is offered again.
        EXPECT_EQ(f->ComboBox1->currentText(), QStringLiteral("120,5"));
        f->ComboBox1->setCurrentIndex(0);
        f->BitBtn1->click();
    });
    EligeEnMenu(v, 2, v.Coste3);
    EXPECT_EQ(entradas, QStringList{QStringLiteral("COSTE = 200 + 50")});
    EXPECT_EQ(a.Nodo(2)->FormulaGanancia, "COSTE");
    EXPECT_EQ(a.Nodo(2)->Ganancia, 250);
    EXPECT_EQ(a.Nodo(2)->EtiquetaGanancia.Caption, "COSTE"); // "Ver variables" is down

    // The comment pad opens where the menu was asked for; leaving it for the
    // bare drawing stores the comment and shows the mark.
    EligeEnMenu(v, 1, v.Comentario1);
    ASSERT_TRUE(FormNota->isVisible());
    EXPECT_EQ(FormNota->pos(), v.PosicionMenu);
    FormNota->MemoNota->setPlainText(QStringLiteral("Precio de lanzamiento\nrevisar"));
    QTest::mouseMove(v.tapiz, QPoint(900, 40));
    Espera(20);
    EXPECT_FALSE(FormNota->isVisible());
    EXPECT_EQ(a.Nodo(1)->Comentario, "Precio de lanzamiento\trevisar\t");
    EXPECT_TRUE(a.Nodo(1)->MarcaVisible);

    v.TBCalcular->trigger();
    EXPECT_EQ(a.Raiz().Valor, 250);
    EXPECT_TRUE(a.Nodo(2)->Elegido);
    EXPECT_FALSE(a.Nodo(1)->Elegido);
    EXPECT_EQ(a.Raiz().EtiquetaValor.Caption, "250");
}

// A comment still being typed when the tree is saved goes into the file.
TEST(EdicionConElMenu, GuardarIncluyeElComentarioQueSeEstaEscribiendo)
{
    Programa programa;
    TArbol& v = *FormArbol;
    v.show();
    Arbol& a = v.arbol();
    const std::string ruta =
        (QDir::temp().filePath(QStringLiteral("nemor_nota_%1.nmr").arg(QCoreApplication::applicationPid())))
            .toStdString();
    a.NombreFichero = ruta;
    a.Archivo.Caption = ruta;
    EligeEnMenu(v, 0, v.Comentario1);
    ASSERT_TRUE(FormNota->isVisible());
    FormNota->MemoNota->setPlainText(QStringLiteral("Sin revisar"));
    v.FileSaveItemClick();
    EXPECT_FALSE(FormNota->isVisible());
    EXPECT_EQ(a.Raiz().Comentario, "Sin revisar\t");
    QFile f(QString::fromStdString(ruta));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("Sin revisar\t"));
    f.remove();
}
