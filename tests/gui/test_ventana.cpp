#include "Modal.h"

#include "analysis/GraficoHistoricoUnit.h"
#include "analysis/PerfilRiesgoUnit.h"
#include "analysis/TornadoUnit.h"
#include "analysis/VariacionUnit.h"
#include "app/AboutU.h"
#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "app/ProgresoU.h"
#include "app/Ventanas.h"
#include "analysis/Rollback.h"
#include "common/Decimal.h"
#include "common/Errores.h"
#include "common/Redondeo.h"
#include "drawing/BarU.h"
#include "drawing/ConversionQt.h"
#include "drawing/ImprimiendoU.h"
#include "drawing/OpcionU.h"
#include "drawing/PrevisualizarU.h"
#include "drawing/QRU.h"
#include "drawing/Tapiz.h"
#include "drawing/TreeUnit.h"
#include "editor/REMain.h"
#include "tree/DatoU.h"
#include "tree/NotaU.h"
#include "variables/VarUnit.h"

#include <QAbstractButton>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QInputDialog>
#include <QPainter>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

QString SinAmpersand(QString s) { return s.remove(QLatin1Char('&')); }

QImage Captura(TArbol& v)
{
    QImage img(v.tapiz->size(), QImage::Format_RGB32);
    v.tapiz->render(&img);
    return img;
}

// A point inside every shape, clear of the number label.
QPoint Centro(const TNodo& n) { return {n.Figura.Left + n.Figura.Width / 2 + 8, n.Figura.Top + n.Figura.Height / 2}; }

TEST(Arranque, VentanasEnOrdenYRaiz)
{
    Programa programa;
    ASSERT_NE(FormArbol, nullptr);
    struct Caso {
        QWidget* ventana;
        const char* caption;
    };
    const Caso casos[] = {
        {AboutBox, "Acerca de ..."},
        {FormBar, "Control"},
        {FormDato, "Dato"},
        {FormVariacion, "Variación"},
        {FormNota, ""},
        {ProgressForm, "Progreso"},
        {FormEditor, "Sin título - NEMOR"},
        {FormVar, "Variables"},
        {FormOpciones, "Opciones"},
        {FormPrevisualizar, "Presentación preliminar"},
        {FormImprimiendo, "Imprimiendo"},
        {TreeAD, "Arbol"},
        {FormQR, ""},
        {FormHistorico, "Variación"},
        {FormPerfil, "Perfil de riesgo"},
        {FormTornado, "Tornado"},
    };
    for (const Caso& c : casos) {
        ASSERT_NE(c.ventana, nullptr) << c.caption;
        EXPECT_EQ(c.ventana->windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_TRUE(c.ventana->isHidden()) << c.caption;
    }
    TArbol& v = *FormArbol;
    EXPECT_EQ(v.windowTitle(), QStringLiteral("NEMOR"));

    // The root: a terminal triangle at (20, H/2 - 50) with its value "0" above it.
    const Arbol& a = v.arbol();
    ASSERT_NE(a.Nodo(0), nullptr);
    const TNodo& raiz = *a.Nodo(0);
    EXPECT_EQ(a.UltimaPosicion, 0);
    EXPECT_EQ(raiz.Tipo, NodoTerminal);
    EXPECT_EQ(raiz.Figura.Left, 20);
    EXPECT_EQ(raiz.Figura.Top, Round(v.height() / 2.0) - 50);
    EXPECT_EQ(a.Archivo.Caption, "Sin título");

    const auto r = v.tapiz->RectsEtiquetas(0);
    EXPECT_TRUE(r[ETexto].isNull());
    EXPECT_TRUE(r[EGanancia].isNull());
    EXPECT_TRUE(r[EProbabilidad].isNull());
    EXPECT_TRUE(r[ENumero].isNull());
    const QRect valor = r[EValor];
    ASSERT_FALSE(valor.isNull());
    EXPECT_EQ(raiz.EtiquetaValor.Caption, "0");
    EXPECT_EQ(valor.left() + valor.width(), raiz.Figura.Right());
    EXPECT_EQ(valor.top() + valor.height(), raiz.Figura.Top - 4);

    // And that is what is painted: the triangle's fill, dark text in the value's place.
    const QImage img = Captura(v);
    EXPECT_EQ(img.pixelColor(Centro(raiz)), AQColor(a.ColorTerminal));
    bool texto = false;
    for (int y = valor.top(); y <= valor.bottom(); ++y)
        for (int x = valor.left(); x <= valor.right(); ++x)
            texto = texto || qGray(img.pixel(x, y)) < 128;
    EXPECT_TRUE(texto);
    // No branch for the root: the stub's place stays white.
    EXPECT_EQ(img.pixelColor(raiz.Figura.Left - 10, raiz.Figura.Top + 15), QColor(Qt::white));
}

TEST(Arranque, TablaDeComandos)
{
    TArbol v;
    QStringList menus;
    for (QAction* m : v.menuBar()->actions()) {
        QStringList items;
        for (QAction* a : m->menu()->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        menus << m->text() + QStringLiteral(": ") + items.join(QStringLiteral(" | "));
    }
    const QStringList esperado = {
        "&Archivo: &Nuevo | &Abrir.. | &Guardar | Guardar &como... | &Exportar imagen... | - | "
        "&Presentación preliminar | - |  |  |  |  | - | &Salir",
        "&Edición: &Deshacer | &Rehacer",
        "&Calcular: &Calcular VEM | &Valores a cero | Va&riaciones ... | - | &Perfil de riesgo ... | &Tornado ...",
        "&Ver: &Variables | - | &Editor | - | &Aumentar | &Disminuir | &Tamaño original | &Barra de herramientas",
        "&Opciones: &Opciones...",
        "A&yuda: Manual de usuario | &Acerca de...",
    };
    EXPECT_EQ(menus, esperado);
    for (QAction* f : {v.F1, v.F2, v.F3, v.F4})
        EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(v.Barradeherramientas1->isChecked());

    // Tool bar: order, hints, 25 x 25, start states, an icon on each.
    QStringList botones;
    for (QAction* a : v.ToolBar1->actions()) {
        if (a->isSeparator())
            continue;
        QString b = a->objectName() + QStringLiteral("=") + a->toolTip();
        if (a->isCheckable())
            b += a->isChecked() ? QStringLiteral(" [x]") : QStringLiteral(" [ ]");
        if (!a->isVisible())
            b += QStringLiteral(" (oculto)");
        botones << b;
        EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
        if (a->isVisible()) {
            EXPECT_EQ(v.ToolBar1->widgetForAction(a)->size(), QSize(25, 25)) << a->objectName().toStdString();
        }
    }
    const QStringList esperados = {
        "TBNuevo=Nuevo",
        "TBAbrir=Abrir",
        "TBGuardar=Guardar",
        "TBDeshacer=Deshacer",
        "TBRehacer=Rehacer",
        "TBVar=Editor de variables",
        "ToolButton1=Editor de texto",
        "TBCalcular=Calcular",
        "TBACero=Valores a cero",
        "TBVariaciones=Variaciones ...",
        "TBMueveHijos=Desplazamiento de nodos conectados [x]",
        "TB1=Modo desplazamiento 1 [x]",
        "TB2=Modo desplazamiento 2 [ ]",
        "TBAlinearVertical=Alinear vertical",
        "TBAlinearHorizontal=Alinear horizontal",
        "TBVerVar=Ver variables [x]",
        "TBTTree=Arbol",
        "TBMas=Aumentar",
        "TBMenos=Reducir",
        "ToolButton3=Tamaño original",
        "ToolButton6=Presentación preliminar",
        "TBSalir=Salir (oculto)",
    };
    EXPECT_EQ(botones, esperados);
    // TB1 and TB2 are a pair: exactly one is down.
    v.TB2->trigger();
    EXPECT_FALSE(v.TB1->isChecked());
    EXPECT_TRUE(v.TB2->isChecked());
}

TEST(Arranque, BarraDeHerramientasSeOcultaYVuelve)
{
    TArbol v;
    v.show();
    ASSERT_TRUE(v.ToolBar1->isVisible());
    v.Barradeherramientas1->trigger();
    EXPECT_FALSE(v.ToolBar1->isVisible());
    EXPECT_FALSE(v.Barradeherramientas1->isChecked());
    v.Barradeherramientas1->trigger();
    EXPECT_TRUE(v.ToolBar1->isVisible());
    EXPECT_TRUE(v.Barradeherramientas1->isChecked());
}

// The letter after a single "&", lower case; none for a caption without one
// ("&&" shows an ampersand, as in the recent files' paths).
QChar Atajo(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return {};
}

// Alt and a letter reach exactly one item: no letter is claimed twice in the
// menu bar or in any menu, and every command of "&Archivo" has its letter.
TEST(Arranque, AtajosDeTecladoSinRepetir)
{
    TArbol v;
    std::vector<std::pair<QString, QList<QAction*>>> grupos = {{QStringLiteral("barra"), v.menuBar()->actions()}};
    for (QAction* m : v.menuBar()->actions())
        grupos.push_back({m->text(), m->menu()->actions()});
    for (const auto& [grupo, acciones] : grupos) {
        QSet<QChar> usadas;
        for (QAction* a : acciones) {
            const QChar letra = Atajo(a->text());
            if (a->isSeparator() || letra.isNull())
                continue;
            EXPECT_FALSE(usadas.contains(letra)) << grupo.toStdString() << ": " << a->text().toStdString();
            usadas.insert(letra);
        }
    }
    for (QAction* a : v.FileMenu->actions()) {
        const bool reciente = a == v.F1 || a == v.F2 || a == v.F3 || a == v.F4;
        if (!a->isSeparator() && !reciente) {
            EXPECT_FALSE(Atajo(a->text()).isNull()) << a->text().toStdString();
        }
    }
}

// The items the node menu shows, "-" after a disabled one.
QStringList ItemsMenu(const TArbol& v)
{
    QStringList r;
    for (QAction* a : v.PopupMenuTri->actions())
        if (a->isVisible())
            r << SinAmpersand(a->text()) + (a->isEnabled() ? QString() : QStringLiteral("-"));
    return r;
}

TEST(MenuNodo, ClicDerechoSobreLaRaizNueva)
{
    TArbol v;
    v.show();
    const TNodo& raiz = v.arbol().Raiz();
    QTest::mouseClick(v.tapiz, Qt::RightButton, {}, Centro(raiz));
    EXPECT_TRUE(v.PopupMenuTri->isVisible());
    EXPECT_EQ(v.NodoMenu, 0);
    const QStringList items = ItemsMenu(v);
    EXPECT_TRUE(items.contains(QStringLiteral("Nuevo nodo de decisión ...")));
    EXPECT_FALSE(items.contains(QStringLiteral("Nuevo nodo de azar ...")));
    EXPECT_EQ(items,
              (QStringList{"Nuevo nodo de decisión ...", "Copiar-", "Pegar-", "Comentario", "Perfil de riesgo ..."}));
    v.PopupMenuTri->close();

    // A right click beside the figure opens nothing.
    QTest::mouseClick(v.tapiz, Qt::RightButton, {}, QPoint(600, 20));
    EXPECT_FALSE(v.PopupMenuTri->isVisible());
}

TEST(MenuNodo, ReglasSegunElNodoYSuPadre)
{
    TArbol v;
    v.show();
    Arbol& a = v.arbol();
    // 0 decision -> 1 chance -> 2 terminal; 0 -> 3 terminal
    a.Raiz().Tipo = NodoDecision;
    a.NuevoHijo(0, NodoAzar, 200, 100);
    a.NuevoHijo(1, NodoTerminal, 400, 100);
    a.NuevoHijo(0, NodoTerminal, 200, 300);
    struct Caso {
        uint16_t nodo;
        uint16_t copiado;
        QStringList items;
    };
    const Caso casos[] = {
        {0, 0, {"Nueva rama", "Copiar-", "Pegar-", "Comentario", "Perfil de riesgo ..."}},
        {1, 0,
         {"Nueva rama", "Borrar nodo", "Texto", "Ganancia", "Copiar", "Pegar-", "Comentario", "Perfil de riesgo ..."}},
        {2, 1,
         {"Nuevo nodo de decisión ...", "Nuevo nodo de azar ...", "Borrar nodo", "Texto", "Ganancia", "Probabilidad",
          "Copiar-", "Pegar nodo 1", "Comentario", "Perfil de riesgo ..."}},
        {3, 0,
         {"Nuevo nodo de decisión ...", "Nuevo nodo de azar ...", "Borrar nodo", "Texto", "Ganancia", "Copiar-",
          "Pegar-", "Comentario", "Perfil de riesgo ..."}},
        {0, 1, {"Nueva rama", "Copiar-", "Pegar nodo 1-", "Comentario", "Perfil de riesgo ..."}},
    };
    for (const Caso& c : casos) {
        a.NodoCopiado = c.copiado;
        QTest::mouseClick(v.tapiz, Qt::RightButton, {}, Centro(*a.Nodo(c.nodo)));
        EXPECT_TRUE(v.PopupMenuTri->isVisible()) << c.nodo;
        EXPECT_EQ(v.NodoMenu, c.nodo);
        EXPECT_EQ(ItemsMenu(v), c.items) << c.nodo;
        v.PopupMenuTri->close();
    }
}

TEST(Errores, UnaExcepcionEnUnManejadorSeMuestraYElProgramaSigue)
{
    struct Caso {
        std::function<void()> lanza;
        QString texto;
    };
    const Caso casos[] = {
        {[] { throw ENemor("Variable X desconocida"); }, QStringLiteral("Variable X desconocida.")},
        {[] { throw EZeroDivide(); }, QStringLiteral("Floating point division by zero.")},
        {[] { throw ENemor("¿Seguro?"); }, QStringLiteral("¿Seguro?.")},
        {[] { throw ENemor("Fin."); }, QStringLiteral("Fin.")},
        {[] { throw 42; }, QStringLiteral("Error desconocido.")},
    };
    TArbol v;
    v.show();
    for (const Caso& c : casos) {
        QString titulo, texto;
        int botones = 0;
        QMessageBox::Icon icono = QMessageBox::NoIcon;
        AlAbrirseModal([&](QWidget* w) {
            auto* caja = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(caja, nullptr);
            titulo = caja->windowTitle();
            texto = caja->text();
            icono = caja->icon();
            botones = static_cast<int>(caja->buttons().size());
            caja->button(QMessageBox::Ok)->click();
        });
        // A handler run by the event loop, as every command handler is.
        QTimer::singleShot(0, &v, c.lanza);
        bool siguio = false;
        QTimer::singleShot(20, &v, [&] { siguio = true; });
        Espera(200);
        EXPECT_EQ(texto, c.texto);
        EXPECT_EQ(titulo, QStringLiteral("NEMOR"));
        EXPECT_EQ(icono, QMessageBox::Critical);
        EXPECT_EQ(botones, 1);
        EXPECT_TRUE(siguio);
    }
    EXPECT_TRUE(v.isVisible());
}

// A command that fails stops in its own handler: nothing leaves the slot (here
// run as a plain call, as a signal runs it), the error box shows the message,
// and by the time it shows, the windows already show what the command did
// before it failed.
TEST(Errores, UnaOrdenQueFallaSeMuestraSinSalirDelManejador)
{
    const char sep = SeparadorDecimal();
    const char otro = sep == '.' ? ',' : '.';
    struct Caso {
        const char* orden;
        std::function<void(TArbol&)> prepara;
        std::function<void(TArbol&)> ejecuta;
        QString mensaje;
        std::function<void(TArbol&)> alMostrarse; // what the windows show under the box
    };
    const Caso casos[] = {
        {"Aceptar de las opciones",
         [](TArbol&) {
             FormOpciones->show();
             FormOpciones->EPrecisionEtiquetas->setText(QStringLiteral("x"));
         },
         [](TArbol&) { FormOpciones->BitBtn4->click(); }, QStringLiteral("'x' is not a valid integer value."),
         [](TArbol&) { EXPECT_FALSE(FormOpciones->isVisible()); }},
        {"Calcular VEM",
         [otro](TArbol& v) {
             v.arbol().Variables = {std::string("X = 0") + otro + "5"};
             v.arbol().opciones.EditPrecisionSumatorio = "x";
         },
         [](TArbol& v) { v.TBCalcular->trigger(); }, QStringLiteral("'x' is not a valid floating point value."),
         // The list was rewritten with the user's separator before the check failed.
         [sep](TArbol&) { EXPECT_EQ(FormVar->Memo1->toPlainText(), QStringLiteral("X = 0") + QChar(sep) + QStringLiteral("5")); }},
        {"Nueva rama",
         [](TArbol& v) {
             v.arbol().opciones.EPrecisionEtiquetas = "x";
             v.NodoMenu = 0;
         },
         [](TArbol& v) { v.Nuevarama1->trigger(); }, QStringLiteral("'x' is not a valid integer value."),
         [](TArbol& v) { EXPECT_EQ(v.arbol().Raiz().NumHijos(), 1); }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.orden);
        Programa programa;
        TArbol& v = *FormArbol;
        v.show();
        Arbol& a = v.arbol();
        a.Raiz().Tipo = NodoDecision;
        const uint16_t azar = a.NuevoHijo(0, NodoAzar, 200, 200);
        for (int i = 0; i < 2; ++i)
            a.Nodo(a.NuevoHijo(azar, NodoTerminal, 400, 150 + 100 * i))->Probabilidad = 0.5;
        c.prepara(v);
        QString texto;
        AlAbrirseModal([&](QWidget* w) {
            auto* caja = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(caja, nullptr);
            texto = caja->text();
            c.alMostrarse(v);
            caja->button(QMessageBox::Ok)->click();
        });
        EXPECT_NO_THROW(c.ejecuta(v));
        EXPECT_EQ(texto, c.mensaje);
        EXPECT_TRUE(v.isVisible());
    }
}

TEST(Dialogos, BotonesEnEspanyol)
{
    ASSERT_TRUE(CargaTraducciones(QLocale(QLocale::Spanish, QLocale::Spain)).startsWith(QStringLiteral("es")));
    QMessageBox caja(QMessageBox::Warning, QStringLiteral("Atención"), QStringLiteral("¿Guardar?"),
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(SinAmpersand(caja.button(QMessageBox::Yes)->text()), QStringLiteral("Sí"));
    EXPECT_EQ(SinAmpersand(caja.button(QMessageBox::No)->text()), QStringLiteral("No"));
    EXPECT_EQ(SinAmpersand(caja.button(QMessageBox::Cancel)->text()), QStringLiteral("Cancelar"));
}

TEST(Dialogos, FiltrosDeFicheros)
{
    struct Caso {
        const char* entrada;
        const char* salida;
    };
    const Caso casos[] = {
        {"Árboles NEMOR|*.nmr", "Árboles NEMOR (*.nmr)"},
        {"Árboles|*.nmr|Texto|*.txt", "Árboles (*.nmr);;Texto (*.txt)"},
        {"Imágenes|*.bmp;*.png", "Imágenes (*.bmp *.png)"},
        {"Todos|*.*", "Todos (*)"},
        {"Bitmaps (*.bmp)|*.bmp", "Bitmaps (*.bmp)"}, // the masks already shown are not shown twice
        {"Ficheros RTF (*.RTF)|*.RTF", "Ficheros RTF (*.RTF *.rtf)"}, // either case
        {"Texto (UTF-8)|*.txt", "Texto (UTF-8) (*.txt)"},
        {"", ""},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(FiltroQt(c.entrada), QString::fromUtf8(c.salida)) << c.entrada;
}

TEST(Dialogos, PuertoDelUsuario)
{
    CargaTraducciones(QLocale(QLocale::Spanish, QLocale::Spain));
    Programa programa;
    IUsuario& u = FormArbol->usuario();

    // A save question: caption, text, exclamation icon, three buttons; each answer comes back.
    struct Caso {
        QMessageBox::StandardButton pulsar;
        Respuesta esperada;
    };
    for (const Caso& c : {Caso{QMessageBox::Yes, Respuesta::Si}, Caso{QMessageBox::No, Respuesta::No},
                          Caso{QMessageBox::Cancel, Respuesta::Cancelar}}) {
        QString titulo, texto;
        QMessageBox::Icon icono{};
        QStringList botones;
        AlAbrirseModal([&](QWidget* w) {
            auto* caja = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(caja, nullptr);
            titulo = caja->windowTitle();
            texto = caja->text();
            icono = caja->icon();
            for (QAbstractButton* b : caja->buttons())
                botones << SinAmpersand(b->text());
            caja->button(c.pulsar)->click();
        });
        EXPECT_EQ(u.Pregunta("Atención", "¿Desea guardar los cambios?", Botones::SiNoCancelar, Icono::Exclamacion),
                  c.esperada);
        EXPECT_EQ(titulo, QStringLiteral("Atención"));
        EXPECT_EQ(texto, QStringLiteral("¿Desea guardar los cambios?"));
        EXPECT_EQ(icono, QMessageBox::Warning);
        botones.sort();
        EXPECT_EQ(botones, (QStringList{"Cancelar", "No", "Sí"}));
    }

    // The input box: accepted, the new text; cancelled, the text stays.
    for (bool aceptar : {true, false}) {
        std::string texto = "inicial";
        QString rotulo;
        AlAbrirseModal([&](QWidget* w) {
            auto* d = qobject_cast<QInputDialog*>(w);
            ASSERT_NE(d, nullptr);
            rotulo = d->labelText();
            d->setTextValue(QStringLiteral("Éxito"));
            aceptar ? d->accept() : d->reject();
        });
        EXPECT_EQ(u.PideTexto("Texto", "Texto del nodo", texto), aceptar);
        EXPECT_EQ(rotulo, QStringLiteral("Texto del nodo"));
        EXPECT_EQ(texto, aceptar ? "Éxito" : "inicial");
    }

    // The error box is the application's, whoever asks for it.
    QString titulo;
    AlAbrirseModal([&](QWidget* w) {
        auto* caja = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(caja, nullptr);
        titulo = caja->windowTitle();
        EXPECT_EQ(caja->icon(), QMessageBox::Critical);
        caja->accept();
    });
    u.Error("No se puede abrir el fichero.");
    EXPECT_EQ(titulo, QStringLiteral("NEMOR"));

    // The progress window.
    u.ProgresoMostrar("Abriendo fichero ...");
    EXPECT_TRUE(ProgressForm->isVisible());
    EXPECT_EQ(ProgressForm->ProgressLabel->text(), QStringLiteral("Abriendo fichero ..."));
    EXPECT_EQ(ProgressForm->ProgressBar1->value(), 0);
    u.ProgresoPosicion(40);
    EXPECT_EQ(ProgressForm->ProgressBar1->value(), 40);
    u.ProgresoOcultar();
    EXPECT_FALSE(ProgressForm->isVisible());
}

TEST(Dialogos, AcercaDe)
{
    Programa programa;
    QString texto, titulo;
    AlAbrirseModal([&](QWidget* w) {
        titulo = w->windowTitle();
        for (QLabel* l : w->findChildren<QLabel*>())
            texto += l->text();
        auto* aceptar = w->findChild<QAbstractButton*>(QStringLiteral("OKButton"));
        ASSERT_NE(aceptar, nullptr);
        EXPECT_EQ(aceptar->text(), QStringLiteral("Aceptar"));
        aceptar->click();
    });
    FormArbol->HelpAboutItem->trigger();
    EXPECT_EQ(titulo, QStringLiteral("Acerca de ..."));
    // The product, its version, its authors, and what it is built on with the licence of each.
    for (const char* parte :
         {"NEMOR", "Versión 2015", "© 2026 Equipo de NEMOR", "Qt Base y Qt Print Support, con licencia GNU LGPL v3",
          "Qt SVG, con licencia GNU LGPL v3", "Qt Charts, con licencia GNU GPL v3"})
        EXPECT_TRUE(texto.contains(QString::fromUtf8(parte))) << parte;
    EXPECT_FALSE(AboutBox->isVisible());
}

TEST(Dibujo, Hints)
{
    TArbol v;
    v.show();
    Arbol& a = v.arbol();
    a.Raiz().Tipo = NodoDecision;
    const uint16_t n = a.NuevoHijo(0, NodoTerminal, 300, 200);
    const auto r = v.tapiz->RectsEtiquetas(n);
    struct Caso {
        QPoint punto;
        QString hint;
    };
    const Caso casos[] = {
        {Centro(*a.Nodo(n)), QStringLiteral("Nodo 1")},
        {r[EGanancia].center(), QStringLiteral("Ganancia Nodo 1")},
        {Centro(a.Raiz()), QStringLiteral("Nodo 0")},
        {QPoint(900, 900), QString()},
    };
    for (const Caso& c : casos) {
        QToolTip::hideText(); // hidden after a short delay
        Espera(400);
        ASSERT_FALSE(QToolTip::isVisible());
        QHelpEvent e(QEvent::ToolTip, c.punto, v.tapiz->mapToGlobal(c.punto));
        QApplication::sendEvent(v.tapiz, &e);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), c.hint) << c.punto.x() << "," << c.punto.y();
    }
    QToolTip::hideText();
}

// The check paints a chance node with a bad sum red before it asks whether to
// go on: while the question is on screen, the window already shows the red
// circle it speaks of, not the green one of before.
TEST(Dibujo, ElNodoRojoSeVeMientrasSePregunta)
{
    TArbol v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    Arbol& a = v.arbol();
    a.Raiz().Tipo = NodoDecision;
    const uint16_t azar = a.NuevoHijo(0, NodoAzar, 200, 200);
    for (double p : {0.5, 0.4})
        a.Nodo(a.NuevoHijo(azar, NodoTerminal, 400, p > 0.45 ? 150 : 250))->Probabilidad = p;
    // What the window holds on screen, not a fresh rendering of the tree.
    auto enPantalla = [&] {
        const QPoint p = v.tapiz->mapTo(&v, Centro(*a.Nodo(azar)));
        return v.screen()->grabWindow(v.winId(), p.x(), p.y(), 1, 1).toImage().pixelColor(0, 0);
    };
    v.Refresca();
    Espera(50);
    ASSERT_EQ(enPantalla(), AQColor(a.ColorAzar));

    QString pregunta;
    QColor alPreguntar;
    AlAbrirseModal([&](QWidget* w) {
        auto* caja = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(caja, nullptr);
        pregunta = caja->text();
        alPreguntar = enPantalla();
        caja->button(QMessageBox::No)->click();
    });
    v.TBCalcular->trigger();
    EXPECT_EQ(pregunta, QString::fromUtf8(kPreguntaSumas));
    EXPECT_EQ(alPreguntar, QColor(255, 0, 0));
}

TEST(Dibujo, CapturaDeUnArbolPequenyo)
{
    TArbol v;
    Arbol& a = v.arbol();
    a.opciones.CheckBoxNumNodosVisibles = true;
    a.SituarNodo(0, 20, 200);
    a.Raiz().Tipo = NodoDecision;
    a.Raiz().EtiquetaValor.Caption = "45";
    const uint16_t azar = a.NuevoHijo(0, NodoAzar, 170, 110);
    const uint16_t malo = a.NuevoHijo(0, NodoAzar, 170, 300);
    TNodo& na = *a.Nodo(azar);
    na.Elegido = true;
    na.Texto = na.EtiquetaTexto.Caption = "Lanzar";
    na.EtiquetaValor.Caption = "45";
    na.EtiquetaGanancia.Caption = "-5";
    const uint16_t t1 = a.NuevoHijo(azar, NodoTerminal, 330, 60);
    const uint16_t t2 = a.NuevoHijo(azar, NodoTerminal, 330, 160);
    for (auto [n, texto, g, p] : {std::tuple{t1, "Éxito", "100", "0,5"}, std::tuple{t2, "Fracaso", "0", "0,5"}}) {
        TNodo& t = *a.Nodo(n);
        t.Texto = t.EtiquetaTexto.Caption = texto;
        t.EtiquetaGanancia.Caption = g;
        t.EtiquetaProbabilidad.Caption = p;
    }
    TNodo& nm = *a.Nodo(malo);
    nm.SumaErronea = true;
    nm.Texto = nm.EtiquetaTexto.Caption = "Esperar";
    nm.Comentario = "Suma 0,9\t";
    nm.MarcaVisible = true;
    a.NuevoHijo(malo, NodoTerminal, 330, 260);
    a.NuevoHijo(malo, NodoTerminal, 330, 340);
    a.Archivo.Caption = "ejemplo.nmr";
    v.AjustaTapiz();

    QImage img(520, 420, QImage::Format_RGB32);
    {
        QPainter p(&img);
        PintaArbol(p, a, img.rect(), v.tapiz->Medidor());
    }
    const QByteArray carpeta = qgetenv("NEMOR_CAPTURAS");
    if (!carpeta.isEmpty()) {
        EXPECT_TRUE(img.save(QString::fromLocal8Bit(carpeta) + QStringLiteral("/arbol_pequenyo.png")));
    }

    // The chance node with a bad sum is red, the other green; the root is a decision square.
    EXPECT_EQ(img.pixelColor(Centro(nm)), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(Centro(na)), AQColor(a.ColorAzar));
    EXPECT_EQ(img.pixelColor(Centro(a.Raiz())), AQColor(a.ColorDecision));
    EXPECT_EQ(img.pixelColor(Centro(*a.Nodo(t1))), AQColor(a.ColorTerminal));
    // The chosen branch's stub is drawn with the chosen pen, the others black.
    const QPoint stubElegido(na.Figura.Left - 30, na.Figura.Top + 15);
    EXPECT_EQ(img.pixelColor(stubElegido), AQColor(a.ColorElegido));
    // Two pixels wide.
    EXPECT_TRUE(img.pixelColor(stubElegido + QPoint(0, 1)) == AQColor(a.ColorElegido) ||
                img.pixelColor(stubElegido - QPoint(0, 1)) == AQColor(a.ColorElegido));
    EXPECT_EQ(img.pixelColor(nm.Figura.Left - 30, nm.Figura.Top + 15), QColor(Qt::black));
    // The comment mark fills the top-right corner.
    EXPECT_EQ(img.pixelColor(nm.Figura.Right() - 2, nm.Figura.Top + 1), AQColor(a.ColorComentario));
}

} // namespace
