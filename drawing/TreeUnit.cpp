#include "drawing/TreeUnit.h"

#include "app/Aplicacion.h"
#include "app/DocumentoU.h"
#include "drawing/ConversionQt.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QShowEvent>
#include <QToolButton>
#include <QTreeWidget>

#include <vector>

namespace {

constexpr int kRolNodo = Qt::UserRole;
constexpr int kRolTipo = Qt::UserRole + 1;

// One icon per node kind, the shape as the drawing shows it.
QIcon IconoTipo(uint8_t tipo)
{
    QPixmap img(16, 16);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    switch (tipo) {
    case NodoDecision:
        p.setBrush(QColor(255, 255, 130));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        break;
    case NodoAzar:
        p.setBrush(QColor(136, 255, 136));
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        break;
    default:
        p.setBrush(QColor(147, 147, 255));
        p.drawPolygon(QPolygonF({QPointF(2.5, 8), QPointF(13.5, 2.5), QPointF(13.5, 13.5)}));
        break;
    }
    return QIcon(img);
}

QToolButton* Boton(QWidget* padre, const char* nombre, const QString& hint, const QString& simbolo, QPoint lugar)
{
    auto* b = new QToolButton(padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setToolTip(hint);
    b->setText(simbolo);
    b->setAutoRaise(true);
    b->setGeometry(QRect(lugar, QSize(23, 22)));
    return b;
}

} // namespace

TTreeAD::TTreeAD(TDocumento& documento, QWidget* parent) : QWidget(parent, Qt::Window), doc_(documento)
{
    setObjectName(QStringLiteral("TreeAD"));
    setWindowTitle(QStringLiteral("Arbol"));
    resize(370, 371);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedWidth(39);
    SpeedButton3 = Boton(Panel2, "SpeedButton3", QStringLiteral("Cerrar"), QStringLiteral("×"), {8, 8});
    SpeedButton1 = Boton(Panel2, "SpeedButton1", QStringLiteral("Expandir"), QStringLiteral("+"), {8, 40});
    SpeedButton2 = Boton(Panel2, "SpeedButton2", QStringLiteral("Contraer"), QStringLiteral("−"), {8, 64});
    SpeedButton2->setEnabled(false);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    TreeG1 = new QTreeWidget(Panel1);
    TreeG1->setObjectName(QStringLiteral("TreeG1"));
    TreeG1->setIndentation(19);
    TreeG1->setHeaderHidden(true);
    TreeG1->setColumnCount(1);
    TreeG1->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    auto* dentro = new QHBoxLayout(Panel1);
    dentro->setContentsMargins(0, 0, 0, 0);
    dentro->addWidget(TreeG1);

    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(Panel2);
    l->addWidget(Panel1, 1);

    connect(SpeedButton1, &QToolButton::clicked, this, &TTreeAD::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TTreeAD::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TTreeAD::SpeedButton3Click);
    connect(TreeG1, &QTreeWidget::itemChanged, this, &TTreeAD::TreeG1Edited);
    connect(&doc_, &TDocumento::Cambiado, this, &TTreeAD::DocumentoCambiado);
    connect(TreeG1, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!construyendo_)
            abiertos_.insert(NodoDe(item));
    });
    connect(TreeG1, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (!construyendo_)
            abiertos_.erase(NodoDe(item));
    });
}

uint16_t TTreeAD::NodoDe(const QTreeWidgetItem* item)
{
    return static_cast<uint16_t>(item->data(0, kRolNodo).toUInt());
}

uint8_t TTreeAD::TipoDe(const QTreeWidgetItem* item) { return static_cast<uint8_t>(item->data(0, kRolTipo).toUInt()); }

void TTreeAD::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Restoring a minimised window is not a new showing.
    if (!e->spontaneous())
        FormShow();
}

void TTreeAD::FormShow()
{
    SpeedButton1->setEnabled(true);
    SpeedButton2->setEnabled(false);
    abiertos_.clear();
    Protegido([this] { Construye(ConstruyeEsquema(doc_.arbol())); });
}

void TTreeAD::Construye(const std::vector<ElementoEsquema>& esquema)
{
    construyendo_ = true;
    TreeG1->clear();
    esquema_ = esquema;
    // Depth first, so the last item of each level up is the parent of the next one down.
    std::vector<QTreeWidgetItem*> padres;
    std::vector<QTreeWidgetItem*> abrir;
    for (const ElementoEsquema& e : esquema_) {
        QTreeWidgetItem* item = e.Nivel == 0 ? new QTreeWidgetItem(TreeG1) : new QTreeWidgetItem(padres[e.Nivel - 1]);
        item->setText(0, Q(e.Caption));
        item->setData(0, kRolNodo, e.Nodo);
        item->setData(0, kRolTipo, e.Tipo);
        item->setIcon(0, IconoTipo(e.Tipo));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        padres.resize(e.Nivel);
        padres.push_back(item);
        if (abiertos_.count(e.Nodo))
            abrir.push_back(item);
    }
    for (QTreeWidgetItem* item : abrir)
        item->setExpanded(true);
    construyendo_ = false;
}

void TTreeAD::DocumentoCambiado(const Cambio& c)
{
    // Hidden, it is built when shown; its own renaming is already in view.
    if (!isVisible() || renombrando_)
        return;
    if (c.Nuevo) {
        // Another tree: its node numbers mean other nodes.
        FormShow();
        return;
    }
    if (!c.Dibujo && !c.Estructura)
        return;
    Protegido([this] {
        std::vector<ElementoEsquema> esquema = ConstruyeEsquema(doc_.arbol());
        if (esquema != esquema_)
            Construye(esquema);
    });
}

void TTreeAD::SpeedButton1Click()
{
    // Hidden while it opens, so the view repaints once.
    TreeG1->hide();
    TreeG1->expandAll();
    TreeG1->show();
    // expandAll tells no item: every node is open now.
    for (const ElementoEsquema& e : esquema_)
        abiertos_.insert(e.Nodo);
    SpeedButton1->setEnabled(false);
    SpeedButton2->setEnabled(true);
}

void TTreeAD::SpeedButton2Click()
{
    TreeG1->collapseAll();
    abiertos_.clear();
    SpeedButton2->setEnabled(false);
    SpeedButton1->setEnabled(true);
}

void TTreeAD::SpeedButton3Click() { hide(); }

void TTreeAD::TreeG1Edited(QTreeWidgetItem* item, int columna)
{
    if (construyendo_ || !item || columna != 0)
        return;
    const uint16_t nodo = NodoDe(item);
    const std::string texto = S(item->text(0));
    renombrando_ = true;
    Protegido([&] { doc_.Ejecuta(kPasoCambiarNombre, [&] { doc_.arbol().PonerTexto(nodo, texto); }); });
    renombrando_ = false;
    // What the items show now: the next change compares with it.
    esquema_ = ConstruyeEsquema(doc_.arbol());
}
