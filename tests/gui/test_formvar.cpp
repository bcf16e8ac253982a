#include "app/ArbolU.h"
#include "support/ArbolCalculo.h"
#include "support/UsuarioGuion.h"
#include "tree/Arbol.h"
#include "variables/VarUnit.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

TEST(FormVar, BayesDesdeLaVentana)
{
    TDocumento doc;
    Arbol& a = doc.arbol();
    UsuarioGuion u;
    a.usuario = &u;
    TFormVar f(doc);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Variables"));
    EXPECT_EQ(f.Memo1->font().family(), QStringLiteral("Courier New"));
    EXPECT_FALSE(f.Memo2->isVisibleTo(&f));
    EXPECT_EQ(f.SBTodosBayes->toolTip(), QStringLiteral("Calcula las formulas de Bayes"));

    f.Memo1->setPlainText(QStringLiteral("BAYES(F,D)\nP(A) = 0.6\nP(B) = 0.4\nP(F/A) = 0.8\nP(D/A) = 0.2\n"
                                         "P(F/B) = 0.3\nP(D/B) = 0.7"));
    EXPECT_EQ(a.Variables.size(), 7u);
    f.SBTodosBayes->click();
    EXPECT_EQ(f.Memo1->toPlainText(),
              QStringLiteral("BAYES(F,D)\nP(A) = 0.6\nP(B) = 0.4\nP(F/A) = 0.8\nP(D/A) = 0.2\nP(F/B) = 0.3\n"
                             "P(D/B) = 0.7\nP(F) = 0.6000\nP(D) = 0.4000\nP(A/F) = 0.8000\nP(B/F) = 0.2000\n"
                             "P(A/D) = 0.3000\nP(B/D) = 0.7000"));
    EXPECT_TRUE(u.llamadas.empty());

    const QByteArray carpeta = qgetenv("NEMOR_CAPTURAS");
    if (!carpeta.isEmpty()) {
        EXPECT_TRUE(f.grab().save(QString::fromLocal8Bit(carpeta) + QStringLiteral("/ventana_variables.png")));
    }
}

TEST(FormVar, BorrarTodoPregunta)
{
    TDocumento doc;
    Arbol& a = doc.arbol();
    UsuarioGuion u;
    a.usuario = &u;
    a.Variables = {"X = 1"};
    TFormVar f(doc);
    EXPECT_EQ(f.Memo1->toPlainText(), QStringLiteral("X = 1"));
    for (Respuesta r : {Respuesta::No, Respuesta::Cancelar, Respuesta::Si}) {
        u.respuestas.push_back(r);
        f.SBBorrar->click();
        EXPECT_EQ(a.Variables.empty(), r == Respuesta::Si);
        EXPECT_EQ(f.Memo1->toPlainText().isEmpty(), r == Respuesta::Si);
    }
    ASSERT_EQ(u.llamadas.size(), 3u);
    EXPECT_EQ(u.llamadas[0].titulo, "Atención");
    EXPECT_EQ(u.llamadas[0].texto, "¿Borrar todas las variables?");
    EXPECT_EQ(u.llamadas[0].botones, Botones::SiNoCancelar);
    EXPECT_EQ(u.llamadas[0].icono, Icono::Pregunta);
}

// The list changed elsewhere (a tree was read) shows when the window does; stay-on-top follows its button.
TEST(FormVar, SeSincronizaAlMostrarseYSeFija)
{
    TDocumento doc;
    Arbol& a = doc.arbol();
    TFormVar f(doc);
    a.Variables = {"A = 1", "", "B = 2"};
    a.VariablesRespaldo = {"A = 0"};
    f.show();
    EXPECT_EQ(f.Memo1->toPlainText(), QStringLiteral("A = 1\n\nB = 2"));
    EXPECT_EQ(f.Memo2->toPlainText(), QStringLiteral("A = 0"));
    f.Memo1->appendPlainText(QStringLiteral("C = 3"));
    EXPECT_EQ(a.Variables, (std::vector<std::string>{"A = 1", "", "B = 2", "C = 3"}));

    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    f.SBFijar->click();
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(f.isVisible());
    f.SBFijar->click();
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    f.SBCerrar->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(a.Variables.size(), 4u);
}

// The main window's commands solve the drawing and switch the labels.
TEST(FormVar, CalcularYVerVariablesEnLaVentanaPrincipal)
{
    TArbol v;
    Arbol& a = v.arbol();
    RaizDeTipo(a, NodoDecision);
    const auto c = Rama(a, 0, NodoAzar, 100);
    const auto t1 = Rama(a, c, NodoTerminal, 0, 0.5);
    Rama(a, c, NodoTerminal, -20, 0.5);
    a.Variables = {"COSTE = 50"};
    a.Nodo(t1)->FormulaGanancia = "COSTE";

    v.TBCalcular->trigger();
    EXPECT_EQ(a.Raiz().Valor, 115);
    EXPECT_EQ(a.Raiz().EtiquetaValor.Caption, "115");
    EXPECT_EQ(a.Nodo(t1)->EtiquetaGanancia.Caption, "COSTE");

    v.TBVerVar->trigger(); // up: numbers
    EXPECT_FALSE(v.TBVerVar->isChecked());
    EXPECT_EQ(a.Nodo(t1)->EtiquetaGanancia.Caption, "50");
    v.TBVerVar->trigger(); // down again: names
    EXPECT_EQ(a.Nodo(t1)->EtiquetaGanancia.Caption, "COSTE");

    v.TBACero->trigger();
    EXPECT_EQ(a.Raiz().Valor, 0);
    EXPECT_EQ(a.Raiz().EtiquetaValor.Caption, "0");
    EXPECT_FALSE(a.Nodo(c)->Elegido);
}

} // namespace
