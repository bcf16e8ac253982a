#include "app/AyudaU.h"

#include "app/Aplicacion.h"
#include "app/Iconos.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QThread>
#include <QTranslator>
#include <QVBoxLayout>

namespace {

const QString kEspacio = QStringLiteral("es.nemor.manual");
const QString kColeccion = QStringLiteral("nemor.qhc");

QPointer<TFormAyuda> formAyuda;
QString rutaForm; // the collection formAyuda was made from

// Which page each window has: its class, then the keyword id in doc/nemor.qhp.
const struct {
    const char* clase;
    const char* id;
} kPaginas[] = {
    {"TFormVar", "ventana.variables"},     {"TOpciones", "ventana.opciones"},
    {"TFormVariacion", "ventana.variacion"}, {"TFormHistorico", "ventana.historico"},
    {"TFormProgresoVariacion", "ventana.progresovariacion"},
    {"TFormPerfil", "ventana.perfil"},      {"TFormTornado", "ventana.tornado"},
    {"TTreeAD", "ventana.esquema"},         {"TFormEditor", "ventana.editor"},
    {"TFormPrevisualizar", "ventana.previsualizar"}, {"TFormBar", "ventana.previsualizar"},
    {"TFormImprimiendo", "ventana.previsualizar"}, {"TFormDato", "ventana.dato"},
    {"TFormNota", "ventana.nota"},          {"TAboutBox", "nemor.inicio"},
    {"TFormRecuperacion", "ventana.recuperacion"},
    {"TArbol", "ventana.principal"},
};

// The user's copy of the collection: the search index is written beside it,
// and an installed collection sits where nobody may write.
QString CopiaDeUsuario(const QString& original)
{
    const QString carpeta =
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/ayuda");
    const QString copia = carpeta + QLatin1Char('/') + kColeccion;
    const QFileInfo o(original), c(copia);
    if (!c.exists() || c.lastModified() < o.lastModified() || c.size() != o.size()) {
        QDir().mkpath(carpeta);
        QFile::remove(copia);
        // The old search index belongs to the old pages.
        QDir(carpeta + QStringLiteral("/.nemor")).removeRecursively();
        if (!QFile::copy(original, copia))
            return original;
        QFile(copia).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    return copia;
}

// The help widgets' own texts ("Search", the hit count) in the program's
// language, as the rest of Qt's texts (CargaTraducciones).
void TraduceAyuda()
{
    static bool hecho = false;
    if (hecho)
        return;
    hecho = true;
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* t = new QTranslator(qApp);
    if (t->load(QLocale::system(), QStringLiteral("qt_help"), QStringLiteral("_"), carpeta) ||
        t->load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qt_help"), QStringLiteral("_"), carpeta))
        QCoreApplication::installTranslator(t);
    else
        delete t;
}

} // namespace

QString RutaManual()
{
    // Another compiled manual, named by hand (tests use it).
    if (qEnvironmentVariableIsSet("NEMOR_AYUDA")) {
        const QFileInfo f(qEnvironmentVariable("NEMOR_AYUDA"));
        return f.exists() ? f.absoluteFilePath() : QString();
    }
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& c : {dir + QStringLiteral("/doc/"), dir + QStringLiteral("/../share/nemor/ayuda/")}) {
        const QFileInfo f(c + kColeccion);
        if (f.exists() && QFileInfo::exists(f.absolutePath() + QStringLiteral("/nemor.qch")))
            return f.absoluteFilePath();
    }
    return {};
}

QString IdentificadorAyuda(const QWidget* w)
{
    for (const QWidget* v = w; v; v = v->parentWidget()) {
        if (!v->isWindow())
            continue;
        for (const auto& p : kPaginas)
            if (v->inherits(p.clase))
                return QString::fromLatin1(p.id);
    }
    return QStringLiteral("ventana.principal");
}

VisorAyuda::VisorAyuda(QHelpEngine* motor, QWidget* parent) : QTextBrowser(parent), motor_(motor)
{
    setObjectName(QStringLiteral("Visor"));
    setOpenLinks(true);
    setOpenExternalLinks(true);
}

QVariant VisorAyuda::loadResource(int tipo, const QUrl& nombre)
{
    if (nombre.scheme() == QLatin1String("qthelp"))
        return motor_->fileData(nombre);
    return QTextBrowser::loadResource(tipo, nombre);
}

TFormAyuda::TFormAyuda(const QString& coleccion, QWidget* parent) : QMainWindow(parent, Qt::Window)
{
    TraduceAyuda();
    setObjectName(QStringLiteral("FormAyuda"));
    setWindowTitle(QStringLiteral("Manual de NEMOR"));
    setWindowIcon(Icono(QStringLiteral("ayuda")));
    resize(960, 680);

    motor_ = new QHelpEngine(CopiaDeUsuario(coleccion), this);
    valido_ = motor_->setupData();
    // A copied collection may name its pages by a path relative to where it was built.
    if (valido_ && !QFileInfo::exists(motor_->documentationFileName(kEspacio))) {
        motor_->unregisterDocumentation(kEspacio);
        valido_ = motor_->registerDocumentation(QFileInfo(coleccion).absolutePath() + QStringLiteral("/nemor.qch"));
    }
    valido_ = valido_ && !motor_->files(kEspacio, QStringList()).isEmpty();

    auto* division = new QSplitter(this);
    Pestanas = new QTabWidget(division);
    Pestanas->setObjectName(QStringLiteral("Pestanas"));
    Visor = new VisorAyuda(motor_, division);
    division->addWidget(Pestanas);
    division->addWidget(Visor);
    division->setStretchFactor(1, 3);
    division->setSizes({280, 680});
    setCentralWidget(division);

    QHelpContentWidget* contenido = motor_->contentWidget();
    contenido->setObjectName(QStringLiteral("Contenido"));
    Pestanas->addTab(contenido, QStringLiteral("Contenido"));
    connect(contenido, &QHelpContentWidget::linkActivated, this, &TFormAyuda::MuestraPagina);
    // One click on a chapter opens it, as in any help window.
    connect(contenido, &QHelpContentWidget::clicked, this, [this](const QModelIndex& i) {
        if (QHelpContentItem* item = motor_->contentModel()->contentItemAt(i))
            MuestraPagina(item->url());
    });
    // The contents arrive after the first page is shown: mark it then.
    connect(motor_->contentModel(), &QHelpContentModel::contentsCreated, this, [this, contenido] {
        contenido->expandToDepth(0);
        MarcaEnContenido();
    });

    auto* indice = new QWidget(Pestanas);
    auto* li = new QVBoxLayout(indice);
    BuscaIndice = new QLineEdit(indice);
    BuscaIndice->setObjectName(QStringLiteral("BuscaIndice"));
    BuscaIndice->setPlaceholderText(QStringLiteral("Palabra que busca"));
    BuscaIndice->setClearButtonEnabled(true);
    QHelpIndexWidget* lista = motor_->indexWidget();
    lista->setObjectName(QStringLiteral("Indice"));
    li->addWidget(BuscaIndice);
    li->addWidget(lista);
    Pestanas->addTab(indice, QStringLiteral("Índice"));
    connect(BuscaIndice, &QLineEdit::textChanged, lista, [lista](const QString& t) { lista->filterIndices(t); });
    connect(BuscaIndice, &QLineEdit::returnPressed, lista, &QHelpIndexWidget::activateCurrentItem);
    connect(lista, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink& d, const QString&) { MuestraPagina(d.url); });
    connect(lista, &QHelpIndexWidget::documentsActivated, this, [this](const QList<QHelpLink>& ds, const QString&) {
        if (!ds.isEmpty())
            MuestraPagina(ds.first().url);
    });

    auto* busca = new QWidget(Pestanas);
    auto* lb = new QVBoxLayout(busca);
    QHelpSearchEngine* buscador = motor_->searchEngine();
    auto* pregunta = buscador->queryWidget();
    pregunta->setObjectName(QStringLiteral("Pregunta"));
    auto* resultados = buscador->resultWidget();
    resultados->setObjectName(QStringLiteral("Resultados"));
    lb->addWidget(pregunta);
    lb->addWidget(resultados, 1);
    Pestanas->addTab(busca, QStringLiteral("Buscar"));
    connect(pregunta, &QHelpSearchQueryWidget::search, this,
            [buscador, pregunta] { buscador->search(pregunta->searchInput()); });
    connect(resultados, &QHelpSearchResultWidget::requestShowLink, this, &TFormAyuda::MuestraPagina);
    // The index of the words is made once per copy of the collection, in the background.
    if (valido_)
        buscador->scheduleIndexDocumentation();
}

TFormAyuda::~TFormAyuda()
{
    // Qt's help engine builds the contents and the index in threads of its
    // own; destroyed while one still runs, it can free what the thread frees
    // too. The window waits for them (a few milliseconds at most) first.
    QElapsedTimer reloj;
    reloj.start();
    while ((motor_->contentModel()->isCreatingContents() || motor_->indexModel()->isCreatingIndex()) &&
           reloj.elapsed() < 5000)
        QThread::msleep(2);
}

bool TFormAyuda::MuestraIdentificador(const QString& id)
{
    const QList<QHelpLink> enlaces = motor_->documentsForIdentifier(id);
    if (enlaces.isEmpty())
        return false;
    MuestraPagina(enlaces.first().url);
    return true;
}

void TFormAyuda::MuestraPagina(const QUrl& url)
{
    Visor->setSource(url);
    MarcaEnContenido();
}

void TFormAyuda::MarcaEnContenido()
{
    QHelpContentWidget* c = motor_->contentWidget();
    const QModelIndex i = c->indexOf(Visor->source().adjusted(QUrl::RemoveFragment));
    if (i.isValid())
        c->setCurrentIndex(i);
}

QUrl TFormAyuda::PaginaActual() const
{
    return Visor->source();
}

void TFormAyuda::hideEvent(QHideEvent* e)
{
    // Opened over a modal dialog it was modal too; next time it may not be.
    QMainWindow::hideEvent(e);
    if (windowModality() != Qt::NonModal && !isVisible())
        setWindowModality(Qt::NonModal);
}

TFormAyuda* FormAyuda()
{
    return formAyuda;
}

void AbreManual(QWidget* desde, const QString& id)
{
    const QString ruta = RutaManual();
    QWidget* padre = desde ? desde->window() : QApplication::activeWindow();
    if (ruta.isEmpty()) {
        QMessageBox caja(QMessageBox::Warning, QStringLiteral("NEMOR"),
                         QStringLiteral("No se encuentra el manual de usuario (nemor.qhc y nemor.qch). Debería "
                                        "estar en %1 o, en una carpeta de compilación, en %2.")
                             .arg(QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/../share/nemor/ayuda")),
                                  QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/doc"))),
                         QMessageBox::Ok, padre);
        caja.setObjectName(QStringLiteral("CajaSinManual"));
        caja.exec();
        return;
    }
    if (!formAyuda || rutaForm != ruta) {
        delete formAyuda;
        // A child of the main window, so it goes with the program.
        QWidget* principal = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("TArbol"))
                principal = w;
        formAyuda = new TFormAyuda(ruta, principal);
        rutaForm = ruta;
    }
    if (!formAyuda->Valido()) {
        QMessageBox caja(QMessageBox::Warning, QStringLiteral("NEMOR"),
                         QStringLiteral("El manual de usuario de %1 no se puede abrir: está dañado o incompleto.")
                             .arg(QDir::toNativeSeparators(ruta)),
                         QMessageBox::Ok, padre);
        caja.setObjectName(QStringLiteral("CajaSinManual"));
        caja.exec();
        return;
    }
    if (!formAyuda->MuestraIdentificador(id))
        formAyuda->MuestraIdentificador(QStringLiteral("nemor.inicio"));
    // Over a modal dialog any other window is blocked: then the manual is modal too.
    if (QApplication::activeModalWidget() && QApplication::activeModalWidget() != formAyuda &&
        !formAyuda->isVisible())
        formAyuda->setWindowModality(Qt::ApplicationModal);
    formAyuda->show();
    formAyuda->raise();
    formAyuda->activateWindow();
}

namespace {

class TeclaAyuda : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() != Qt::Key_F1 || k->modifiers() != Qt::NoModifier || k->isAutoRepeat())
            return false;
        auto* w = qobject_cast<QWidget*>(o);
        if (!w)
            return false;
        // In the manual itself F1 does nothing more.
        if (formAyuda && w->window() == formAyuda)
            return true;
        Protegido([&] { AbreManual(w, IdentificadorAyuda(w)); });
        return true;
    }
};

} // namespace

void InstalaTeclaAyuda(QWidget* ventanaPrincipal)
{
    qApp->installEventFilter(new TeclaAyuda(ventanaPrincipal));
}
