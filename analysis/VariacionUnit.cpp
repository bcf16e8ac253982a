#include "analysis/VariacionUnit.h"

#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "common/Errores.h"
#include "tree/Arbol.h"
#include "variables/VarUnit.h"
#include "variables/Variables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s); }

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

TFormVariacion::TFormVariacion() : TFormVariacion(FormArbol->arbol()) {}

TFormVariacion::TFormVariacion(Arbol& arbol, QWidget* parent) : QDialog(parent), arbol_(arbol)
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
    if (CheckBoxConjunto->isChecked())
        Ampliar();
    else
        Acortar();
}

void TFormVariacion::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TFormVariacion::FormShow()
{
    // The lines are offered as a solve would write them, so that the chosen
    // line is found in the list afterwards.
    PreparaListaVariacion(arbol_);
    if (FormVar)
        FormVar->MuestraVariables();
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
    const int i = ListBox1->currentRow();
    if (i < 0 || !ListBox1->currentItem()->isSelected())
        throw ENemor("List index out of bounds (" + std::to_string(i < 0 ? -1 : i) + ")");
    ListBox2->addItem(ListBox1->item(i)->text());
    RecalculaSuma();
}

void TFormVariacion::SBQuitaClick()
{
    const int i = ListBox2->currentRow();
    if (i < 0)
        return;
    delete ListBox2->takeItem(i);
    RecalculaSuma();
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
