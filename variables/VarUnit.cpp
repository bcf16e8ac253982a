#include "variables/VarUnit.h"

#include "app/Aplicacion.h"
#include "app/DocumentoU.h"
#include "tree/Arbol.h"
#include "variables/Bayes.h"
#include "variables/Variables.h"

#include <QEvent>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

std::vector<std::string> Lineas(const QPlainTextEdit* memo) { return LineasDeTexto(memo->toPlainText().toStdString()); }

} // namespace

TFormVar::TFormVar(TDocumento& documento, QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(documento), fuenteDialogo_(QStringLiteral("MS Sans Serif"), 8)
{
    setObjectName(QStringLiteral("FormVar"));
    setWindowTitle(QStringLiteral("Variables"));
    resize(420, 320);

    auto* botones = new QVBoxLayout;
    botones->setSpacing(2);
    auto boton = [&](QToolButton*& b, const char* nombre, const QString& texto, const QString& hint) {
        b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setText(texto);
        b->setToolTip(hint);
        b->setFixedSize(28, 28);
        botones->addWidget(b);
    };
    boton(SBCerrar, "SBCerrar", QStringLiteral("✕"), QStringLiteral("Cerrar"));
    boton(SBTodosBayes, "SBTodosBayes", QStringLiteral("B"), QStringLiteral("Calcula las formulas de Bayes"));
    boton(SBBorrar, "SBBorrar", QStringLiteral("⌫"), QStringLiteral("Borrar todo"));
    boton(SBFuente, "SBFuente", QStringLiteral("F"), QStringLiteral("Fuente"));
    boton(SBFijar, "SBFijar", QStringLiteral("⊤"), QStringLiteral("Fija la ventana"));
    SBFijar->setCheckable(true);
    botones->addStretch();

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::Monospace);
    Memo1->setFont(courier);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2 = new QPlainTextEdit(this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setVisible(false);

    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(2, 2, 2, 2);
    fila->addLayout(botones);
    fila->addWidget(Memo1, 1);

    connect(SBCerrar, &QToolButton::clicked, this, &TFormVar::SBCerrarClick);
    connect(SBTodosBayes, &QToolButton::clicked, this, &TFormVar::SBTodosBayesClick);
    connect(SBBorrar, &QToolButton::clicked, this, &TFormVar::SBBorrarClick);
    connect(SBFuente, &QToolButton::clicked, this, &TFormVar::SBFuenteClick);
    connect(SBFijar, &QToolButton::toggled, this, &TFormVar::SBFijarClick);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TFormVar::Memo1Change);
    connect(Memo2, &QPlainTextEdit::textChanged, this, &TFormVar::Memo2Change);
    connect(&doc_, &TDocumento::Cambiado, this, &TFormVar::DocumentoCambiado);
    Memo1->installEventFilter(this);
    MuestraVariables();
}

void TFormVar::DocumentoCambiado(const Cambio& c)
{
    if (c.Variables || c.Nuevo)
        MuestraVariables();
}

bool TFormVar::eventFilter(QObject* objeto, QEvent* e)
{
    if (objeto == Memo1 && e->type() == QEvent::FocusIn)
        ++escritura_;
    return QWidget::eventFilter(objeto, e);
}

void TFormVar::MuestraVariables()
{
    const Arbol& a = doc_.arbol();
    mostrando_ = true;
    if (Lineas(Memo1) != a.Variables)
        Memo1->setPlainText(QString::fromStdString(TextoDeLineas(a.Variables)));
    if (Lineas(Memo2) != a.VariablesRespaldo)
        Memo2->setPlainText(QString::fromStdString(TextoDeLineas(a.VariablesRespaldo)));
    mostrando_ = false;
}

// What the user types is the list at once.
void TFormVar::Memo1Change()
{
    if (mostrando_)
        return;
    const std::vector<std::string> lineas = Lineas(Memo1);
    Protegido([&] {
        doc_.Ejecuta(kPasoVariables, [&] { doc_.arbol().Variables = lineas; },
                     "variables " + std::to_string(escritura_));
    });
}

// The backup is the sweep's, never the user's: no step.
void TFormVar::Memo2Change()
{
    if (!mostrando_)
        doc_.arbol().VariablesRespaldo = Lineas(Memo2);
}

// A list changed while nobody was told (a test, a tool) shows all the same.
void TFormVar::showEvent(QShowEvent* e)
{
    MuestraVariables();
    QWidget::showEvent(e);
}

void TFormVar::SBCerrarClick() { hide(); }

void TFormVar::SBTodosBayesClick()
{
    // The lines written before an error stay: they are a step too, shown before the error.
    Protegido([this] { doc_.Ejecuta(kPasoBayes, [this] { CalculaFormulasBayes(doc_.arbol()); }); });
}

void TFormVar::SBBorrarClick()
{
    Arbol& a = doc_.arbol();
    if (!a.usuario)
        return;
    Protegido([&] {
        if (a.usuario->Pregunta("Atención", "¿Borrar todas las variables?", Botones::SiNoCancelar, Icono::Pregunta) ==
            Respuesta::Si)
            doc_.Ejecuta(kPasoBorrarVariables, [&a] { a.Variables.clear(); });
    });
}

void TFormVar::SBFuenteClick()
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, fuenteDialogo_, this);
    if (!ok)
        return;
    fuenteDialogo_ = f;
    Memo1->setFont(f);
}

void TFormVar::SBFijarClick(bool fijo)
{
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, fijo);
    // Changing the flags hides the window.
    if (visible)
        show();
}
