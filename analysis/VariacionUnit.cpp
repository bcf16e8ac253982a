#include "analysis/VariacionUnit.h"

#include "app/Aplicacion.h"
#include "app/DocumentoU.h"
#include "common/Errores.h"
#include "drawing/ConversionQt.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"
#include "variables/Variables.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <typename T>
T* Control(QWidget* padre, const char* nombre, const QRect& r)
{
    auto* c = new T(padre);
    c->setObjectName(QString::fromLatin1(nombre));
    c->setGeometry(r);
    return c;
}

QLabel* Rotulo(QWidget* padre, const char* nombre, const QString& texto, int x, int y)
{
    auto* l = Control<QLabel>(padre, nombre, QRect(x, y, 160, 16));
    l->setText(texto);
    return l;
}

} // namespace

TFormVariacion::TFormVariacion(TDocumento& documento, QWidget* parent)
    : QDialog(parent), doc_(documento), arbol_(documento.arbol())
{
    setObjectName(QStringLiteral("FormVariacion"));
    setWindowTitle(QStringLiteral("Variación"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    Label1 = Rotulo(this, "Label1", QStringLiteral("Variable:"), 8, 8);
    ComboBox1 = Control<QComboBox>(this, "ComboBox1", QRect(8, 24, 330, 22));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    Label2 = Rotulo(this, "Label2", QStringLiteral("Desde:"), 8, 56);
    Desde = Control<QLineEdit>(this, "Desde", QRect(8, 72, 100, 22));
    Desde->setText(QStringLiteral("0"));
    Label3 = Rotulo(this, "Label3", QStringLiteral("Hasta:"), 120, 56);
    Hasta = Control<QLineEdit>(this, "Hasta", QRect(120, 72, 100, 22));
    Hasta->setText(QStringLiteral("1"));
    Label4 = Rotulo(this, "Label4", QStringLiteral("Incremento:"), 232, 56);
    Incremento = Control<QLineEdit>(this, "Incremento", QRect(232, 72, 106, 22));
    Incremento->setText(QStringLiteral("0.1"));
    CheckBoxConjunto = Control<QCheckBox>(this, "CheckBoxConjunto", QRect(8, 106, 200, 20));
    CheckBoxConjunto->setText(QStringLiteral("Definición de conjunto"));

    BitBtn1 = Control<QPushButton>(this, "BitBtn1", QRect(176, 134, 78, 26));
    BitBtn1->setText(QStringLiteral("Aceptar"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtn1->setDefault(true);
    BitBtn2 = Control<QPushButton>(this, "BitBtn2", QRect(260, 134, 78, 26));
    BitBtn2->setText(QStringLiteral("Cancelar"));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    Label5 = Rotulo(this, "Label5", QStringLiteral("Variables definidas"), 8, 172);
    ListBox1 = Control<QListWidget>(this, "ListBox1", QRect(8, 188, 140, 150));
    ListBox1->setSortingEnabled(false); // filled in order already sorted
    SBPone = Control<QToolButton>(this, "SBPone", QRect(156, 220, 26, 26));
    SBPone->setText(QStringLiteral(">"));
    SBPone->setToolTip(QStringLiteral("Poner"));
    SBQuita = Control<QToolButton>(this, "SBQuita", QRect(156, 252, 26, 26));
    SBQuita->setText(QStringLiteral("<"));
    SBQuita->setToolTip(QStringLiteral("Quitar"));
    Label6 = Rotulo(this, "Label6", QStringLiteral("Conjunto de probabilidades"), 190, 172);
    ListBox2 = Control<QListWidget>(this, "ListBox2", QRect(190, 188, 148, 150));
    LSuma = Rotulo(this, "LSuma", QStringLiteral("Suma = 0"), 190, 344);

    connect(CheckBoxConjunto, &QCheckBox::clicked, this, &TFormVariacion::CheckBoxConjuntoClick);
    connect(SBPone, &QToolButton::clicked, this, &TFormVariacion::SBPoneClick);
    connect(SBQuita, &QToolButton::clicked, this, &TFormVariacion::SBQuitaClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    setFixedWidth(346);
    Acortar();
}

void TFormVariacion::Acortar()
{
    setFixedHeight(190);
    for (QWidget* w : std::initializer_list<QWidget*>{Label5, Label6, ListBox1, ListBox2, SBPone, SBQuita, LSuma})
        w->hide();
}

void TFormVariacion::Ampliar()
{
    setFixedHeight(372);
    for (QWidget* w : std::initializer_list<QWidget*>{Label5, Label6, ListBox1, ListBox2, SBPone, SBQuita, LSuma})
        w->show();
}

void TFormVariacion::CheckBoxConjuntoClick()
{
    Protegido([&] {
        if (CheckBoxConjunto->isChecked())
            Ampliar();
        else
            Acortar();
    });
}

void TFormVariacion::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        Protegido([&] { FormShow(); });
}

void TFormVariacion::FormShow()
{
    // The lines are offered as a solve would write them, so that the chosen
    // line is found in the list afterwards.
    doc_.EjecutaSinPaso([this] { PreparaListaVariacion(arbol_); });
    ComboBox1->clear();
    ListBox1->clear();
    ListBox2->clear();
    LSuma->setText(QStringLiteral("Suma = 0"));
    for (const auto& l : ListaSeleccionVariables(arbol_))
        ComboBox1->addItem(Q(l));
    for (const auto& l : LineasConjuntoOrdenadas(arbol_))
        ListBox1->addItem(Q(l));
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString());
    ComboBox1->setFocus();
}

void TFormVariacion::RecalculaSuma()
{
    std::vector<std::string> lineas;
    for (int i = 0; i < ListBox2->count(); ++i)
        lineas.push_back(ListBox2->item(i)->text().toStdString());
    LSuma->setText(Q(TextoSuma(arbol_, lineas)));
}

void TFormVariacion::SBPoneClick()
{
    Protegido([&] {
        const int i = ListBox1->currentRow();
        if (i < 0 || !ListBox1->currentItem()->isSelected())
            throw ENemor("List index out of bounds (" + std::to_string(i < 0 ? -1 : i) + ")");
        ListBox2->addItem(ListBox1->item(i)->text());
        RecalculaSuma();
    });
}

void TFormVariacion::SBQuitaClick()
{
    Protegido([&] {
        const int i = ListBox2->currentRow();
        if (i < 0)
            return;
        delete ListBox2->takeItem(i);
        RecalculaSuma();
    });
}

ParametrosVariacion TFormVariacion::Parametros() const
{
    ParametrosVariacion p;
    p.Linea = ComboBox1->currentText().toStdString();
    p.Desde = Desde->text().toStdString();
    p.Hasta = Hasta->text().toStdString();
    p.Incremento = Incremento->text().toStdString();
    p.Conjunto = CheckBoxConjunto->isChecked();
    for (int i = 0; i < ListBox2->count(); ++i)
        p.LineasConjunto.push_back(ListBox2->item(i)->text().toStdString());
    return p;
}

// --- The sweep with its progress --------------------------------------------------

int RetrasoProgresoMs = 500;

TFormProgresoVariacion::TFormProgresoVariacion(const std::string& variable, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormProgresoVariacion"));
    setWindowTitle(QStringLiteral("Variación en curso"));
    setWindowModality(Qt::ApplicationModal);
    auto* l = new QVBoxLayout(this);
    variable_ = Q(variable);
    ProgressLabel = new QLabel(variable.empty() ? QStringLiteral("Calculando la variación...")
                                                : QStringLiteral("Calculando la variación de %1...").arg(variable_),
                               this);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    LPuntos = new QLabel(this);
    LPuntos->setObjectName(QStringLiteral("LPuntos"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setTextVisible(false);
    BDetener = new QPushButton(QStringLiteral("Detener"), this);
    BDetener->setObjectName(QStringLiteral("BDetener"));
    BDetener->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    BDetener->setDefault(true);
    auto* fila = new QHBoxLayout;
    fila->addStretch();
    fila->addWidget(BDetener);
    l->addWidget(ProgressLabel);
    l->addWidget(LPuntos);
    l->addWidget(ProgressBar1);
    l->addLayout(fila);
    connect(BDetener, &QPushButton::clicked, this, &TFormProgresoVariacion::BDetenerClick);
    setMinimumWidth(360);
}

void TFormProgresoVariacion::Muestra(const ProgresoVariacion& p)
{
    if (!detenido_)
        LPuntos->setText(QStringLiteral("Puntos calculados: %1     %2 = %3")
                             .arg(QString::number(p.Puntos), variable_.isEmpty() ? QStringLiteral("x") : variable_,
                                  Q(FormatoEtiqueta(p.X, 15, 0))));
    ProgressBar1->setValue(static_cast<int>(std::lround(p.Fraccion * 1000)));
    if (!isVisible()) {
        adjustSize();
        if (QScreen* s = QApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
        show();
        raise();
        activateWindow();
    }
}

void TFormProgresoVariacion::BDetenerClick()
{
    Protegido([&] {
        // The sweep looks at this after its current step, and ends there.
        detenido_ = true;
        BDetener->setEnabled(false);
        LPuntos->setText(QStringLiteral("Deteniendo..."));
    });
}

void TFormProgresoVariacion::reject() { BDetenerClick(); }

namespace {

// While a sweep runs, the windows that were open when it started take no
// input: no command may start in the middle of it. The progress window, and
// any message a step shows, are new windows and work as usual.
class BloqueoOrdenes : public QObject {
public:
    BloqueoOrdenes()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            bloqueadas_.insert(w);
        qApp->installEventFilter(this);
    }
    ~BloqueoOrdenes() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TabletPress:
        case QEvent::Close:
            break;
        default:
            return false;
        }
        auto* w = qobject_cast<QWidget*>(o);
        // A shortcut goes to its action, not to a widget: the windows open before the sweep own them all.
        const bool bloqueada = w ? bloqueadas_.contains(w->window()) : e->type() == QEvent::Shortcut;
        if (bloqueada)
            e->ignore();
        return bloqueada;
    }

private:
    QSet<QWidget*> bloqueadas_;
};

// The result window takes the results; the main window stays painted while the
// sweep holds the thread; the progress shows once the sweep runs long.
class VistaConProgreso : public IVistaVariacion {
public:
    VistaConProgreso(IVistaVariacion& resultados, QWidget* panel, std::function<void()> refresca, std::string variable)
        : resultados_(resultados), panel_(panel), refresca_(std::move(refresca)), variable_(std::move(variable))
    {
        reloj_.start();
    }
    ~VistaConProgreso() override
    {
        // Also when a step failed: the error box must not find it still on screen.
        if (progreso_) {
            progreso_->hide();
            progreso_->deleteLater();
        }
    }
    void Limpia() override { resultados_.Limpia(); }
    void AnyadePunto(double x, double y) override { resultados_.AnyadePunto(x, y); }
    void Muestra() override
    {
        if (progreso_)
            progreso_->hide();
        resultados_.Muestra();
    }
    void PanelVisible(bool visible) override
    {
        if (panel_)
            panel_->setVisible(visible);
    }
    bool Paso(const ProgresoVariacion& p) override
    {
        // A look at the clock is cheap; the windows are kept up to date some 25 times a second.
        const qint64 ahora = reloj_.elapsed();
        if (ahora - ultimo_ < 40)
            return !Detenido();
        ultimo_ = ahora;
        if (ahora >= RetrasoProgresoMs) {
            if (!progreso_)
                progreso_ = new TFormProgresoVariacion(variable_, QApplication::activeWindow());
            progreso_->Muestra(p);
        }
        if (refresca_)
            refresca_();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return !Detenido();
    }

private:
    bool Detenido() const { return progreso_ && progreso_->Detenido(); }

    IVistaVariacion& resultados_;
    QPointer<QWidget> panel_;
    std::function<void()> refresca_;
    std::string variable_;
    QElapsedTimer reloj_;
    qint64 ultimo_ = -1000; // the first step looks at once
    QPointer<TFormProgresoVariacion> progreso_;
};

bool barridoEnCurso = false;

} // namespace

bool EjecutaVariacionesEnVentana(Arbol& arbol, const ParametrosVariacion& p, IVistaVariacion& resultados,
                                 QWidget* panel, std::function<void()> refresca)
{
    if (barridoEnCurso)
        return false;
    barridoEnCurso = true;
    struct Fin {
        ~Fin()
        {
            barridoEnCurso = false;
            QApplication::restoreOverrideCursor();
        }
    } fin;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    BloqueoOrdenes bloqueo;
    VistaConProgreso vista(resultados, panel, std::move(refresca), NombreDeLinea(p.Linea));
    return EjecutaVariaciones(arbol, p, vista);
}
