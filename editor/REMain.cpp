#include "editor/REMain.h"

#include "app/DocumentoU.h"
#include "app/UsuarioQt.h"
#include "common/Errores.h"
#include "common/Usuario.h"
#include "editor/FicheroEditor.h"
#include "editor/RtfQt.h"
#include "tree/Arbol.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>
#include <filesystem>

namespace {

const char* const kTituloAplicacion = "NEMOR";
const char* const kSinTitulo = "Sin título";
const char* const kFiltroRtf = "Ficheros RTF (*.RTF)|*.RTF";
constexpr int kAnchoMarca = 9;
constexpr double kTwipsPorPixel = 15.0;

// A hint "short|long": the tooltip takes the short part, the status bar the
// long one; a hint without "|" is both.
void PonHint(QAction* a, const QString& hint)
{
    const int barra = hint.indexOf('|');
    a->setToolTip(barra < 0 ? hint : hint.left(barra));
    a->setStatusTip(barra < 0 ? hint : hint.mid(barra + 1));
}

void PonHint(QWidget* w, const QString& hint)
{
    const int barra = hint.indexOf('|');
    w->setToolTip(barra < 0 ? hint : hint.left(barra));
    w->setStatusTip(barra < 0 ? hint : hint.mid(barra + 1));
}

// The ruler's background: a tick every eight average characters, as a row of tab stops draws them.
class ReglaWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        p.setFont(font());
        const int paso = std::max(8, fontMetrics().averageCharWidth() * 8);
        const int y = height() / 2;
        for (int k = 0; k < 100; ++k) {
            const int x = 4 + (k + 1) * paso;
            if (x > width())
                break;
            p.drawText(QRect(x - 3, y - 6, 6, 12), Qt::AlignCenter, QStringLiteral("|"));
        }
    }
};

// A draggable indent marker: a small triangle pointing at the text.
class MarcaRegla : public QWidget {
public:
    MarcaRegla(QWidget* padre, bool haciaAbajo) : QWidget(padre), abajo_(haciaAbajo)
    {
        setFixedSize(kAnchoMarca, 7);
        setCursor(Qt::SizeHorCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(palette().windowText());
        p.setPen(Qt::NoPen);
        const int w = width(), h = height();
        const QPolygon t = abajo_ ? QPolygon({QPoint(0, 0), QPoint(w, 0), QPoint(w / 2, h)})
                                  : QPolygon({QPoint(w / 2, 0), QPoint(w, h), QPoint(0, h)});
        p.drawPolygon(t);
    }

private:
    bool abajo_;
};

// The clipboard formats RTF goes by; the first is the one written.
const char* const kMimeRtf[] = {"text/rtf", "application/rtf", "text/richtext"};

const char* FormatoRtf(const QMimeData* m)
{
    for (const char* f : kMimeRtf)
        if (m->hasFormat(QString::fromLatin1(f)))
            return f;
    return nullptr;
}

// The text control with RTF on the clipboard: what is copied keeps its
// formatting and its pictures, in another note and in other word processors,
// and what they copy comes in the same way.
class TextoRico : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    QMimeData* createMimeDataFromSelection() const override
    {
        const QTextCursor c = textCursor();
        const QTextDocumentFragment f = c.selection();
        auto* m = new QMimeData;
        m->setText(f.toPlainText());
        m->setHtml(f.toHtml());
        m->setData(QString::fromLatin1(kMimeRtf[0]), QByteArray::fromStdString(RtfDeSeleccion(c)));
        return m;
    }

    bool canInsertFromMimeData(const QMimeData* m) const override
    {
        return FormatoRtf(m) != nullptr || QTextEdit::canInsertFromMimeData(m);
    }

    void insertFromMimeData(const QMimeData* m) override
    {
        if (isReadOnly())
            return;
        QTextCursor c = textCursor();
        c.beginEditBlock();
        if (const char* f = FormatoRtf(m); f && acceptRichText()) {
            InsertaRtf(c, m->data(QString::fromLatin1(f)).toStdString());
            c.endEditBlock();
            setTextCursor(c);
        } else {
            QTextEdit::insertFromMimeData(m);
            CompletaImagenes(*document());
            c.endEditBlock();
        }
        ensureCursorVisible();
    }
};

// True while formatting controls are being set from the selection.
struct Actualizando {
    bool& b;
    explicit Actualizando(bool& x) : b(x) { b = true; }
    ~Actualizando() { b = false; }
};

} // namespace

TFormEditor::TFormEditor(TDocumento* documento, QWidget* parent) : QMainWindow(parent), doc_(documento)
{
    setObjectName(QStringLiteral("FormEditor"));
    resize(640, 480);

    Editor = new TextoRico(this);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setAcceptRichText(true);
    Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Editor->viewport()->installEventFilter(this);

    // --- Actions, menus and tool bar ----------------------------------------
    auto accion = [this](const QString& texto, const QString& hint, const QKeySequence& atajo, auto funcion) {
        auto* a = new QAction(texto, this);
        PonHint(a, hint);
        if (!atajo.isEmpty())
            a->setShortcut(atajo);
        connect(a, &QAction::triggered, this, [this, funcion] { Orden(funcion); });
        return a;
    };
    auto icono = [this](QStyle::StandardPixmap p) { return style()->standardIcon(p); };

    QAction* nuevo = accion(QStringLiteral("&Nuevo"), QStringLiteral("Nuevo"), QKeySequence(Qt::CTRL | Qt::Key_N),
                            [this] { FileNew(); });
    nuevo->setIcon(icono(QStyle::SP_FileIcon));
    QAction* abrir = accion(QStringLiteral("&Abrir..."), QStringLiteral("Abrir"), QKeySequence(Qt::CTRL | Qt::Key_O),
                            [this] { FileOpen(); });
    abrir->setIcon(icono(QStyle::SP_DialogOpenButton));
    QAction* guardar = accion(QStringLiteral("&Guardar"), QStringLiteral("Guardar"), QKeySequence(Qt::CTRL | Qt::Key_S),
                              [this] { FileSave(); });
    guardar->setIcon(icono(QStyle::SP_DialogSaveButton));
    QAction* guardarComo = accion(QStringLiteral("Guardar &como..."), QString(), QKeySequence(), [this] { FileSaveAs(); });
    QAction* imprimir = accion(QStringLiteral("&Imprimir"), QStringLiteral("Imprimir"), QKeySequence(Qt::CTRL | Qt::Key_P),
                               [this] { FilePrint(); });
    imprimir->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    QAction* cerrar = accion(QStringLiteral("Ce&rrar"), QStringLiteral("Cerrar"), QKeySequence(Qt::ALT | Qt::Key_X),
                             [this] { FileExit(); });
    cerrar->setIcon(icono(QStyle::SP_DialogCloseButton));

    UndoAction = accion(QStringLiteral("&Deshacer"), QStringLiteral("Deshacer"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                        [this] {
                            if (Editor->isVisible())
                                Editor->undo();
                        });
    UndoAction->setIcon(icono(QStyle::SP_ArrowBack));
    CutAction = accion(QStringLiteral("Cor&tar"), QStringLiteral("Cortar"), QKeySequence(Qt::CTRL | Qt::Key_X),
                       [this] { Editor->cut(); });
    CutAction->setIcon(QIcon::fromTheme(QStringLiteral("edit-cut")));
    CopyAction = accion(QStringLiteral("&Copiar"), QStringLiteral("Copiar"), QKeySequence(Qt::CTRL | Qt::Key_C),
                        [this] { Editor->copy(); });
    CopyAction->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy")));
    PasteAction = accion(QStringLiteral("&Pegar"), QStringLiteral("Pegar"), QKeySequence(Qt::CTRL | Qt::Key_V),
                         [this] { Editor->paste(); });
    PasteAction->setIcon(QIcon::fromTheme(QStringLiteral("edit-paste")));
    QAction* fuente = accion(QStringLiteral("&Fuente..."), QString(), QKeySequence(), [this] { SelectFont(); });

    QMenu* fichero = menuBar()->addMenu(QStringLiteral("&Fichero"));
    fichero->addActions({nuevo, abrir, guardar, guardarComo, imprimir});
    fichero->addSeparator();
    fichero->addAction(cerrar);
    QMenu* edicion = menuBar()->addMenu(QStringLiteral("&Edición"));
    edicion->addActions({UndoAction, CutAction, CopyAction, PasteAction});
    edicion->addSeparator();
    edicion->addAction(fuente);

    QToolBar* barra = addToolBar(QStringLiteral("Editor"));
    barra->setMovable(false);
    barra->addActions({cerrar, nuevo, abrir, guardar, imprimir});
    barra->addSeparator();
    barra->addActions({CutAction, CopyAction, PasteAction, UndoAction});
    // The formatting controls get a row of their own so that nothing hides behind the overflow arrow.
    addToolBarBreak();
    barra = addToolBar(QStringLiteral("Formato"));
    barra->setMovable(false);

    FontName = new QComboBox(barra);
    FontName->setEditable(true);
    FontName->setInsertPolicy(QComboBox::NoInsert);
    FontName->setMinimumWidth(160);
    PonHint(FontName, QStringLiteral("Font Name|Select font name"));
    // LoadFontNames: every face of the screen, sorted.
    QStringList familias = QFontDatabase::families();
    familias.sort(Qt::CaseInsensitive);
    FontName->addItems(familias);
    connect(FontName, &QComboBox::textActivated, this, [this] { Orden([this] { FontNameChange(); }); });
    barra->addWidget(FontName);

    FontSize = new QSpinBox(barra);
    FontSize->setRange(0, 1638);
    FontSize->setValue(0);
    PonHint(FontSize, QStringLiteral("Font Size|Select font size"));
    connect(FontSize, &QSpinBox::valueChanged, this, [this] { Orden([this] { FontSizeChange(); }); });
    barra->addWidget(FontSize);
    barra->addSeparator();

    auto conmutador = [&](const QString& texto, const QString& hint, auto funcion) {
        QAction* a = accion(texto, hint, QKeySequence(), funcion);
        a->setCheckable(true);
        barra->addAction(a);
        return a;
    };
    BoldButton = conmutador(QStringLiteral("N"), QStringLiteral("Negrita"), [this] { BoldButtonClick(); });
    ItalicButton = conmutador(QStringLiteral("C"), QStringLiteral("Cursiva"), [this] { ItalicButtonClick(); });
    UnderlineButton = conmutador(QStringLiteral("S"), QStringLiteral("Subrrallado"), [this] { UnderlineButtonClick(); });
    {
        QFont f = font();
        f.setBold(true);
        BoldButton->setFont(f);
        f.setBold(false);
        f.setItalic(true);
        ItalicButton->setFont(f);
        f.setItalic(false);
        f.setUnderline(true);
        UnderlineButton->setFont(f);
    }
    barra->addSeparator();

    auto* alineaciones = new QActionGroup(this);
    alineaciones->setExclusive(true);
    auto alineacion = [&](const QString& texto, const QString& hint, const QString& tema, int valor) {
        auto* a = new QAction(texto, alineaciones);
        PonHint(a, hint);
        a->setCheckable(true);
        a->setData(valor);
        a->setIcon(QIcon::fromTheme(tema));
        barra->addAction(a);
        return a;
    };
    LeftAlign = alineacion(QStringLiteral("Izq"), QStringLiteral("Alineación izquierda"),
                           QStringLiteral("format-justify-left"), 0);
    CenterAlign = alineacion(QStringLiteral("Cen"), QStringLiteral("Alineación centrada"),
                             QStringLiteral("format-justify-center"), 2);
    RightAlign = alineacion(QStringLiteral("Der"), QStringLiteral("Alineación derecha"),
                            QStringLiteral("format-justify-right"), 1);
    LeftAlign->setChecked(true);
    connect(alineaciones, &QActionGroup::triggered, this, [this](QAction* a) { Orden([this, a] { AlignButtonClick(a); }); });
    BulletsButton = conmutador(QStringLiteral("•"), QStringLiteral("Viñetas"), [this] { BulletsButtonClick(); });
    BulletsButton->setIcon(QIcon::fromTheme(QStringLiteral("format-list-unordered")));

    // --- Ruler ------------------------------------------------------------
    Ruler = new ReglaWidget(this);
    Ruler->setObjectName(QStringLiteral("Ruler"));
    Ruler->setFont(QFont(QStringLiteral("Arial"), 8));
    Ruler->setFixedHeight(26);
    Ruler->installEventFilter(this);
    RulerLine = new QFrame(Ruler);
    RulerLine->setFrameShape(QFrame::HLine);
    RulerLine->setGeometry(4, 12, 100, 2);
    FirstInd = new MarcaRegla(Ruler, true);
    LeftInd = new MarcaRegla(Ruler, false);
    RightInd = new MarcaRegla(Ruler, false);
    for (QWidget* m : {FirstInd, LeftInd, RightInd})
        m->installEventFilter(this);
    FirstInd->move(2, 1);
    LeftInd->move(2, 26 - 8);
    RightInd->move(2, 26 - 8);

    auto* centro = new QWidget(this);
    auto* capas = new QVBoxLayout(centro);
    capas->setContentsMargins(0, 0, 0, 0);
    capas->setSpacing(0);
    capas->addWidget(Ruler);
    capas->addWidget(Editor);
    setCentralWidget(centro);

    // --- Status bar: caret position, modified mark, one spare panel -----------
    // Panels 120, 60 and 50 pixels wide, or as wide as their longest text in this font.
    const QFontMetrics m(font());
    const int anchos[3] = {std::max(120, m.horizontalAdvance(QString::fromStdString(TextoPosicionCursor(999, 999))) + 12),
                           std::max(60, m.horizontalAdvance(QStringLiteral("Modificado")) + 12), 50};
    for (int k = 0; k < 3; ++k) {
        StatusPanel[k] = new QLabel(this);
        StatusPanel[k]->setFixedWidth(anchos[k]);
        StatusPanel[k]->setFrameShape(QFrame::Panel);
        StatusPanel[k]->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(StatusPanel[k]);
    }
    StatusPanel[1]->setAlignment(Qt::AlignCenter);

    connect(Editor, &QTextEdit::cursorPositionChanged, this, [this] { SelectionChange(); });
    connect(Editor, &QTextEdit::selectionChanged, this, [this] {
        SelectionChange();
        ActionList2Update();
    });
    connect(Editor, &QTextEdit::currentCharFormatChanged, this, [this] { SelectionChange(); });
    connect(Editor, &QTextEdit::textChanged, this, [this] {
        ShowModifiedState(Editor->document()->isModified());
        emit TextoCambiado();
    });
    connect(Editor->document(), &QTextDocument::modificationChanged, this, [this](bool m) { ShowModifiedState(m); });
    connect(Editor, &QTextEdit::undoAvailable, this, [this] { ActionList2Update(); });
    connect(Editor, &QTextEdit::copyAvailable, this, [this] { ActionList2Update(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { ActionList2Update(); });

    // FormCreate: hints of every window arrive here.
    qApp->installEventFilter(this);
    ShowFileName(QString::fromUtf8(kSinTitulo));
    SetTextMargins();
    FormatoInicial();
    RulerResize();
    SelectionChange();
    ShowModifiedState(false);
    ActionList2Update();
}

TFormEditor::~TFormEditor() = default;

void TFormEditor::PonUsuario(IUsuario* usuario) { usuario_ = usuario; }

std::string TFormEditor::CarpetaDialogos() const
{
    const Arbol* a = doc_ ? &doc_->arbol() : nullptr;
    return CarpetaDialogosEditor(a ? a->DocumentoEditor : std::string(), a ? a->NombreFichero : std::string(),
                                 QDir::homePath().toStdString(),
                                 [](const std::string& carpeta) { return QFileInfo(QString::fromStdString(carpeta)).isDir(); });
}

IUsuario& TFormEditor::Usuario()
{
    if (usuario_)
        return *usuario_;
    if (doc_ && doc_->arbol().usuario)
        return *doc_->arbol().usuario;
    if (!usuarioQt_)
        usuarioQt_ = std::make_unique<UsuarioQt>(this);
    return *usuarioQt_;
}

template <class F> void TFormEditor::Orden(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        Usuario().Error(TextoCajaError(e.what()));
    }
}

// --- File commands ------------------------------------------------------------

void TFormEditor::ShowFileName(const QString& ruta)
{
    DocumentName_ = ruta;
    setWindowTitle(QString::fromStdString(TituloEditor(ruta.toStdString(), kTituloAplicacion)));
}

bool TFormEditor::AskSaveChanges()
{
    if (!Editor->document()->isModified())
        return true;
    switch (Usuario().Pregunta("Atención", "¿Desea guardar el fichero del editor?", Botones::SiNoCancelar,
                               Icono::Pregunta)) {
    case Respuesta::Cancelar:
        return false;
    case Respuesta::Si:
        // Cancelling the save dialog keeps the text: the caller stops rather than drop it.
        return FileSave();
    default:
        return true;
    }
}

void TFormEditor::FormatoInicial()
{
    // The current attributes start as the toolkit's default font, tab stops
    // every half inch as in RTF. Setting them up is not the user's doing: no
    // undo step, no modification.
    QTextDocument* d = Editor->document();
    const QFont defecto = QApplication::font();
    d->setDefaultFont(defecto);
    QTextOption opcion = d->defaultTextOption();
    opcion.setTabStopDistance(DocumentoRtf().TabDefecto / kTwipsPorPixel);
    d->setDefaultTextOption(opcion);
    QTextCharFormat inicial;
    inicial.setFontFamilies(QStringList{defecto.family()});
    inicial.setFontPointSize(defecto.pointSizeF() > 0 ? defecto.pointSizeF() : 10);
    // Replaced, not merged: nothing of the previous document carries over.
    Editor->setCurrentCharFormat(inicial);
    d->clearUndoRedoStacks();
    d->setModified(false);
}

void TFormEditor::FileNew()
{
    ShowFileName(QString::fromUtf8(kSinTitulo));
    Editor->clear();
    Editor->setReadOnly(false);
    FormatoInicial();
    ShowModifiedState(false);
    SelectionChange();
    ActionList2Update();
}

void TFormEditor::LoadDocument(const QString& ruta, bool foco)
{
    // Read first: a file that cannot be read leaves the text and the name as they were.
    const DocumentoRtf doc = CargarFicheroEditor(ruta.toStdString());
    DocumentoAQt(doc, *Editor->document());
    Editor->moveCursor(QTextCursor::Start);
    ShowFileName(ruta);
    if (foco)
        Editor->setFocus();
    Editor->document()->clearUndoRedoStacks();
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    SelectionChange();
    ActionList2Update();
}

std::optional<TextoEditor> TFormEditor::TextoSinGuardar() const
{
    if (!Editor->document()->isModified())
        return std::nullopt;
    TextoEditor t;
    if (DocumentName_ != QString::fromUtf8(kSinTitulo))
        t.Ruta = DocumentName_.toStdString();
    t.Texto = EscribirRtf(DocumentoDesdeQt(*Editor->document()));
    return t;
}

void TFormEditor::Recupera(const TextoEditor& documento)
{
    DocumentoAQt(LeerDocumentoEditor(documento.Texto), *Editor->document());
    Editor->moveCursor(QTextCursor::Start);
    Editor->setReadOnly(false);
    ShowFileName(documento.Ruta.empty() ? QString::fromUtf8(kSinTitulo) : QString::fromStdString(documento.Ruta));
    // Not what its file holds, if it has one: closing or a new tree asks to save it.
    Editor->document()->clearUndoRedoStacks();
    Editor->document()->setModified(true);
    ShowModifiedState(true);
    SelectionChange();
    ActionList2Update();
}

void TFormEditor::FileOpen()
{
    if (!AskSaveChanges())
        return;
    DialogoFichero d;
    d.Filtro = kFiltroRtf;
    d.ExtensionDefecto = "RTF";
    d.NombreInicial = CarpetaDialogos();
    const auto ruta = Usuario().AbrirFichero(d);
    if (!ruta)
        return;
    LoadDocument(QString::fromStdString(*ruta), true);
    Editor->setReadOnly(false);
}

bool TFormEditor::FileSave()
{
    if (DocumentName_ == QString::fromUtf8(kSinTitulo))
        return FileSaveAs();
    GuardarFicheroEditor(DocumentName_.toStdString(), EscribirRtf(DocumentoDesdeQt(*Editor->document())));
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    return true;
}

bool TFormEditor::FileSaveAs()
{
    DialogoFichero d;
    d.Filtro = kFiltroRtf;
    d.ExtensionDefecto = "RTF";
    d.NombreInicial = CarpetaDialogos();
    const auto ruta = Usuario().GuardarFichero(d);
    if (!ruta)
        return false;
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(*ruta), ec)) {
        if (Usuario().Pregunta("Confirm", "Sobreescribir " + *ruta + " ?", Botones::SiNoCancelar, Icono::Pregunta) !=
            Respuesta::Si)
            return false;
    }
    GuardarFicheroEditor(*ruta, EscribirRtf(DocumentoDesdeQt(*Editor->document())));
    ShowFileName(QString::fromStdString(*ruta));
    // The tree now links to this document: a change of the document, not a step.
    if (doc_)
        doc_->EjecutaSinPaso([this] { doc_->arbol().DocumentoEditor = DocumentName_.toStdString(); });
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    return true;
}

void TFormEditor::FilePrint()
{
    QPrinter impresora(QPrinter::HighResolution);
    QPrintDialog dialogo(&impresora, this);
    if (dialogo.exec() != QDialog::Accepted)
        return;
    impresora.setDocName(DocumentName_);
    Editor->print(&impresora);
}

void TFormEditor::FileExit() { hide(); }

void TFormEditor::DropFiles(const QStringList& rutas)
{
    if (rutas.isEmpty() || !AskSaveChanges())
        return;
    LoadDocument(rutas.first(), true);
}

void TFormEditor::closeEvent(QCloseEvent* e)
{
    // FormCloseQuery: a cancel or a failed save keeps the window open, silently.
    bool seguir = false;
    try {
        seguir = AskSaveChanges();
    } catch (...) {
        seguir = false;
    }
    if (seguir)
        e->accept();
    else
        e->ignore();
}

void TFormEditor::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    ShowCaretPosition();
    setAcceptDrops(true);
    ShowModifiedState(Editor->document()->isModified());
    Editor->setFocus();
    ActionList2Update();
}

void TFormEditor::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    SetTextMargins();
    SelectionChange();
}

bool TFormEditor::eventFilter(QObject* objeto, QEvent* e)
{
    if (e->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent*>(e)->tip());
        return false;
    }
    if (objeto == Editor->viewport() && (e->type() == QEvent::DragEnter || e->type() == QEvent::Drop)) {
        // Files dropped on the text open as documents; other drops are the text control's.
        auto* d = static_cast<QDropEvent*>(e);
        const QStringList ficheros = FicherosArrastrados(d);
        if (ficheros.isEmpty())
            return false;
        d->acceptProposedAction();
        if (e->type() == QEvent::Drop)
            Orden([this, ficheros] { DropFiles(ficheros); });
        return true;
    }
    if (objeto == Ruler && e->type() == QEvent::Resize) {
        RulerResize();
        SelectionChange();
        return false;
    }
    if (objeto == FirstInd || objeto == LeftInd || objeto == RightInd) {
        auto* marca = static_cast<QWidget*>(objeto);
        if (e->type() == QEvent::MouseButtonPress) {
            RulerItemMouseDown(marca, static_cast<QMouseEvent*>(e)->position().toPoint().x());
            return true;
        }
        if (e->type() == QEvent::MouseMove) {
            RulerItemMouseMove(marca, static_cast<QMouseEvent*>(e)->position().toPoint().x());
            return true;
        }
        if (e->type() == QEvent::MouseButtonRelease) {
            Dragging = false;
            if (marca == FirstInd)
                FirstIndMouseUp();
            else if (marca == LeftInd)
                LeftIndMouseUp();
            else
                RightIndMouseUp();
            return true;
        }
    }
    return QMainWindow::eventFilter(objeto, e);
}

QStringList TFormEditor::FicherosArrastrados(const QDropEvent* e)
{
    QStringList ficheros;
    if (e->mimeData()->hasUrls())
        for (const QUrl& u : e->mimeData()->urls())
            if (u.isLocalFile())
                ficheros << u.toLocalFile();
    return ficheros;
}

void TFormEditor::dragEnterEvent(QDragEnterEvent* e)
{
    if (!FicherosArrastrados(e).isEmpty())
        e->acceptProposedAction();
}

void TFormEditor::dropEvent(QDropEvent* e)
{
    const QStringList ficheros = FicherosArrastrados(e);
    if (ficheros.isEmpty())
        return;
    e->acceptProposedAction();
    Orden([this, ficheros] { DropFiles(ficheros); });
}

// --- Status bar ------------------------------------------------------------------

void TFormEditor::ShowHint(const QString& hint)
{
    if (hint.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(hint);
}

void TFormEditor::ShowModifiedState(bool modificado)
{
    StatusPanel[1]->setText(modificado ? QStringLiteral("Modificado") : QString());
}

void TFormEditor::ShowCaretPosition()
{
    // Lines as the control shows them: a wrapped paragraph counts each of its lines.
    const QTextCursor c = Editor->textCursor();
    const QTextBlock bloque = c.block();
    int linea = 0;
    for (QTextBlock b = Editor->document()->begin(); b.isValid() && b != bloque; b = b.next())
        linea += std::max(1, b.layout() ? b.layout()->lineCount() : 1);
    const int pos = c.positionInBlock();
    int inicio = 0;
    if (bloque.layout() && bloque.layout()->lineCount() > 0) {
        const QTextLine l = bloque.layout()->lineForTextPosition(pos);
        if (l.isValid()) {
            linea += l.lineNumber();
            inicio = l.textStart();
        }
    }
    StatusPanel[0]->setText(QString::fromStdString(TextoPosicionCursor(linea + 1, pos - inicio + 1)));
}

void TFormEditor::ActionList2Update()
{
    const bool seleccion = Editor->textCursor().hasSelection();
    CutAction->setEnabled(seleccion);
    CopyAction->setEnabled(seleccion);
    UndoAction->setEnabled(Editor->document()->isUndoAvailable());
    PasteAction->setEnabled(Editor->canPaste());
}

// --- Formatting ---------------------------------------------------------------------

void TFormEditor::SelectionChange()
{
    // Also reached from resize events while the window is still being built.
    if (Updating || !StatusPanel[0] || !BulletsButton)
        return;
    Actualizando guarda(Updating);
    const SangriasPuntos s = SangriasActuales();
    FirstInd->move(PosicionMarcaPrimera(s), FirstInd->y());
    LeftInd->move(PosicionMarcaIzquierda(s), LeftInd->y());
    RightInd->move(PosicionMarcaDerecha(s, Ruler->width()), RightInd->y());

    const QTextCharFormat f = Editor->currentCharFormat();
    const QFont defecto = Editor->document()->defaultFont();
    BoldButton->setChecked(f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : defecto.bold());
    ItalicButton->setChecked(f.fontItalic());
    UnderlineButton->setChecked(f.underlineStyle() != QTextCharFormat::NoUnderline || f.fontUnderline());
    BulletsButton->setChecked(Editor->textCursor().currentList() != nullptr);
    const double puntos = f.fontPointSize() > 0 ? f.fontPointSize() : defecto.pointSizeF();
    FontSize->setValue(static_cast<int>(std::lround(puntos)));
    const QStringList familias = f.fontFamilies().toStringList();
    FontName->setCurrentText(familias.isEmpty() ? defecto.family() : familias.first());
    const Qt::Alignment a = Editor->alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight)
        RightAlign->setChecked(true);
    else if (a & Qt::AlignHCenter)
        CenterAlign->setChecked(true);
    else
        LeftAlign->setChecked(true);
    ShowCaretPosition();
}

void TFormEditor::BoldButtonClick()
{
    if (Updating)
        return;
    QTextCharFormat f;
    f.setFontWeight(BoldButton->isChecked() ? QFont::Bold : QFont::Normal);
    Editor->mergeCurrentCharFormat(f);
}

void TFormEditor::ItalicButtonClick()
{
    if (Updating)
        return;
    QTextCharFormat f;
    f.setFontItalic(ItalicButton->isChecked());
    Editor->mergeCurrentCharFormat(f);
}

void TFormEditor::UnderlineButtonClick()
{
    if (Updating)
        return;
    QTextCharFormat f;
    f.setFontUnderline(UnderlineButton->isChecked());
    Editor->mergeCurrentCharFormat(f);
}

void TFormEditor::FontSizeChange()
{
    if (Updating)
        return;
    // A size of 0 (the box's starting text) is no size at all.
    if (FontSize->value() < 1)
        return;
    QTextCharFormat f;
    f.setFontPointSize(FontSize->value());
    Editor->mergeCurrentCharFormat(f);
}

void TFormEditor::FontNameChange()
{
    if (Updating || FontName->currentText().isEmpty())
        return;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{FontName->currentText()});
    Editor->mergeCurrentCharFormat(f);
}

void TFormEditor::AlignButtonClick(QAction* boton)
{
    if (Updating)
        return;
    switch (boton->data().toInt()) {
    case 1:
        Editor->setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        break;
    case 2:
        Editor->setAlignment(Qt::AlignHCenter);
        break;
    default:
        Editor->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
        break;
    }
}

void TFormEditor::BulletsButtonClick()
{
    if (Updating)
        return;
    QTextCursor c = Editor->textCursor();
    c.beginEditBlock();
    if (BulletsButton->isChecked()) {
        if (!c.currentList())
            c.createList(FormatoVinyeta());
    } else {
        QTextDocument* d = Editor->document();
        QTextBlock b = d->findBlock(c.selectionStart());
        const QTextBlock fin = d->findBlock(c.selectionEnd());
        while (b.isValid()) {
            if (QTextList* l = b.textList())
                l->remove(b);
            if (b == fin)
                break;
            b = b.next();
        }
    }
    c.endEditBlock();
}

void TFormEditor::SelectFont()
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, Editor->currentFont(), this);
    if (ok) {
        QTextCharFormat cf;
        cf.setFont(f, QTextCharFormat::FontPropertiesSpecifiedOnly);
        cf.setFontFamilies(QStringList{f.family()});
        cf.setFontPointSize(f.pointSizeF());
        Editor->mergeCurrentCharFormat(cf);
    }
    SelectionChange();
    Editor->setFocus();
}

// --- Ruler ------------------------------------------------------------------------

SangriasPuntos TFormEditor::SangriasActuales() const
{
    const QTextBlockFormat b = Editor->textCursor().blockFormat();
    return SangriasDesdeTwips(static_cast<int32_t>(std::lround(b.leftMargin() * kTwipsPorPixel)),
                              static_cast<int32_t>(std::lround(b.textIndent() * kTwipsPorPixel)),
                              static_cast<int32_t>(std::lround(b.rightMargin() * kTwipsPorPixel)));
}

void TFormEditor::PonSangrias(const SangriasPuntos& s)
{
    int32_t li = 0, fi = 0, ri = 0;
    SangriasATwips(s, li, fi, ri);
    QTextBlockFormat m;
    m.setLeftMargin(li / kTwipsPorPixel);
    m.setTextIndent(fi / kTwipsPorPixel);
    m.setRightMargin(ri / kTwipsPorPixel);
    QTextCursor c = Editor->textCursor();
    c.mergeBlockFormat(m);
}

void TFormEditor::RulerItemMouseDown(QWidget* marca, int x)
{
    DragOffset = marca->width() / 2;
    marca->move(marca->x() + x - DragOffset, marca->y());
    Dragging = true;
}

void TFormEditor::RulerItemMouseMove(QWidget* marca, int x)
{
    if (Dragging)
        marca->move(marca->x() + x - DragOffset, marca->y());
}

void TFormEditor::FirstIndMouseUp()
{
    Dragging = false;
    SangriasPuntos s = SangriasActuales();
    SoltarMarcaPrimera(s, FirstInd->x(), LeftInd->x(), DragOffset);
    PonSangrias(s);
    SelectionChange();
}

void TFormEditor::LeftIndMouseUp()
{
    Dragging = false;
    SangriasPuntos s = SangriasActuales();
    SoltarMarcaIzquierda(s, LeftInd->x(), DragOffset);
    PonSangrias(s);
    SelectionChange();
}

void TFormEditor::RightIndMouseUp()
{
    Dragging = false;
    SangriasPuntos s = SangriasActuales();
    SoltarMarcaDerecha(s, RightInd->x(), DragOffset, Ruler->width());
    PonSangrias(s);
    SelectionChange();
}

void TFormEditor::RulerResize()
{
    RulerLine->resize(std::max(0, Ruler->width() - 2 * RulerLine->x()), RulerLine->height());
}

void TFormEditor::SetTextMargins()
{
    // The text runs from 6 pixels in on the left to 6 pixels short of the right edge.
    if (Editor->document()->documentMargin() != 6)
        Editor->document()->setDocumentMargin(6);
}
