#include "tree/DatoU.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFormDato::TFormDato(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormDato"));
    setWindowTitle(QStringLiteral("Dato"));
    setModal(true);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(260);
    BitBtn1 = new QPushButton(QStringLiteral("Aceptar"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Cancelar"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(BitBtn1);
    botones->addWidget(BitBtn2);
    auto* l = new QVBoxLayout(this);
    l->addWidget(Label1);
    l->addWidget(ComboBox1);
    l->addLayout(botones);
}

bool TFormDato::Ejecuta(const std::string& rotulo, const std::vector<std::string>& lista, std::string& texto)
{
    Label1->setText(QString::fromUtf8(rotulo));
    ComboBox1->clear();
    for (const std::string& e : lista)
        ComboBox1->addItem(QString::fromUtf8(e));
    ComboBox1->setEditText(QString::fromUtf8(texto));
    ComboBox1->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    texto = ComboBox1->currentText().toUtf8().toStdString();
    return true;
}
