#include "app/ArbolU.h"

#include "analysis/GraficoHistoricoUnit.h"
#include "analysis/PerfilRiesgoUnit.h"
#include "analysis/Rollback.h"
#include "analysis/TornadoUnit.h"
#include "app/Aplicacion.h"
#include "analysis/Variacion.h"
#include "analysis/VariacionUnit.h"
#include "app/AboutU.h"
#include "app/Aplicacion.h"
#include "app/AyudaU.h"
#include "app/Iconos.h"
#include "app/MenuNodo.h"
#include "app/Ventanas.h"
#include "drawing/ConversionQt.h"
#include "drawing/FormatoEtiqueta.h"
#include "drawing/OpcionU.h"
#include "drawing/Paginas.h"
#include "drawing/PrevisualizarU.h"
#include "drawing/Tapiz.h"
#include "drawing/TreeUnit.h"
#include "editor/REMain.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"
#include "tree/NotaU.h"
#include "variables/VarUnit.h"
#include "variables/Variables.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <optional>

namespace {

QAction* Accion(QObject* dueno, const char* nombre, const QString& caption)
{
    auto* a = new QAction(caption, dueno);
    a->setObjectName(QString::fromLatin1(nombre));
    return a;
}

// Date and time as the desktop shows them; the time is left out at midnight.
QString FechaHora(const QDateTime& t)
{
    const QLocale l = QLocale::system();
    QString s = l.toString(t.date(), QLocale::ShortFormat);
    if (t.time() != QTime(0, 0)) {
        // The long time without the time zone Qt adds to it.
        QString formato = l.timeFormat(QLocale::LongFormat);
        formato.remove(QRegularExpression(QStringLiteral("\\s*\\(?t+\\)?")));
        s += QLatin1Char(' ') + l.toString(t.time(), formato.trimmed());
    }
    return s;
}

} // namespace

TArbol::TArbol(QWidget* parent) : QMainWindow(parent), usuario_(this)
{
    setObjectName(QStringLiteral("Arbol"));
    setWindowTitle(QStringLiteral("NEMOR"));
    setWindowIcon(Icono(QStringLiteral("nemor")));
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    // The size the window has before it is maximised: the first tree's root
    // is placed from it.
    resize(1024, 768);

    arbol_.usuario = &usuario_;
    // Painted now, not when the event loop comes round: the question's modal
    // box would keep the old picture on screen while the user decides.
    usuario_.AntesDePreguntar = [this] { tapiz->repaint(); };

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    PanelTapiz = new QWidget;
    PanelTapiz->setObjectName(QStringLiteral("PanelTapiz"));
    PanelTapiz->setAutoFillBackground(true);
    PanelTapiz->setPalette(p);
    PanelTapiz->resize(2972, 2960);
    tapiz = new Tapiz(arbol_, PanelTapiz);
    ScrollBox1->setWidget(PanelTapiz);
    setCentralWidget(ScrollBox1);
    AjustaTapiz();

    connect(tapiz, &Tapiz::FiguraMouseDown, this, &TArbol::FiguraMouseDown);
    connect(tapiz, &Tapiz::FiguraMouseMove, this, &TArbol::FiguraMouseMove);
    connect(tapiz, &Tapiz::FiguraMouseUp, this, &TArbol::FiguraMouseUp);
    connect(tapiz, &Tapiz::TapizMouseDown, this, &TArbol::TapizMouseDown);
    connect(tapiz, &Tapiz::TapizMouseMove, this, &TArbol::TapizMouseMove);
    connect(tapiz, &Tapiz::MarcaMouseMove, this, &TArbol::MarcaMouseMove);
    connect(tapiz, &Tapiz::MenuNodo, this, &TArbol::AbreMenuNodo);

    CreaMenus();
    CreaBarra();
    CreaMenuNodo();
    InstalaTeclaAyuda(this);

    // Start-up: the tool-bar states, the recent files and a new tree whose
    // only node is a terminal root.
    TB1->setChecked(true);
    TBVerVar->setChecked(true);
    Pegar1->setEnabled(false);
    CargaRecientes();
    arbol_.AltoVentana = height();
    FijaFormatoFechaHora([](std::time_t t) {
        return FechaHora(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(t))).toStdString();
    });
    EmpiezaArbolVacio(arbol_);
}

TArbol::~TArbol() = default;

void TArbol::CreaMenus()
{
    auto item = [this](QMenu* menu, const char* nombre, const QString& caption, void (TArbol::*slot)(),
                       const char* icono = nullptr) {
        QAction* a = Accion(this, nombre, caption);
        if (icono)
            a->setIcon(Icono(QString::fromLatin1(icono)));
        connect(a, &QAction::triggered, this, slot);
        menu->addAction(a);
        return a;
    };
    QMenuBar* barra = menuBar();
    barra->setObjectName(QStringLiteral("MainMenu"));

    FileMenu = barra->addMenu(QStringLiteral("&Archivo"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    FileNewItem = item(FileMenu, "FileNewItem", QStringLiteral("&Nuevo"), &TArbol::FileNew, "nuevo");
    FileOpenItem = item(FileMenu, "FileOpenItem", QStringLiteral("&Abrir.."), &TArbol::FileOpen, "abrir");
    FileSaveItem = item(FileMenu, "FileSaveItem", QStringLiteral("&Guardar"), &TArbol::FileSaveItemClick, "guardar");
    FileSaveAsItem = item(FileMenu, "FileSaveAsItem", QStringLiteral("Guardar &como..."), &TArbol::FileSaveAs);
    ExportarImagen1 = item(FileMenu, "ExportarImagen1", QStringLiteral("&Exportar imagen..."), &TArbol::ExportarImagen1Click);
    FileMenu->addSeparator();
    Pre1 = item(FileMenu, "Pre1", QStringLiteral("&Presentación preliminar"), &TArbol::Pre1Click, "preliminar");
    FileMenu->addSeparator();
    F1 = item(FileMenu, "F1", QString(), &TArbol::F1Click);
    F2 = item(FileMenu, "F2", QString(), &TArbol::F2Click);
    F3 = item(FileMenu, "F3", QString(), &TArbol::F3Click);
    F4 = item(FileMenu, "F4", QString(), &TArbol::F4Click);
    for (QAction* f : {F1, F2, F3, F4})
        f->setVisible(false);
    FileMenu->addSeparator();
    FileExitItem = item(FileMenu, "FileExitItem", QStringLiteral("&Salir"), &TArbol::FileExit, "salir");

    EditMenu = barra->addMenu(QStringLiteral("&Calcular"));
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    EditUndoItem = item(EditMenu, "EditUndoItem", QStringLiteral("&Calcular VEM"), &TArbol::BCalcula2Click, "calcular");
    Valoresacero1 = item(EditMenu, "Valoresacero1", QStringLiteral("&Valores a cero"), &TArbol::ValCeroClick, "acero");
    Vaiaciones1 = item(EditMenu, "Vaiaciones1", QStringLiteral("Va&riaciones ..."), &TArbol::Vaiaciones1Click,
                       "variaciones");
    EditMenu->addSeparator();
    PerfilRiesgo1 = item(EditMenu, "PerfilRiesgo1", QStringLiteral("&Perfil de riesgo ..."), &TArbol::PerfilRiesgo1Click);
    Tornado1 = item(EditMenu, "Tornado1", QStringLiteral("&Tornado ..."), &TArbol::Tornado1Click);

    Ver1 = barra->addMenu(QStringLiteral("&Ver"));
    Ver1->setObjectName(QStringLiteral("Ver1"));
    Variables2 = item(Ver1, "Variables2", QStringLiteral("&Variables"), &TArbol::Variables1Click, "variables");
    Ver1->addSeparator();
    Editor1 = item(Ver1, "Editor1", QStringLiteral("&Editor"), &TArbol::Editor1Click, "editor");
    Ver1->addSeparator();
    Aumentar1 = item(Ver1, "Aumentar1", QStringLiteral("&Aumentar"), &TArbol::TBMasClick, "aumentar");
    Disminuir1 = item(Ver1, "Disminuir1", QStringLiteral("&Disminuir"), &TArbol::TBMenosClick, "reducir");
    Tamaooriginal1 = item(Ver1, "Tamaooriginal1", QStringLiteral("&Tamaño original"), &TArbol::ToolButton3Click,
                          "original");
    Barradeherramientas1 = item(Ver1, "Barradeherramientas1", QStringLiteral("&Barra de herramientas"),
                                &TArbol::Barradeherramientas1Click);
    Barradeherramientas1->setCheckable(true);
    Barradeherramientas1->setChecked(true);

    Opciones1 = barra->addMenu(QStringLiteral("&Opciones"));
    Opciones1->setObjectName(QStringLiteral("Opciones1"));
    Impresin1 = item(Opciones1, "Impresin1", QStringLiteral("&Opciones..."), &TArbol::Impresin1Click);

    HelpMenu = barra->addMenu(QStringLiteral("A&yuda"));
    HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
    AyudadeNEMOR1 = item(HelpMenu, "AyudadeNEMOR1", QStringLiteral("Manual de usuario"), &TArbol::AyudadeNEMOR1Click,
                         "ayuda");
    // F1 itself is caught program-wide (it opens the page of the window in use);
    // the menu only shows the key.
    AyudadeNEMOR1->setShortcut(QKeySequence(Qt::Key_F1));
    AyudadeNEMOR1->setShortcutContext(Qt::WidgetShortcut);
    HelpAboutItem = item(HelpMenu, "HelpAboutItem", QStringLiteral("&Acerca de..."), &TArbol::HelpAbout, "acerca");
}

void TArbol::CreaBarra()
{
    ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    // The bar is shown and hidden only through its menu item.
    ToolBar1->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    auto boton = [this](const char* nombre, const QString& hint, const char* icono, void (TArbol::*slot)()) {
        QAction* a = Accion(this, nombre, hint);
        a->setToolTip(hint);
        a->setIcon(Icono(QString::fromLatin1(icono)));
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        ToolBar1->addAction(a);
        if (QWidget* w = ToolBar1->widgetForAction(a)) {
            w->setObjectName(QString::fromLatin1(nombre));
            w->setFixedSize(25, 25);
        }
        return a;
    };
    TBNuevo = boton("TBNuevo", QStringLiteral("Nuevo"), "nuevo", &TArbol::FileNew);
    TBAbrir = boton("TBAbrir", QStringLiteral("Abrir"), "abrir", &TArbol::FileOpen);
    TBGuardar = boton("TBGuardar", QStringLiteral("Guardar"), "guardar", &TArbol::FileSaveItemClick);
    ToolBar1->addSeparator();
    TBVar = boton("TBVar", QStringLiteral("Editor de variables"), "variables", &TArbol::Variables1Click);
    ToolButton1 = boton("ToolButton1", QStringLiteral("Editor de texto"), "editor", &TArbol::Editor1Click);
    ToolBar1->addSeparator();
    TBCalcular = boton("TBCalcular", QStringLiteral("Calcular"), "calcular", &TArbol::BCalcula2Click);
    TBACero = boton("TBACero", QStringLiteral("Valores a cero"), "acero", &TArbol::ValCeroClick);
    TBVariaciones = boton("TBVariaciones", QStringLiteral("Variaciones ..."), "variaciones", &TArbol::Vaiaciones1Click);
    ToolBar1->addSeparator();
    TBMueveHijos = boton("TBMueveHijos", QStringLiteral("Desplazamiento de nodos conectados"), "muevehijos", nullptr);
    TBMueveHijos->setCheckable(true);
    TBMueveHijos->setChecked(true);
    TB1 = boton("TB1", QStringLiteral("Modo desplazamiento 1"), "modo1", nullptr);
    TB2 = boton("TB2", QStringLiteral("Modo desplazamiento 2"), "modo2", nullptr);
    auto* grupo = new QActionGroup(this);
    grupo->setExclusive(true);
    for (QAction* a : {TB1, TB2}) {
        a->setCheckable(true);
        grupo->addAction(a);
    }
    TB1->setChecked(true);
    ToolBar1->addSeparator();
    TBAlinearVertical = boton("TBAlinearVertical", QStringLiteral("Alinear vertical"), "alinearvertical",
                              &TArbol::TBAlinearVerticalClick);
    TBAlinearHorizontal = boton("TBAlinearHorizontal", QStringLiteral("Alinear horizontal"), "alinearhorizontal",
                                &TArbol::TBAlinearHorizontalClick);
    ToolBar1->addSeparator();
    TBVerVar = boton("TBVerVar", QStringLiteral("Ver variables"), "vervariables", &TArbol::TBVerVarClick);
    TBVerVar->setCheckable(true);
    TBVerVar->setChecked(true);
    TBTTree = boton("TBTTree", QStringLiteral("Arbol"), "arbol", &TArbol::TBTTreeClick);
    ToolBar1->addSeparator();
    TBMas = boton("TBMas", QStringLiteral("Aumentar"), "aumentar", &TArbol::TBMasClick);
    TBMenos = boton("TBMenos", QStringLiteral("Reducir"), "reducir", &TArbol::TBMenosClick);
    ToolButton3 = boton("ToolButton3", QStringLiteral("Tamaño original"), "original", &TArbol::ToolButton3Click);
    ToolBar1->addSeparator();
    ToolButton6 = boton("ToolButton6", QStringLiteral("Presentación preliminar"), "preliminar", &TArbol::Pre1Click);
    TBSalir = boton("TBSalir", QStringLiteral("Salir"), "salir", &TArbol::FileExit);
    TBSalir->setVisible(false);
}

void TArbol::CreaMenuNodo()
{
    PopupMenuTri = new QMenu(this);
    PopupMenuTri->setObjectName(QStringLiteral("PopupMenuTri"));
    auto item = [this](const char* nombre, const QString& caption, void (TArbol::*slot)()) {
        QAction* a = Accion(this, nombre, caption);
        connect(a, &QAction::triggered, this, slot);
        PopupMenuTri->addAction(a);
        return a;
    };
    CuadrodeDecisin1 = item("CuadrodeDecisin1", QStringLiteral("Nuevo nodo de &decisión ..."),
                            &TArbol::CuadrodeDecisin1Click);
    NododeAzar1 = item("NododeAzar1", QStringLiteral("Nuevo nodo de &azar ..."), &TArbol::NododeAzar1Click);
    Nuevarama1 = item("Nuevarama1", QStringLiteral("Nueva &rama"), &TArbol::Nuevarama1Click);
    Borrar1 = item("Borrar1", QStringLiteral("&Borrar nodo"), &TArbol::Borrar1Click);
    Texto1 = item("Texto1", QStringLiteral("&Texto"), &TArbol::Texto1Click);
    Coste3 = item("Coste3", QStringLiteral("&Ganancia"), &TArbol::Coste3Click);
    Probabilidad1 = item("Probabilidad1", QStringLiteral("&Probabilidad"), &TArbol::Probabilidad1Click);
    Copiar1 = item("Copiar1", QStringLiteral("&Copiar"), &TArbol::Copiar1Click);
    Pegar1 = item("Pegar1", QStringLiteral("P&egar"), &TArbol::Pegar1Click);
    Comentario1 = item("Comentario1", QStringLiteral("C&omentario"), &TArbol::Comentario1Click);
    PerfilRiesgo2 = item("PerfilRiesgo2", QStringLiteral("Perfil de r&iesgo ..."), &TArbol::PerfilRiesgo2Click);
}

void TArbol::Refresca()
{
    ActualizaTitulo();
    tapiz->update();
}

void TArbol::ActualizaTitulo()
{
    QString t = QStringLiteral("NEMOR");
    if (arbol_.ToleranciaValores > 0)
        t += QStringLiteral(" - equivalentes ciertos (tolerancia al riesgo %1)")
                 .arg(QString::fromUtf8(FormatoEtiqueta(arbol_.ToleranciaValores, 15, 0)));
    if (windowTitle() != t)
        setWindowTitle(t);
}

void TArbol::AjustaTapiz()
{
    // The panel follows the surface, so nothing drawn is ever cut off.
    const QSize s(std::max(1, arbol_.opciones.AnchoTapiz), std::max(1, arbol_.opciones.AltoTapiz));
    tapiz->setGeometry(QRect(QPoint(0, 0), s));
    PanelTapiz->resize(s);
}

void TArbol::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    // A new tree places its root from the window's current height.
    arbol_.AltoVentana = height();
}

void TArbol::closeEvent(QCloseEvent* e)
{
    // The close box asks the same save question as "&Salir"; Cancel keeps the program.
    if (!PuedeCerrar()) {
        e->ignore();
        return;
    }
    // Closing the main window ends the program, whatever other windows are open.
    QMainWindow::closeEvent(e);
    if (e->isAccepted())
        QCoreApplication::quit();
}

// --- Handlers of this window ------------------------------------------------

void TArbol::Barradeherramientas1Click()
{
    const bool ver = !ToolBar1->isVisible();
    Barradeherramientas1->setChecked(ver);
    ToolBar1->setVisible(ver);
}

void TArbol::AyudadeNEMOR1Click()
{
    Protegido([&] { AbreManual(this); });
}

void TArbol::HelpAbout()
{
    if (AboutBox)
        AboutBox->exec();
}

namespace {

// Showing a window runs its own show handler, which reads the tree.
void MuestraVentana(QWidget* w)
{
    if (!w)
        return;
    Protegido([w] {
        w->show();
        w->raise();
    });
}

} // namespace

void TArbol::Variables1Click() { MuestraVentana(FormVar); }

void TArbol::Editor1Click() { MuestraVentana(FormEditor); }

void TArbol::Impresin1Click()
{
    if (FormOpciones)
        Protegido([] { FormOpciones->exec(); });
}

void TArbol::TBTTreeClick() { MuestraVentana(TreeAD); }

void TArbol::PopupMenuTriPopup()
{
    Protegido([this] {
        const EstadoMenuNodo m = PreparaMenuNodo(arbol_, NodoMenu);
        QAction* const items[NumItemsMenuNodo] = {CuadrodeDecisin1, NododeAzar1, Nuevarama1, Borrar1, Texto1,
                                                  Coste3, Probabilidad1, Copiar1, Pegar1, Comentario1};
        for (int i = 0; i < NumItemsMenuNodo; ++i) {
            items[i]->setVisible(m.Items[i].Visible);
            items[i]->setEnabled(m.Items[i].Enabled);
        }
        Pegar1->setText(QString::fromUtf8(m.CaptionPegar));
    });
}

void TArbol::AbreMenuNodo(uint16_t nodo, const QPoint& global)
{
    NodoMenu = nodo;
    PosicionMenu = global;
    PopupMenuTriPopup();
    PopupMenuTri->popup(global);
}

// --- Editing of the node the menu was opened on ----------------------------------

template <typename F>
void TArbol::Edita(F orden)
{
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    const int x = h->value(), y = v->value();
    bool cambio = true; // an edit that failed halfway may have changed the tree
    Protegido([&] { cambio = orden(); },
              [&] {
                  if (cambio)
                      Refresca();
                  h->setValue(x);
                  v->setValue(y);
              });
}

void TArbol::CuadrodeDecisin1Click()
{
    Edita([this] { return edicion_.CuadrodeDecisin1Click(NodoMenu); });
}
void TArbol::NododeAzar1Click()
{
    Edita([this] { return edicion_.NododeAzar1Click(NodoMenu); });
}
void TArbol::Nuevarama1Click()
{
    Edita([this] { return edicion_.Nuevarama1Click(NodoMenu); });
}
void TArbol::Borrar1Click()
{
    Edita([this] { return edicion_.Borrar1Click(NodoMenu); });
}
void TArbol::Texto1Click()
{
    Edita([this] { return edicion_.Texto1Click(NodoMenu); });
}
void TArbol::Coste3Click()
{
    Edita([this] { return edicion_.Coste3Click(NodoMenu); });
}
void TArbol::Probabilidad1Click()
{
    Edita([this] { return edicion_.Probabilidad1Click(NodoMenu); });
}
void TArbol::Copiar1Click()
{
    Protegido([this] {
        if (edicion_.Copiar1Click(NodoMenu))
            Pegar1->setText(QString::fromUtf8(edicion_.CaptionPegar()));
    });
}
void TArbol::Pegar1Click()
{
    Edita([this] { return edicion_.Pegar1Click(NodoMenu); });
}

// --- The comment pad --------------------------------------------------------------

void TArbol::Comentario1Click()
{
    if (FormNota)
        Protegido([this] { FormNota->AbrirComentario(edicion_, NodoMenu, PosicionMenu); });
}

void TArbol::MarcaMouseMove(uint16_t nodo, QPoint)
{
    const TNodo* n = arbol_.Nodo(nodo);
    if (FormNota && n && n->MarcaVisible)
        Protegido([&] { FormNota->AbrirComentario(edicion_, nodo, QCursor::pos()); });
}

void TArbol::TapizMouseMove(Qt::KeyboardModifiers, QPoint)
{
    // Leaving the pad for the bare drawing stores an edited comment and hides
    // the pad. A move still reported to the drawing while the pointer is
    // already over the pad (as when the menu closes) is not leaving it.
    if (!FormNota || !FormNota->isVisible() || FormNota->frameGeometry().contains(QCursor::pos()))
        return;
    Protegido([this] {
        if (FormNota->GuardarComentario())
            Refresca();
    });
}

// --- Calculation --------------------------------------------------------------

namespace {

// Solving rewrites the list (decimal separators): the variables window shows it again.
void MuestraLista()
{
    if (FormVar)
        FormVar->MuestraVariables();
}

} // namespace

// A calculation stopped by an error keeps what it did so far: the list and
// the drawing show it before the error does.
void TArbol::Calcula(const std::function<void()>& orden)
{
    Protegido(orden, [this] {
        MuestraLista();
        Refresca();
    });
}

void TArbol::BCalcula2Click()
{
    Calcula([this] { CalculaVEM(arbol_); });
}

void TArbol::Vaiaciones1Click()
{
    if (!FormVariacion || !FormHistorico)
        return;
    std::optional<ParametrosVariacion> p;
    Protegido([&] {
        if (FormVariacion->exec() == QDialog::Accepted)
            p = FormVariacion->Parametros();
    });
    if (!p)
        return;
    Calcula([&] {
        if (!EsVariableVariacion(arbol_, p->Linea))
            return;
        EjecutaVariacionesEnVentana(arbol_, *p, *FormHistorico, PanelTapiz, [this] { Refresca(); });
    });
}

void TArbol::MuestraPerfil(uint16_t nodo)
{
    if (!FormPerfil)
        return;
    // The profile follows the choices of the tree solved now, not of stale values.
    bool resuelto = false;
    try {
        resuelto = CalculaVEM(arbol_);
    } catch (...) {
        MuestraLista();
        Refresca();
        throw;
    }
    MuestraLista();
    Refresca();
    if (resuelto)
        FormPerfil->Muestra(arbol_, nodo);
}

void TArbol::PerfilRiesgo1Click()
{
    Protegido([this] { MuestraPerfil(0); });
}

void TArbol::PerfilRiesgo2Click()
{
    Protegido([this] { MuestraPerfil(NodoMenu); });
}

void TArbol::Tornado1Click()
{
    Protegido([this] {
        if (!FormTornado)
            return;
        // The window solves the tree at every step and leaves it solved, its list rewritten.
        struct Repinta {
            TArbol& v;
            ~Repinta()
            {
                MuestraLista();
                v.Refresca();
            }
        } repinta{*this};
        FormTornado->Calcula();
    });
}

void TArbol::ValCeroClick()
{
    Protegido([this] { ValoresACero(arbol_); }, [this] { Refresca(); });
}

void TArbol::TBVerVarClick()
{
    arbol_.VerVariables = TBVerVar->isChecked();
    Calcula([this] { RecalculaFormulas(arbol_); });
}

// --- Dragging, selection, alignment and zoom ---------------------------------------

void TArbol::OlvidaArrastre()
{
    arrastre_ = EstadoArrastre{};
    tapiz->QuitaFantasma();
}

ModosMovimiento TArbol::Modos() const
{
    ModosMovimiento m;
    m.Modo1 = TB1->isChecked();
    m.MueveHijos = TBMueveHijos->isChecked();
    return m;
}

void TArbol::GuardaScroll()
{
    scrollGuardado_ = {ScrollBox1->horizontalScrollBar()->value(), ScrollBox1->verticalScrollBar()->value()};
}

void TArbol::RestauraScroll()
{
    ScrollBox1->horizontalScrollBar()->setValue(scrollGuardado_.x());
    ScrollBox1->verticalScrollBar()->setValue(scrollGuardado_.y());
}

void TArbol::FiguraMouseDown(uint16_t nodo, Qt::MouseButton boton, Qt::KeyboardModifiers mods, QPoint punto)
{
    if (boton != Qt::LeftButton)
        return;
    Protegido(
        [&] {
            if (mods & Qt::ShiftModifier) {
                SeleccionaNodo(arbol_, nodo);
                return;
            }
            EmpiezaArrastre(arbol_, arrastre_, nodo, punto.x(), punto.y());
            if (const TNodo* n = arbol_.Nodo(nodo))
                tapiz->PonFantasma(AQRect(arrastre_.Fantasma), n->Tipo);
        },
        [this] { Refresca(); }); // the selection changed
}

void TArbol::FiguraMouseMove(uint16_t nodo, Qt::KeyboardModifiers, QPoint punto)
{
    const TNodo* n = arbol_.Nodo(nodo);
    const TNodo* arrastrado = arbol_.Nodo(static_cast<uint16_t>(arrastre_.NodoArrastrado));
    if (!arrastre_.Arrastrando || !n || !arrastrado)
        return;
    // The figure receiving the move gives the point its place on the drawing.
    Protegido([&] {
        MueveArrastre(arrastre_, n->Figura.Left + punto.x(), n->Figura.Top + punto.y());
        tapiz->PonFantasma(AQRect(arrastre_.Fantasma), arrastrado->Tipo);
    });
}

void TArbol::FiguraMouseUp(uint16_t, Qt::MouseButton boton, Qt::KeyboardModifiers mods, QPoint)
{
    // Only a plain left release drops the node; any other leaves the drag pending.
    if (boton != Qt::LeftButton || (mods & Qt::ShiftModifier) || !arrastre_.Arrastrando)
        return;
    Mueve([this] { SueltaArrastre(arbol_, arrastre_, Modos()); });
    tapiz->QuitaFantasma();
}

void TArbol::TapizMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    Protegido([this] {
        if (QuitaSeleccion(arbol_))
            Refresca();
    });
}

void TArbol::Mueve(const std::function<void()>& orden)
{
    GuardaScroll();
    Protegido(orden, [this] {
        Refresca();
        RestauraScroll();
    });
}

void TArbol::TBAlinearVerticalClick()
{
    Protegido([this] { AlinearVertical(arbol_, Modos()); }, [this] { Refresca(); });
}

void TArbol::TBAlinearHorizontalClick()
{
    Protegido([this] { AlinearHorizontal(arbol_); }, [this] { Refresca(); });
}

void TArbol::TBMasClick()
{
    Mueve([this] { ZoomAumentar(arbol_); });
}

void TArbol::TBMenosClick()
{
    Mueve([this] { ZoomDisminuir(arbol_); });
}

void TArbol::ToolButton3Click()
{
    Mueve([this] { ZoomOriginal(arbol_); });
}

// --- Print preview -------------------------------------------------------------

void TArbol::Pre1Click()
{
    if (FormPrevisualizar)
        Protegido([this] { Previsualiza(); });
}

void TArbol::Previsualiza()
{
    // The pages are the size of the client area without the tool bar.
    const bool barra = Barradeherramientas1->isChecked();
    struct Barra {
        QToolBar* t;
        bool ocultada;
        ~Barra()
        {
            if (ocultada)
                t->show();
        }
    } vuelve{ToolBar1, barra};
    if (barra)
        ToolBar1->hide();
    if (layout())
        layout()->activate();
    const QSize pagina = centralWidget()->size().expandedTo(QSize(1, 1));
    int32_t derecha, abajo;
    ExtensionDibujo(arbol_, derecha, abajo);
    const RejillaPaginas rejilla = CalculaRejilla(derecha, abajo, pagina.width(), pagina.height());
    FormPrevisualizar->Construye(arbol_, tapiz->Medidor(), tapiz->size(), pagina, rejilla);
}
