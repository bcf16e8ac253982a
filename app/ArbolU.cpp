#include "app/ArbolU.h"

#include "analysis/GraficoHistoricoUnit.h"
#include "analysis/PerfilRiesgoUnit.h"
#include "analysis/Rollback.h"
#include "analysis/TornadoUnit.h"
#include "analysis/Variacion.h"
#include "analysis/VariacionUnit.h"
#include "app/AboutU.h"
#include "app/Aplicacion.h"
#include "app/AyudaU.h"
#include "app/Iconos.h"
#include "app/MenuNodo.h"
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
#include "variables/VarUnit.h"
#include "variables/Variables.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QKeySequence>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>

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

TArbol::TArbol(TDocumento* documento, QWidget* parent)
    : QMainWindow(parent),
      propio_(documento ? nullptr : std::make_unique<TDocumento>()),
      doc_(documento ? *documento : *propio_),
      usuario_(this)
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

    Arbol& a = doc_.arbol();
    a.usuario = &usuario_;
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
    tapiz = new Tapiz(a, PanelTapiz);
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
    connect(&doc_, &TDocumento::Cambiado, this, &TArbol::DocumentoCambiado);
    connect(&doc_, &TDocumento::Ocupacion, this, &TArbol::ActualizaDeshacer);

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
    a.AltoVentana = height();
    FijaFormatoFechaHora([](std::time_t t) {
        return FechaHora(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(t))).toStdString();
    });
    doc_.EjecutaSinPaso([&a] { EmpiezaArbolVacio(a); }, Cambio::DeFichero());
}

TArbol::~TArbol()
{
    // The document may outlive the window: it no longer asks through it.
    if (doc_.arbol().usuario == &usuario_)
        doc_.arbol().usuario = nullptr;
}

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
    FileNewItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    FileOpenItem = item(FileMenu, "FileOpenItem", QStringLiteral("&Abrir.."), &TArbol::FileOpen, "abrir");
    FileOpenItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    FileSaveItem = item(FileMenu, "FileSaveItem", QStringLiteral("&Guardar"), &TArbol::FileSaveItemClick, "guardar");
    FileSaveItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    FileSaveAsItem = item(FileMenu, "FileSaveAsItem", QStringLiteral("Guardar &como..."), &TArbol::FileSaveAs);
    FileSaveAsItem->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    ExportarImagen1 = item(FileMenu, "ExportarImagen1", QStringLiteral("&Exportar imagen..."), &TArbol::ExportarImagen1Click);
    FileMenu->addSeparator();
    Pre1 = item(FileMenu, "Pre1", QStringLiteral("&Presentación preliminar"), &TArbol::Pre1Click, "preliminar");
    Pre1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    FileMenu->addSeparator();
    F1 = item(FileMenu, "F1", QString(), &TArbol::F1Click);
    F2 = item(FileMenu, "F2", QString(), &TArbol::F2Click);
    F3 = item(FileMenu, "F3", QString(), &TArbol::F3Click);
    F4 = item(FileMenu, "F4", QString(), &TArbol::F4Click);
    for (QAction* f : {F1, F2, F3, F4})
        f->setVisible(false);
    FileMenu->addSeparator();
    FileExitItem = item(FileMenu, "FileExitItem", QStringLiteral("&Salir"), &TArbol::FileExit, "salir");
    FileExitItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    Edicion1 = barra->addMenu(QStringLiteral("&Edición"));
    Edicion1->setObjectName(QStringLiteral("Edicion1"));
    Deshacer1 = item(Edicion1, "Deshacer1", QStringLiteral("&Deshacer"), &TArbol::Deshacer1Click, "deshacer");
    Deshacer1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Rehacer1 = item(Edicion1, "Rehacer1", QStringLiteral("&Rehacer"), &TArbol::Rehacer1Click, "rehacer");
    // Both keys the desktops use; the menu shows the first.
    Rehacer1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    EditMenu = barra->addMenu(QStringLiteral("&Calcular"));
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    EditUndoItem = item(EditMenu, "EditUndoItem", QStringLiteral("&Calcular VEM"), &TArbol::BCalcula2Click, "calcular");
    EditUndoItem->setShortcut(QKeySequence(Qt::Key_F9));
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
    // Ctrl and "=" too: the key "+" shares on many keyboards, pressed without Shift.
    Aumentar1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    Disminuir1 = item(Ver1, "Disminuir1", QStringLiteral("&Disminuir"), &TArbol::TBMenosClick, "reducir");
    Disminuir1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    Tamaooriginal1 = item(Ver1, "Tamaooriginal1", QStringLiteral("&Tamaño original"), &TArbol::ToolButton3Click,
                          "original");
    Tamaooriginal1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
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
        QAction* a = BotonBarra(ToolBar1, nombre, hint, icono);
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        return a;
    };
    TBNuevo = boton("TBNuevo", QStringLiteral("Nuevo"), "nuevo", &TArbol::FileNew);
    TBAbrir = boton("TBAbrir", QStringLiteral("Abrir"), "abrir", &TArbol::FileOpen);
    TBGuardar = boton("TBGuardar", QStringLiteral("Guardar"), "guardar", &TArbol::FileSaveItemClick);
    ToolBar1->addSeparator();
    TBDeshacer = boton("TBDeshacer", QStringLiteral("Deshacer"), "deshacer", &TArbol::Deshacer1Click);
    TBRehacer = boton("TBRehacer", QStringLiteral("Rehacer"), "rehacer", &TArbol::Rehacer1Click);
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

void TArbol::DocumentoCambiado(const Cambio& c)
{
    // Node numbers start again in another tree, and come back with an undo:
    // a pending drag could drop a node it never took.
    const Arbol& a = doc_.arbol();
    if (arrastre_.Arrastrando && (c.Nuevo || c.Historial || !a.Nodo(static_cast<uint16_t>(arrastre_.NodoArrastrado))))
        OlvidaArrastre();
    if (c.Fichero || c.Nuevo)
        MuestraRecientes();
    if (c.Opciones)
        AjustaTapiz();
    // The list alone or the copy mark show nowhere on the drawing: typing a
    // variable does not repaint a large tree at every key.
    if (c.Dibujo || c.Estructura || c.Nuevo || c.Valores || c.Fichero || c.Opciones)
        Refresca();
    ActualizaDeshacer();
}

void TArbol::ActualizaDeshacer()
{
    const bool deshacer = doc_.PuedeDeshacer();
    const bool rehacer = doc_.PuedeRehacer();
    const QString pasoDeshacer = deshacer ? QLatin1Char(' ') + Q(doc_.NombreDeshacer()) : QString();
    const QString pasoRehacer = rehacer ? QLatin1Char(' ') + Q(doc_.NombreRehacer()) : QString();
    Deshacer1->setText(QStringLiteral("&Deshacer") + pasoDeshacer);
    Rehacer1->setText(QStringLiteral("&Rehacer") + pasoRehacer);
    TBDeshacer->setToolTip(QStringLiteral("Deshacer") + pasoDeshacer);
    TBRehacer->setToolTip(QStringLiteral("Rehacer") + pasoRehacer);
    for (QAction* x : {Deshacer1, TBDeshacer})
        x->setEnabled(deshacer);
    for (QAction* x : {Rehacer1, TBRehacer})
        x->setEnabled(rehacer);
}

void TArbol::ActualizaTitulo()
{
    const Arbol& a = doc_.arbol();
    QString t = QStringLiteral("NEMOR");
    if (a.ToleranciaValores > 0)
        t += QStringLiteral(" - equivalentes ciertos (tolerancia al riesgo %1)")
                 .arg(Q(FormatoEtiqueta(a.ToleranciaValores, 15, 0)));
    if (windowTitle() != t)
        setWindowTitle(t);
}

void TArbol::AjustaTapiz()
{
    // The panel follows the surface, so nothing drawn is ever cut off.
    const Opciones& o = doc_.arbol().opciones;
    const QSize s(std::max(1, o.AnchoTapiz), std::max(1, o.AltoTapiz));
    tapiz->setGeometry(QRect(QPoint(0, 0), s));
    PanelTapiz->resize(s);
}

void TArbol::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    // A new tree places its root from the window's current height.
    doc_.arbol().AltoVentana = height();
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
    if (e->isAccepted()) {
        emit Termina();
        QCoreApplication::quit();
    }
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
    if (ventanas_.Acerca)
        ventanas_.Acerca->exec();
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

void TArbol::Variables1Click() { MuestraVentana(ventanas_.Variables); }

void TArbol::Editor1Click() { MuestraVentana(ventanas_.Editor); }

void TArbol::Impresin1Click()
{
    if (TOpciones* o = ventanas_.Opciones)
        Protegido([o] { o->exec(); });
}

void TArbol::TBTTreeClick() { MuestraVentana(ventanas_.Esquema); }

void TArbol::PopupMenuTriPopup()
{
    Protegido([this] {
        const EstadoMenuNodo m = PreparaMenuNodo(doc_.arbol(), NodoMenu);
        QAction* const items[NumItemsMenuNodo] = {CuadrodeDecisin1, NododeAzar1, Nuevarama1, Borrar1, Texto1,
                                                  Coste3, Probabilidad1, Copiar1, Pegar1, Comentario1};
        for (int i = 0; i < NumItemsMenuNodo; ++i) {
            items[i]->setVisible(m.Items[i].Visible);
            items[i]->setEnabled(m.Items[i].Enabled);
        }
        Pegar1->setText(Q(m.CaptionPegar));
    });
}

void TArbol::AbreMenuNodo(uint16_t nodo, const QPoint& global)
{
    NodoMenu = nodo;
    PosicionMenu = global;
    PopupMenuTriPopup();
    PopupMenuTri->popup(global);
}

// --- Undo and redo ----------------------------------------------------------------

void TArbol::Deshacer1Click()
{
    Protegido([this] { doc_.Deshacer(); });
}

void TArbol::Rehacer1Click()
{
    Protegido([this] { doc_.Rehacer(); });
}

// --- Editing of the node the menu was opened on ----------------------------------

namespace {

// Puts the view back where it was when it goes.
class ScrollQuieto {
public:
    explicit ScrollQuieto(QScrollArea* s)
        : h_(s->horizontalScrollBar()), v_(s->verticalScrollBar()), x_(h_->value()), y_(v_->value())
    {
    }
    ~ScrollQuieto()
    {
        h_->setValue(x_);
        v_->setValue(y_);
    }
    ScrollQuieto(const ScrollQuieto&) = delete;
    ScrollQuieto& operator=(const ScrollQuieto&) = delete;

private:
    QScrollBar* h_;
    QScrollBar* v_;
    int x_, y_;
};

} // namespace

void TArbol::Edita(const char* paso, const std::function<void()>& orden)
{
    const ScrollQuieto quieto(ScrollBox1);
    Protegido([&] { doc_.Ejecuta(paso, orden); });
}

void TArbol::CuadrodeDecisin1Click()
{
    Edita(kPasoNodoDecision, [this] { edicion().CuadrodeDecisin1Click(NodoMenu); });
}
void TArbol::NododeAzar1Click()
{
    Edita(kPasoNodoAzar, [this] { edicion().NododeAzar1Click(NodoMenu); });
}
void TArbol::Nuevarama1Click()
{
    Edita(kPasoNuevaRama, [this] { edicion().Nuevarama1Click(NodoMenu); });
}
void TArbol::Borrar1Click()
{
    Edita(kPasoBorrarNodo, [this] { edicion().Borrar1Click(NodoMenu); });
}
void TArbol::Texto1Click()
{
    Edita(kPasoTexto, [this] { edicion().Texto1Click(NodoMenu); });
}
void TArbol::Coste3Click()
{
    Edita(kPasoGanancia, [this] { edicion().Coste3Click(NodoMenu); });
}
void TArbol::Probabilidad1Click()
{
    Edita(kPasoProbabilidad, [this] { edicion().Probabilidad1Click(NodoMenu); });
}
void TArbol::Copiar1Click()
{
    // Marking is not a step: an undo never takes the mark away.
    Protegido([this] { doc_.EjecutaSinPaso([this] { edicion().Copiar1Click(NodoMenu); }); });
}
void TArbol::Pegar1Click()
{
    Edita(kPasoPegar, [this] { edicion().Pegar1Click(NodoMenu); });
}

// --- The comment pad --------------------------------------------------------------

void TArbol::Comentario1Click() { emit AbreComentario(NodoMenu, PosicionMenu); }

void TArbol::MarcaMouseMove(uint16_t nodo, QPoint)
{
    const TNodo* n = doc_.arbol().Nodo(nodo);
    if (n && n->MarcaVisible)
        emit AbreComentario(nodo, QCursor::pos());
}

void TArbol::TapizMouseMove(Qt::KeyboardModifiers, QPoint) { emit RatonSobreTapiz(); }

// --- Calculation --------------------------------------------------------------

// Calculated values are no step: they go with the step before them.
void TArbol::Calcula(const std::function<void()>& orden)
{
    Protegido([&] { doc_.EjecutaSinPaso(orden, Cambio::DeValores()); });
}

void TArbol::BCalcula2Click()
{
    Calcula([this] { CalculaVEM(doc_.arbol()); });
}

void TArbol::Vaiaciones1Click()
{
    TFormVariacion* dialogo = ventanas_.Variacion;
    TFormHistorico* resultados = ventanas_.Historico;
    if (!dialogo || !resultados)
        return;
    std::optional<ParametrosVariacion> p;
    Protegido([&] {
        if (dialogo->exec() == QDialog::Accepted)
            p = dialogo->Parametros();
    });
    if (!p)
        return;
    Calcula([&] {
        Arbol& a = doc_.arbol();
        if (!EsVariableVariacion(a, p->Linea))
            return;
        // The drawing follows the sweep as it goes.
        EjecutaVariacionesEnVentana(a, *p, *resultados, PanelTapiz, [this] { Refresca(); });
    });
}

void TArbol::MuestraPerfil(uint16_t nodo)
{
    TFormPerfil* perfil = ventanas_.Perfil;
    if (!perfil)
        return;
    // The profile follows the choices of the tree solved now, not of stale values.
    bool resuelto = false;
    Calcula([&] { resuelto = CalculaVEM(doc_.arbol()); });
    if (resuelto)
        Protegido([&] { perfil->Muestra(doc_.arbol(), nodo); });
}

void TArbol::PerfilRiesgo1Click() { MuestraPerfil(0); }

void TArbol::PerfilRiesgo2Click() { MuestraPerfil(NodoMenu); }

void TArbol::Tornado1Click()
{
    // The window solves the tree at every step and leaves it solved, its list rewritten.
    if (TFormTornado* t = ventanas_.Tornado)
        Calcula([t] { t->Calcula(); });
}

void TArbol::ValCeroClick()
{
    Protegido([this] { doc_.Ejecuta(kPasoValoresACero, [this] { ValoresACero(doc_.arbol()); }, {}, Cambio::DeValores()); });
}

void TArbol::TBVerVarClick()
{
    Calcula([this] {
        Arbol& a = doc_.arbol();
        a.VerVariables = TBVerVar->isChecked();
        RecalculaFormulas(a);
    });
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

void TArbol::FiguraMouseDown(uint16_t nodo, Qt::MouseButton boton, Qt::KeyboardModifiers mods, QPoint punto)
{
    if (boton != Qt::LeftButton)
        return;
    // The selection is the drawing's own state, not the document's: no step, no announcement.
    Protegido([&] {
        Arbol& a = doc_.arbol();
        if (mods & Qt::ShiftModifier) {
            SeleccionaNodo(a, nodo);
        } else {
            EmpiezaArrastre(a, arrastre_, nodo, punto.x(), punto.y());
            if (const TNodo* n = a.Nodo(nodo))
                tapiz->PonFantasma(AQRect(arrastre_.Fantasma), n->Tipo);
        }
        tapiz->update();
    });
}

void TArbol::FiguraMouseMove(uint16_t nodo, Qt::KeyboardModifiers, QPoint punto)
{
    const Arbol& a = doc_.arbol();
    const TNodo* n = a.Nodo(nodo);
    const TNodo* arrastrado = a.Nodo(static_cast<uint16_t>(arrastre_.NodoArrastrado));
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
    Edita(kPasoMoverNodo, [this] { SueltaArrastre(doc_.arbol(), arrastre_, Modos()); });
    tapiz->QuitaFantasma();
}

void TArbol::TapizMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    Protegido([this] {
        if (QuitaSeleccion(doc_.arbol()))
            tapiz->update();
    });
}

void TArbol::Mueve(const std::function<void()>& orden)
{
    const ScrollQuieto quieto(ScrollBox1);
    Protegido([&] { doc_.EjecutaSinPaso(orden); });
}

void TArbol::TBAlinearVerticalClick()
{
    Edita(kPasoAlinearVertical, [this] { AlinearVertical(doc_.arbol(), Modos()); });
}

void TArbol::TBAlinearHorizontalClick()
{
    Edita(kPasoAlinearHorizontal, [this] { AlinearHorizontal(doc_.arbol()); });
}

void TArbol::TBMasClick()
{
    Mueve([this] { ZoomAumentar(doc_.arbol()); });
}

void TArbol::TBMenosClick()
{
    Mueve([this] { ZoomDisminuir(doc_.arbol()); });
}

void TArbol::ToolButton3Click()
{
    Mueve([this] { ZoomOriginal(doc_.arbol()); });
}

// --- Print preview -------------------------------------------------------------

void TArbol::Pre1Click()
{
    if (ventanas_.Previsualizar)
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
    const Arbol& a = doc_.arbol();
    int32_t derecha, abajo;
    ExtensionDibujo(a, derecha, abajo);
    const RejillaPaginas rejilla = CalculaRejilla(derecha, abajo, pagina.width(), pagina.height());
    ventanas_.Previsualizar->Construye(a, tapiz->Medidor(), tapiz->size(), pagina, rejilla);
}
