#include "variables/VarUnit.h"

#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "app/Ventanas.h"
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

TFormVar::TFormVar() : TFormVar(FormArbol->arbol()) {}

TFormVar::TFormVar(Arbol& arbol, QWidget* parent)
    : QWidget(parent, Qt::Window), arbol_(arbol), fuenteDialogo_(QStringLiteral("MS Sans Serif"), 8)
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
    MuestraVariables();
}

void TFormVar::MuestraVariables()
{
    mostrando_ = true;
    if (Lineas(Memo1) != arbol_.Variables)
        Memo1->setPlainText(QString::fromStdString(TextoDeLineas(arbol_.Variables)));
    if (Lineas(Memo2) != arbol_.VariablesRespaldo)
        Memo2->setPlainText(QString::fromStdString(TextoDeLineas(arbol_.VariablesRespaldo)));
    mostrando_ = false;
}

// What the user types is the list at once.
void TFormVar::Memo1Change()
{
    if (!mostrando_)
        arbol_.Variables = Lineas(Memo1);
}

void TFormVar::Memo2Change()
{
    if (!mostrando_)
        arbol_.VariablesRespaldo = Lineas(Memo2);
}

// Others change the list too (reading a tree, solving it): catch up before the user types.
void TFormVar::showEvent(QShowEvent* e)
{
    MuestraVariables();
    QWidget::showEvent(e);
}

void TFormVar::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        MuestraVariables();
    QWidget::changeEvent(e);
}

void TFormVar::SBCerrarClick() { hide(); }

void TFormVar::SBTodosBayesClick()
{
    // The lines written before an error stay, and are shown before it.
    Protegido([this] { CalculaFormulasBayes(arbol_); }, [this] { MuestraVariables(); });
}

void TFormVar::SBBorrarClick()
{
    if (!arbol_.usuario)
        return;
    Protegido([this] {
        if (arbol_.usuario->Pregunta("Atención", "¿Borrar todas las variables?", Botones::SiNoCancelar,
                                     Icono::Pregunta) == Respuesta::Si) {
            arbol_.Variables.clear();
            MuestraVariables();
        }
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
