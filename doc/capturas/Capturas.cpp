// Renders the manual's pictures from the program itself: the real windows,
// opened on the samples, painted offscreen. Run through doc/capturas.sh.
//   capturas_manual CARPETA_DE_IMAGENES CARPETA_DE_EJEMPLOS
#include "analysis/GraficoHistoricoUnit.h"
#include "analysis/PerfilRiesgoUnit.h"
#include "analysis/TornadoUnit.h"
#include "analysis/Variacion.h"
#include "analysis/VariacionUnit.h"
#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "drawing/OpcionU.h"
#include "drawing/TreeUnit.h"
#include "editor/REMain.h"
#include "tree/DatoU.h"
#include "tree/FicheroArbol.h"
#include "variables/VarUnit.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

#include <iostream>

namespace {

QString carpeta;
int fallos = 0;

void Espera()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void Guarda(QWidget* w, const char* nombre)
{
    Espera();
    const QString ruta = carpeta + QLatin1Char('/') + QLatin1String(nombre) + QStringLiteral(".png");
    if (!w->grab().save(ruta)) {
        std::cerr << "no se ha podido guardar " << ruta.toStdString() << '\n';
        ++fallos;
        return;
    }
    std::cout << ruta.toStdString() << '\n';
}

// Reads a sample into the main window's tree without the questions a user
// would be asked (save the current tree?) and without the editor's document.
class SinPreguntas : public IUsuario {
public:
    Respuesta Pregunta(const std::string&, const std::string&, Botones, Icono) override { return Respuesta::No; }
    bool PideTexto(const std::string&, const std::string&, std::string&) override { return false; }
    void Error(const std::string& texto) override
    {
        std::cerr << texto << '\n';
        ++fallos;
    }
    void Mensaje(const std::string&, const std::string& texto, Icono) override { std::cerr << texto << '\n'; }
    std::optional<std::string> AbrirFichero(const DialogoFichero&) override { return std::nullopt; }
    std::optional<std::string> GuardarFichero(const DialogoFichero&) override { return std::nullopt; }
    void ProgresoMostrar(const std::string&) override {}
    void ProgresoPosicion(int) override {}
    void ProgresoOcultar() override {}
};

void Lee(TArbol& v, const QString& ruta)
{
    SinPreguntas u;
    Arbol& a = v.arbol();
    IUsuario* antes = a.usuario;
    a.usuario = &u;
    Protegido([&] { LeerArbol(a, ruta.toStdString()); });
    a.usuario = antes;
    v.Refresca();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TAplicacion app(argc, argv);
    if (argc != 3) {
        std::cerr << "uso: capturas_manual CARPETA_DE_IMAGENES CARPETA_DE_EJEMPLOS\n";
        return 2;
    }
    carpeta = QString::fromLocal8Bit(argv[1]);
    const QString ejemplos = QString::fromLocal8Bit(argv[2]);

    Programa programa;
    TArbol& v = *FormArbol;
    v.resize(1000, 620);
    v.show();
    Protegido([&] { v.AbreArgumento(ejemplos + QStringLiteral("/petroleo.nmr")); });
    v.BCalcula2Click();
    // Two steps smaller, so that most of the tree shows.
    v.TBMenosClick();
    v.TBMenosClick();
    Guarda(&v, "ventana-principal");
    v.ToolButton3Click();

    // The node menu of the test's chance node, as a right click opens it.
    v.NodoMenu = 1;
    v.PopupMenuTriPopup();
    v.PopupMenuTri->popup(v.mapToGlobal(QPoint(200, 200)));
    Guarda(v.PopupMenuTri, "menu-nodo");
    v.PopupMenuTri->hide();

    FormVar->resize(520, 420);
    FormVar->show();
    Guarda(FormVar, "variables");
    FormVar->hide();

    FormDato->Label1->setText(QStringLiteral("Probabilidad"));
    FormDato->ComboBox1->clear();
    for (const auto& l : v.arbol().Variables)
        if (!l.empty() && l[0] != '!' && QString::fromUtf8(l).toUpper().indexOf(QStringLiteral("BAYES")) < 0)
            FormDato->ComboBox1->addItem(QString::fromUtf8(l));
    for (int i = 0; i < FormDato->ComboBox1->count(); ++i)
        if (FormDato->ComboBox1->itemText(i).startsWith(QStringLiteral("P(Seco/Cerrada)")))
            FormDato->ComboBox1->setEditText(FormDato->ComboBox1->itemText(i));
    FormDato->show();
    Guarda(FormDato, "dato");
    FormDato->hide();

    FormVariacion->show();
    FormVariacion->ComboBox1->setEditText(QStringLiteral("CostePrueba = -10"));
    FormVariacion->Desde->setText(QStringLiteral("-30"));
    FormVariacion->Hasta->setText(QStringLiteral("0"));
    FormVariacion->Incremento->setText(QStringLiteral("2"));
    Guarda(FormVariacion, "variacion");
    FormVariacion->hide();

    ParametrosVariacion p;
    p.Linea = "CostePrueba = -10";
    p.Desde = "-30";
    p.Hasta = "0";
    p.Incremento = "2";
    Protegido([&] { EjecutaVariaciones(v.arbol(), p, *FormHistorico); });
    FormHistorico->show();
    Guarda(FormHistorico, "resultados");
    FormHistorico->hide();
    v.BCalcula2Click();

    FormOpciones->show();
    Guarda(FormOpciones, "opciones");
    FormOpciones->PageControl1->setCurrentIndex(3);
    Guarda(FormOpciones, "opciones-precision");
    FormOpciones->PageControl1->setCurrentIndex(0);
    FormOpciones->hide();

    TreeAD->show();
    TreeAD->SpeedButton1->click();
    Guarda(TreeAD, "esquema");
    TreeAD->hide();

    FormEditor->resize(760, 460);
    FormEditor->show();
    FormEditor->Editor->setHtml(QStringLiteral(
        "<h2>Sondeo en el campo norte</h2><p>El árbol recomienda <b>hacer la prueba sísmica</b>: su valor "
        "esperado, 22,51, supera los 20 de perforar sin ella.</p><ul><li>Con estructura cerrada, perforar."
        "</li><li>Sin estructura, no perforar.</li></ul>"));
    Guarda(FormEditor, "editor");
    FormEditor->hide();

    // The risk profile of the investment: the root, then its three alternatives side by side.
    Lee(v, ejemplos + QStringLiteral("/inversion.nmr"));
    v.PerfilRiesgo1->trigger();
    Guarda(FormPerfil, "perfil-riesgo");
    FormPerfil->CheckBoxAlternativas->click();
    Guarda(FormPerfil, "perfil-alternativas");
    FormPerfil->CheckBoxAlternativas->click();
    FormPerfil->hide();

    // The same tree solved for a decision maker averse to risk, R = 500: the bonds win.
    v.arbol().opciones.CriterioRiesgo = CriterioUtilidad;
    v.arbol().opciones.EToleranciaRiesgo = "500";
    v.BCalcula2Click();
    Guarda(&v, "riesgo-inversion");
    v.arbol().opciones.CriterioRiesgo = CriterioValorEsperado;
    v.arbol().opciones.EToleranciaRiesgo = "1000";
    v.BCalcula2Click();

    // The tab as the example sets it.
    FormOpciones->show();
    FormOpciones->PageControl1->setCurrentWidget(FormOpciones->findChild<QWidget*>(QStringLiteral("TabRiesgo")));
    FormOpciones->CriterioRiesgo->button(CriterioUtilidad)->setChecked(true);
    FormOpciones->EToleranciaRiesgo->setText(QStringLiteral("500"));
    Guarda(FormOpciones, "opciones-riesgo");
    FormOpciones->CriterioRiesgo->button(CriterioValorEsperado)->setChecked(true);
    FormOpciones->EToleranciaRiesgo->setText(QStringLiteral("1000"));
    FormOpciones->PageControl1->setCurrentIndex(0);
    FormOpciones->hide();
    v.arbol().opciones.CriterioRiesgo = CriterioValorEsperado;

    // The launch at 20 %: a low price changes the choice, and its bar says so.
    Lee(v, ejemplos + QStringLiteral("/lanzamiento.nmr"));
    FormTornado->EditPorcentaje->setValue(20);
    v.Tornado1->trigger();
    Guarda(FormTornado, "tornado");
    FormTornado->PageControl1->setCurrentIndex(1);
    Guarda(FormTornado, "arana");
    FormTornado->PageControl1->setCurrentIndex(0);
    FormTornado->EditPorcentaje->setValue(10);
    FormTornado->hide();

    // The progress of a long sweep, halfway.
    {
        TFormProgresoVariacion progreso("CostePrueba", &v);
        ProgresoVariacion p;
        p.Puntos = 412873;
        p.X = -18.2873;
        p.Fraccion = 0.39;
        progreso.Muestra(p);
        Guarda(&progreso, "variacion-progreso");
        progreso.hide();
    }

    return fallos == 0 ? 0 : 1;
}
