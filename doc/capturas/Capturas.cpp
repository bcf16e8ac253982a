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
#include "tree/Documento.h"
#include "tree/RecuperacionU.h"
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

#include <cstdlib>
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
    Protegido([&] { v.documento().EjecutaSinPaso([&] { LeerArbol(a, ruta.toStdString()); }); });
    a.usuario = antes;
}

// The program's window of that class, as the start-up made it.
template <class T>
T* Ventana()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w))
            return t;
    std::cerr << "no hay ventana " << T::staticMetaObject.className() << '\n';
    std::exit(1);
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
    TArbol& v = programa.Principal();
    auto* dato = Ventana<TFormDato>();
    auto* variacion = Ventana<TFormVariacion>();
    auto* var = Ventana<TFormVar>();
    auto* opciones = Ventana<TOpciones>();
    auto* esquema = Ventana<TTreeAD>();
    auto* historico = Ventana<TFormHistorico>();
    auto* editor = Ventana<TFormEditor>();
    auto* perfil = Ventana<TFormPerfil>();
    auto* tornado = Ventana<TFormTornado>();

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

    var->resize(520, 420);
    var->show();
    Guarda(var, "variables");
    var->hide();

    dato->Label1->setText(QStringLiteral("Probabilidad"));
    dato->ComboBox1->clear();
    for (const auto& l : v.arbol().Variables)
        if (!l.empty() && l[0] != '!' && QString::fromUtf8(l).toUpper().indexOf(QStringLiteral("BAYES")) < 0)
            dato->ComboBox1->addItem(QString::fromUtf8(l));
    for (int i = 0; i < dato->ComboBox1->count(); ++i)
        if (dato->ComboBox1->itemText(i).startsWith(QStringLiteral("P(Seco/Cerrada)")))
            dato->ComboBox1->setEditText(dato->ComboBox1->itemText(i));
    dato->show();
    Guarda(dato, "dato");
    dato->hide();

    variacion->show();
    variacion->ComboBox1->setEditText(QStringLiteral("CostePrueba = -10"));
    variacion->Desde->setText(QStringLiteral("-30"));
    variacion->Hasta->setText(QStringLiteral("0"));
    variacion->Incremento->setText(QStringLiteral("2"));
    Guarda(variacion, "variacion");
    variacion->hide();

    ParametrosVariacion p;
    p.Linea = "CostePrueba = -10";
    p.Desde = "-30";
    p.Hasta = "0";
    p.Incremento = "2";
    Protegido([&] { EjecutaVariaciones(v.arbol(), p, *historico); });
    historico->show();
    Guarda(historico, "resultados");
    historico->hide();
    v.BCalcula2Click();

    opciones->show();
    Guarda(opciones, "opciones");
    opciones->PageControl1->setCurrentIndex(3);
    Guarda(opciones, "opciones-precision");
    opciones->PageControl1->setCurrentIndex(0);
    opciones->hide();

    esquema->show();
    esquema->SpeedButton1->click();
    Guarda(esquema, "esquema");
    esquema->hide();

    editor->resize(760, 460);
    editor->show();
    editor->Editor->setHtml(QStringLiteral(
        "<h2>Sondeo en el campo norte</h2><p>El árbol recomienda <b>hacer la prueba sísmica</b>: su valor "
        "esperado, 22,51, supera los 20 de perforar sin ella.</p><ul><li>Con estructura cerrada, perforar."
        "</li><li>Sin estructura, no perforar.</li></ul>"));
    Guarda(editor, "editor");
    editor->hide();

    // The risk profile of the investment: the root, then its three alternatives side by side.
    Lee(v, ejemplos + QStringLiteral("/inversion.nmr"));
    v.PerfilRiesgo1->trigger();
    Guarda(perfil, "perfil-riesgo");
    perfil->CheckBoxAlternativas->click();
    Guarda(perfil, "perfil-alternativas");
    perfil->CheckBoxAlternativas->click();
    perfil->hide();

    // The same tree solved for a decision maker averse to risk, R = 500: the bonds win.
    v.arbol().opciones.CriterioRiesgo = CriterioUtilidad;
    v.arbol().opciones.EToleranciaRiesgo = "500";
    v.BCalcula2Click();
    Guarda(&v, "riesgo-inversion");
    v.arbol().opciones.CriterioRiesgo = CriterioValorEsperado;
    v.arbol().opciones.EToleranciaRiesgo = "1000";
    v.BCalcula2Click();

    // The tab as the example sets it.
    opciones->show();
    opciones->PageControl1->setCurrentWidget(opciones->findChild<QWidget*>(QStringLiteral("TabRiesgo")));
    opciones->CriterioRiesgo->button(CriterioUtilidad)->setChecked(true);
    opciones->EToleranciaRiesgo->setText(QStringLiteral("500"));
    Guarda(opciones, "opciones-riesgo");
    opciones->CriterioRiesgo->button(CriterioValorEsperado)->setChecked(true);
    opciones->EToleranciaRiesgo->setText(QStringLiteral("1000"));
    opciones->PageControl1->setCurrentIndex(0);
    opciones->hide();
    v.arbol().opciones.CriterioRiesgo = CriterioValorEsperado;

    // The launch at 20 %: a low price changes the choice, and its bar says so.
    Lee(v, ejemplos + QStringLiteral("/lanzamiento.nmr"));
    tornado->EditPorcentaje->setValue(20);
    v.Tornado1->trigger();
    Guarda(tornado, "tornado");
    tornado->PageControl1->setCurrentIndex(1);
    Guarda(tornado, "arana");
    tornado->PageControl1->setCurrentIndex(0);
    tornado->EditPorcentaje->setValue(10);
    tornado->hide();

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

    // The start after a crash: two copies, one of them with the editor's text.
    {
        CopiasAbandonadas h;
        const std::time_t ahora = std::time(nullptr);
        CopiaRecuperacion titulada;
        titulada.Nombre = "copia-1-1-00000000";
        titulada.RutaOriginal = (ejemplos + QStringLiteral("/petroleo.nmr")).toStdString();
        titulada.Hora = ahora - 120;
        titulada.Editor = TextoEditor{"", "notas"};
        CopiaRecuperacion sinTitulo;
        sinTitulo.Nombre = "copia-1-1-00000001";
        sinTitulo.Hora = ahora - 3600;
        h.Copias = {titulada, sinTitulo};
        TFormRecuperacion dialogo(v.documento(), programa.Recuperacion().Copias(), h, &v);
        dialogo.show();
        Guarda(&dialogo, "recuperacion");
        dialogo.hide();
    }

    return fallos == 0 ? 0 : 1;
}
