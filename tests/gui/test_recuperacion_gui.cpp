#include "Modal.h"

#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "drawing/OpcionU.h"
#include "editor/REMain.h"
#include "tree/Ayuda.h"
#include "common/Ini.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"
#include "tree/Historia.h"
#include "tree/RecuperacionU.h"

#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Each test with a data folder (and settings file) of its own, as a user's.
struct CopiaDeRecuperacion : ::testing::Test {
    CarpetaTemporal dir;
    std::string datos = dir.Ruta("datos");
    std::string carpeta = datos + "/NEMOR/recuperacion";
    QByteArray datosPrevios = qgetenv("XDG_DATA_HOME");

    CopiaDeRecuperacion() { qputenv("XDG_DATA_HOME", QByteArray::fromStdString(datos)); }
    ~CopiaDeRecuperacion() override { qputenv("XDG_DATA_HOME", datosPrevios); }

    // The tree files among the copies (not those kept aside).
    std::vector<std::string> Copias() const
    {
        std::vector<std::string> r;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(carpeta, ec))
            if (e.is_regular_file() && e.path().extension() == ".nmr")
                r.push_back(e.path().filename().string());
        return r;
    }

    // A copy left by a program that has ended: a tree under ruta whose
    // variables list is linea. Its name, without extension.
    std::string Abandona(const std::string& ruta, const std::string& linea, uint64_t desfase)
    {
        Proceso antes = ProcesoActual();
        antes.Inicio += desfase; // the same id, another process
        Recuperacion r(carpeta, antes);
        Arbol a;
        EmpiezaArbolVacio(a);
        Historia h(a);
        a.NombreFichero = ruta;
        h.Ejecuta(kPasoVariables, [&] { a.Variables.push_back(linea); });
        EXPECT_TRUE(r.Escribe(a));
        r.Espera();
        EXPECT_FALSE(r.TomaError());
        return fs::path(r.RutaCopia()).stem().string();
    }
};

// The row of the dialog whose copy is of the tree ruta.
TFormRecuperacion::Fila* FilaDe(TFormRecuperacion& d, const std::string& ruta)
{
    for (auto& f : d.Filas)
        if (f.Copia.RutaOriginal == ruta)
            return &f;
    ADD_FAILURE() << "no hay fila para " << ruta;
    return nullptr;
}

// What a user counts on: a tree changed and never saved, the program killed
// with SIGKILL, the next start offers the copy; "Recuperar" gives back the
// tree under its path with the editor's text, and "&Guardar" writes the
// change into the user's file.
TEST_F(CopiaDeRecuperacion, UnArbolSinGuardarSobreviveAKill9)
{
    const std::string ruta = dir.Ruta("inversión.nmr");
    {
        Arbol b;
        EmpiezaArbolVacio(b);
        EscribeArbol(b, ruta);
    }
    {
        FicheroIni ini(dir.Ruta("NEMOR.ini"));
        ini.EscribeEntero("Varios", "IntervaloRecuperacion", 1);
    }
    QProcess hijo;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    entorno.insert(QStringLiteral("NEMOR_INI"), QString::fromStdString(dir.Ruta("NEMOR.ini")));
    entorno.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(datos));
    hijo.setProcessEnvironment(entorno);
    hijo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    hijo.start(QStringLiteral(NEMOR_HIJO),
               {QString::fromStdString(ruta), QStringLiteral("GANANCIA = 1234"), QStringLiteral("notas sin guardar")});
    ASSERT_TRUE(hijo.waitForStarted(10000));
    QByteArray salida;
    for (int i = 0; i < 300 && !salida.contains("copia") && hijo.state() == QProcess::Running; ++i) {
        hijo.waitForReadyRead(100);
        salida += hijo.readAllStandardOutput();
    }
    ASSERT_TRUE(salida.contains("copia")) << salida.toStdString();
    ::kill(static_cast<pid_t>(hijo.processId()), SIGKILL);
    ASSERT_TRUE(hijo.waitForFinished(10000));
    EXPECT_EQ(hijo.exitStatus(), QProcess::CrashExit);
    // The user's file is as it was.
    EXPECT_EQ(AnalizaArbol(Lee(ruta), false).Variables, std::vector<std::string>{});

    Programa programa;
    QString rutaMostrada;
    AlAbrirseModal([&](QWidget* w) {
        auto* d = qobject_cast<TFormRecuperacion*>(w);
        if (!d || d->Filas.size() != 1) {
            ADD_FAILURE() << "se esperaba el diálogo con una copia";
            w->close();
            return;
        }
        rutaMostrada = d->Filas[0].Ruta->toolTip();
        d->Filas[0].Recuperar->click();
    });
    programa.OfreceRecuperacion();
    EXPECT_EQ(rutaMostrada, QString::fromStdString(ruta));

    const Arbol& a = programa.Principal().arbol();
    EXPECT_EQ(a.Variables, std::vector<std::string>{"GANANCIA = 1234"});
    EXPECT_EQ(a.NombreFichero, ruta);
    EXPECT_TRUE(a.SinGuardar());
    EXPECT_EQ(FormEditor->Editor->toPlainText(), QStringLiteral("notas sin guardar"));
    EXPECT_TRUE(FormEditor->Editor->document()->isModified());

    programa.Principal().FileSaveItemClick();
    EXPECT_EQ(AnalizaArbol(Lee(ruta), false).Variables, std::vector<std::string>{"GANANCIA = 1234"});
    EXPECT_TRUE(Copias().empty());
}

// One dialog for every copy left behind: "Descartar" (asked first) removes
// one, "Más tarde" keeps one for the next start, "Recuperar" opens one, and
// a damaged copy is reported and kept aside. The dialog closes once every
// copy has been dealt with.
TEST_F(CopiaDeRecuperacion, ElDialogoYSusTresOpciones)
{
    const std::string uno = dir.Ruta("uno.nmr"), dos = dir.Ruta("dos.nmr"), tres = dir.Ruta("tres.nmr");
    const std::string nombreUno = Abandona(uno, "UNO = 1", 1);
    const std::string nombreDos = Abandona(dos, "DOS = 2", 2);
    Abandona(tres, "TRES = 3", 3);
    const std::string danyada = Abandona(dir.Ruta("mala.nmr"), "MALA = 4", 4);
    EscribeFicheroSeguro(carpeta + "/" + danyada + ".registro", "basura");

    Programa programa;
    struct Visto {
        size_t filas = 0;
        QString danyadas;
        QStringList preguntas;
        QString estadoUno, estadoDos;
        bool sigueTrasNo = false;
        bool abierto = false;
    } visto;
    AlAbrirseModal([&](QWidget* w) {
        auto* d = qobject_cast<TFormRecuperacion*>(w);
        if (!d) {
            ADD_FAILURE() << "se esperaba el diálogo de recuperación";
            w->close();
            return;
        }
        visto.filas = d->Filas.size();
        visto.danyadas = d->Danyadas->isVisibleTo(d) ? d->Danyadas->text() : QString();
        TFormRecuperacion::Fila* fUno = FilaDe(*d, uno);
        TFormRecuperacion::Fila* fDos = FilaDe(*d, dos);
        TFormRecuperacion::Fila* fTres = FilaDe(*d, tres);
        if (!fUno || !fDos || !fTres) {
            d->reject();
            return;
        }
        QString pregunta;
        Responde(QMessageBox::No, &pregunta);
        fUno->Descartar->click();
        visto.preguntas << pregunta;
        visto.sigueTrasNo = !fUno->Hecha && fs::exists(carpeta + "/" + nombreUno + ".nmr");
        Responde(QMessageBox::Yes, &pregunta);
        fUno->Descartar->click();
        visto.preguntas << pregunta;
        fDos->MasTarde->click();
        visto.estadoUno = fUno->Estado->text();
        visto.estadoDos = fDos->Estado->text();
        fTres->Recuperar->click();
        visto.abierto = d->isVisible();
    });
    programa.OfreceRecuperacion();

    EXPECT_EQ(visto.filas, 3u);
    EXPECT_TRUE(visto.danyadas.startsWith(QStringLiteral("La copia de recuperación «") + QString::fromStdString(danyada)))
        << visto.danyadas.toStdString();
    EXPECT_TRUE(visto.danyadas.contains(QStringLiteral("está dañada"))) << visto.danyadas.toStdString();
    EXPECT_TRUE(fs::exists(carpeta + "/apartadas/" + danyada + ".registro"));
    ASSERT_EQ(visto.preguntas.size(), 2);
    EXPECT_EQ(visto.preguntas[0], QStringLiteral("¿Desea descartar la copia de recuperación de «") +
                                      QString::fromStdString(uno) +
                                      QStringLiteral("»? Los cambios que guarda se perderán."));
    EXPECT_TRUE(visto.sigueTrasNo);
    EXPECT_EQ(visto.estadoUno, QStringLiteral("Descartada"));
    EXPECT_EQ(visto.estadoDos, QStringLiteral("Se ofrecerá de nuevo"));
    EXPECT_FALSE(visto.abierto);

    const Arbol& a = programa.Principal().arbol();
    EXPECT_EQ(a.Variables, std::vector<std::string>{"TRES = 3"});
    EXPECT_EQ(a.NombreFichero, tres);
    // Left: the one for later, and the recovered tree's, now this program's own.
    std::vector<std::string> quedan = Copias();
    std::sort(quedan.begin(), quedan.end());
    std::vector<std::string> esperadas = {
        nombreDos + ".nmr", fs::path(programa.Recuperacion().Copias().RutaCopia()).filename().string()};
    std::sort(esperadas.begin(), esperadas.end());
    EXPECT_EQ(quedan, esperadas);

    // With nothing left behind by a program that has ended, nothing is shown:
    // the recovered tree's copy is this running program's.
    CopiaRecuperacion paraLuego;
    paraLuego.Nombre = nombreDos;
    programa.Recuperacion().Copias().Descarta(paraLuego);
    bool mostrado = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            mostrado = true;
            w->close();
        }
    });
    programa.OfreceRecuperacion();
    Espera(50);
    EXPECT_FALSE(mostrado);
}

// The timer writes the copy after a change, never more often than the
// option says, and stops when there is nothing new; the document commands and
// a normal exit take the copy away; 0 in "Varios" turns copies off.
TEST_F(CopiaDeRecuperacion, LaCopiaSigueAlDocumento)
{
    const std::string ruta = dir.Ruta("arbol.nmr");
    {
        Arbol b;
        EmpiezaArbolVacio(b);
        EscribeArbol(b, ruta);
    }
    Programa programa(QStringList{QString::fromStdString(ruta)});
    TArbol& v = programa.Principal();
    TRecuperacion& rec = programa.Recuperacion();
    auto cambia = [&](const std::string& linea) {
        v.documento().Ejecuta(kPasoVariables, [&] { v.arbol().Variables.push_back(linea); });
    };
    auto tic = [&] {
        rec.TemporizadorTimer();
        rec.Copias().Espera();
    };
    const std::string copia = rec.Copias().RutaCopia();

    EXPECT_FALSE(rec.Temporizador->isActive());
    cambia("A = 1");
    ASSERT_TRUE(rec.Temporizador->isActive());
    EXPECT_EQ(rec.Temporizador->interval(), 30000);
    // More changes do not put the copy off.
    const auto antes = rec.Temporizador->remainingTime();
    Espera(30);
    cambia("B = 2");
    EXPECT_LT(rec.Temporizador->remainingTime(), antes);
    tic();
    EXPECT_EQ(AnalizaArbol(Lee(copia), false).Variables, (std::vector<std::string>{"A = 1", "B = 2"}));
    EXPECT_TRUE(rec.Temporizador->isActive());
    tic(); // nothing new: the timer waits for the next change
    EXPECT_FALSE(rec.Temporizador->isActive());

    struct Caso {
        const char* que;
        std::function<void()> orden;
    };
    const Caso casos[] = {
        {"&Guardar", [&] { v.FileSaveItemClick(); }},
        {"&Nuevo",
         [&] {
             Responde(QMessageBox::No);
             v.FileNew();
         }},
        // A tree of one node is replaced without a question.
        {"un fichero reciente", [&] { v.F1Click(); }},
        {"&Salir tras la pregunta",
         [&] {
             Responde(QMessageBox::No);
             v.FileExit();
         }},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.que);
        cambia(c.que);
        tic();
        ASSERT_TRUE(ExisteFichero(copia));
        c.orden();
        EXPECT_FALSE(ExisteFichero(copia));
        EXPECT_FALSE(ExisteFichero(rec.Copias().RutaRegistro()));
    }

    // "Nunca" in "Varios": the copy goes at once and none is written.
    v.show();
    cambia("C = 3");
    tic();
    ASSERT_TRUE(ExisteFichero(copia));
    TOpciones* opciones = FormOpciones;
    AlAbrirseModal([&](QWidget*) {
        opciones->PageControl1->setCurrentWidget(opciones->findChild<QWidget*>(QStringLiteral("TabVarios")));
        opciones->IntervaloRecuperacion->setValue(0);
        EXPECT_EQ(opciones->IntervaloRecuperacion->text(), QStringLiteral("Nunca"));
        opciones->BitBtn4->click();
    });
    v.Impresin1Click();
    EXPECT_FALSE(ExisteFichero(copia));
    cambia("D = 4");
    EXPECT_FALSE(rec.Temporizador->isActive());
    tic();
    EXPECT_FALSE(ExisteFichero(copia));
    EXPECT_EQ(FicheroIni(dir.Ruta("NEMOR.ini")).LeeEntero("Varios", "IntervaloRecuperacion", 30), 0);

    // On again, at its own pace.
    AlAbrirseModal([&](QWidget*) {
        opciones->IntervaloRecuperacion->setValue(5);
        opciones->BitBtn4->click();
    });
    v.Impresin1Click();
    ASSERT_TRUE(rec.Temporizador->isActive());
    EXPECT_EQ(rec.Temporizador->interval(), 5000);
    tic();
    EXPECT_TRUE(ExisteFichero(copia));
}

// A copy that cannot be written is reported once, without stopping the
// user, and tried again at every tick until it is written.
TEST_F(CopiaDeRecuperacion, UnFalloAlEscribirSeAvisaUnaVez)
{
    EscribeFicheroSeguro(datos, "un fichero donde iría la carpeta");
    Programa programa;
    TArbol& v = programa.Principal();
    TRecuperacion& rec = programa.Recuperacion();
    v.show();
    v.documento().Ejecuta(kPasoVariables, [&] { v.arbol().Variables.push_back("A = 1"); });
    auto avisos = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("AvisoRecuperacion") && w->isVisible())
                ++n;
        return n;
    };
    for (int i = 0; i < 3; ++i) {
        rec.TemporizadorTimer();
        rec.Copias().Espera();
    }
    EXPECT_EQ(avisos(), 1);
    EXPECT_TRUE(rec.Temporizador->isActive());
    // No modal box: the program goes on taking the user's commands.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    fs::remove(datos);
    rec.TemporizadorTimer();
    rec.Copias().Espera();
    EXPECT_TRUE(ExisteFichero(rec.Copias().RutaCopia()));
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("AvisoRecuperacion"))
            w->close();
}

} // namespace
