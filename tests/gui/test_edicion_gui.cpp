#include "tree/Edicion.h"
#include "tree/DatoU.h"
#include "tree/NotaU.h"

#include <QComboBox>
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
        bool aceptar;
        bool resultado;
        std::string texto;
    };
    const std::vector<Caso> casos = {
        {"B = 1", true, true, "B = 1"},
        {"", true, true, "0,3"},
        {"12", false, false, "0,3"},
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
            (c.aceptar ? f.BitBtn1 : f.BitBtn2)->click();
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
    Arbol a;
    Edicion e(a);
    const uint16_t n = a.NuevoIndice();
    a.CrearNodo(n, NodoTerminal, 0);
    a.AnyadirHijo(0, n);
    a.Nodo(n)->Comentario = "primera\tsegunda\t";
    TFormNota nota;
    EXPECT_EQ(nota.size(), QSize(188, 104));
    EXPECT_TRUE(nota.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(nota.MemoNota->palette().color(QPalette::Base), QColor(255, 255, 206));

    nota.AbrirComentario(e, n, QPoint(300, 200));
    EXPECT_TRUE(nota.isVisible());
    EXPECT_EQ(nota.pos(), QPoint(300, 200));
    EXPECT_EQ(nota.MemoNota->toPlainText(), QStringLiteral("primera\nsegunda"));
    // Hidden without an edit: the comment stays as it was.
    EXPECT_FALSE(nota.GuardarComentario());
    EXPECT_FALSE(nota.isVisible());

    nota.AbrirComentario(e, n, QPoint(300, 200));
    nota.MemoNota->setPlainText(QStringLiteral("Revisar\nsegún mercado"));
    EXPECT_TRUE(nota.GuardarComentario());
    EXPECT_EQ(a.Nodo(n)->Comentario, "Revisar\tsegún mercado\t");
    EXPECT_TRUE(a.Nodo(n)->MarcaVisible);

    nota.AbrirComentario(e, n, QPoint(300, 200));
    nota.MemoNota->clear();
    EXPECT_TRUE(nota.GuardarComentario());
    EXPECT_EQ(a.Nodo(n)->Comentario, "");
    EXPECT_FALSE(a.Nodo(n)->MarcaVisible);
}
