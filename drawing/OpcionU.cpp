#include "drawing/OpcionU.h"

#include "app/Aplicacion.h"
#include "app/DocumentoU.h"
#include "common/Ini.h"
#include "common/Redondeo.h"
#include "drawing/ConversionQt.h"
#include "drawing/OpcionesIni.h"
#include "variables/Variables.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <climits>

namespace {

QToolButton* Boton(QWidget* padre, const char* nombre, const QString& texto, const QString& hint)
{
    auto* b = new QToolButton(padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setText(texto);
    b->setToolTip(hint);
    return b;
}

template <typename T>
T* Nombrado(T* w, const char* nombre)
{
    w->setObjectName(QString::fromLatin1(nombre));
    return w;
}

QSpinBox* Giro(QWidget* padre, const char* nombre, int paso)
{
    auto* s = Nombrado(new QSpinBox(padre), nombre);
    s->setRange(INT_MIN, INT_MAX); // no bounds: the user's values are taken as they are
    s->setSingleStep(paso);
    s->setMaximumWidth(120);
    return s;
}

} // namespace

MuestraOpcion::MuestraOpcion(std::function<void(QPainter&, int, int)> pinta, QWidget* parent)
    : QWidget(parent), pinta_(std::move(pinta))
{
    setFixedSize(30, 30);
}

void MuestraOpcion::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    pinta_(p, width(), height());
}

TOpciones::TOpciones(TDocumento& documento, QWidget* parent)
    : QDialog(parent), doc_(documento), arbol_(documento.arbol())
{
    setObjectName(QStringLiteral("Opciones"));
    setWindowTitle(QStringLiteral("Opciones"));
    // Modal when opened from the menu (exec); the print preview shows it without waiting.
    CreaControles();
    AjustaTamanyo();
    Conecta();
    // The stored options are in force from start-up on.
    Protegido([this] {
        doc_.EjecutaSinPaso(
            [this] {
                LeeOpciones();
                AplicaOpciones();
                FormClose();
            },
            Cambio::DeOpciones());
    });
}

void TOpciones::CreaControles()
{
    PageControl1 = Nombrado(new QTabWidget(this), "PageControl1");
    // Every tab in sight: the dialog grows to the whole row (AjustaTamanyo)
    // instead of hiding some behind two small arrows.
    PageControl1->setUsesScrollButtons(false);

    // "Colores": four samples with their buttons, and the chosen branch's width.
    auto* colores = Nombrado(new QWidget, "TabColores");
    CuaCol = Nombrado(new MuestraOpcion(
                          [this](QPainter& p, int w, int h) { p.fillRect(0, 0, w, h, AQColor(arbol_.ColorDecision)); },
                          colores),
                      "CuaCol");
    CirCol = Nombrado(new MuestraOpcion(
                          [this](QPainter& p, int w, int h) {
                              p.setRenderHint(QPainter::Antialiasing);
                              p.setPen(Qt::NoPen);
                              p.setBrush(AQColor(arbol_.ColorAzar));
                              p.drawEllipse(0, 0, w, h);
                          },
                          colores),
                      "CirCol");
    TriCol = Nombrado(new MuestraOpcion(
                          [this](QPainter& p, int w, int h) {
                              p.setPen(Qt::NoPen);
                              p.setBrush(AQColor(arbol_.ColorTerminal));
                              p.drawPolygon(QPolygon({QPoint(0, static_cast<int>(Round(h / 2.0))), QPoint(w, 0),
                                                      QPoint(w, h)}));
                          },
                          colores),
                      "TriCol");
    LinCol = Nombrado(new MuestraOpcion(
                          [this](QPainter& p, int w, int h) {
                              const int y = static_cast<int>(Round(h / 2.0));
                              p.setPen(QPen(AQColor(arbol_.ColorElegido), std::max(1, arbol_.GrosorElegido)));
                              p.drawLine(0, y, w, y);
                          },
                          colores),
                      "LinCol");
    const QString cambiar = QStringLiteral("Cambiar color");
    BCuaCol = Boton(colores, "BCuaCol", QStringLiteral("..."), cambiar);
    BCirCol = Boton(colores, "BCirCol", QStringLiteral("..."), cambiar);
    BTriCol = Boton(colores, "BTriCol", QStringLiteral("..."), cambiar);
    BLinCol = Boton(colores, "BLinCol", QStringLiteral("..."), cambiar);
    BLinMas = Boton(colores, "BLinMas", QStringLiteral("+"), QStringLiteral("Aumentar ancho"));
    BLinMenos = Boton(colores, "BLinMenos", QStringLiteral("-"), QStringLiteral("Reducir ancho"));
    {
        auto* fila = new QHBoxLayout(colores);
        auto columna = [&](MuestraOpcion* m, QToolButton* b, QToolButton* b2 = nullptr, QToolButton* b3 = nullptr) {
            auto* c = new QVBoxLayout;
            c->addWidget(m, 0, Qt::AlignHCenter);
            c->addWidget(b, 0, Qt::AlignHCenter);
            if (b2) {
                auto* anchos = new QHBoxLayout;
                anchos->addWidget(b2);
                anchos->addWidget(b3);
                c->addLayout(anchos);
            }
            c->addStretch();
            fila->addLayout(c);
        };
        columna(CuaCol, BCuaCol);
        columna(CirCol, BCirCol);
        columna(TriCol, BTriCol);
        columna(LinCol, BLinCol, BLinMas, BLinMenos);
    }
    ColorDialog1 = Nombrado(new QColorDialog(this), "ColorDialog1");
    PageControl1->addTab(colores, QStringLiteral("Colores"));

    // "Impresion": the scaling of the printed drawing.
    auto* impresion = Nombrado(new QWidget, "TabImpresion");
    {
        auto* grupo = Nombrado(new QGroupBox(QStringLiteral("Escala"), impresion), "GrupoEscala");
        Escala = new QButtonGroup(this);
        Escala->setObjectName(QStringLiteral("Escala"));
        auto* l = new QVBoxLayout(grupo);
        const QString textos[] = {QStringLiteral("Proporcional"), QStringLiteral("Ajustar a página"),
                                  QStringLiteral("Sin escala")};
        for (int i = 0; i < 3; ++i) {
            auto* r = new QRadioButton(textos[i], grupo);
            r->setObjectName(QStringLiteral("Escala%1").arg(i));
            Escala->addButton(r, i);
            l->addWidget(r);
        }
        auto* t = new QVBoxLayout(impresion);
        t->addWidget(grupo);
        t->addStretch();
    }
    PageControl1->addTab(impresion, QStringLiteral("Impresion"));

    // "Identificadores": the file-name and date labels of the drawing.
    auto* identificadores = Nombrado(new QWidget, "TabIdentificadores");
    {
        auto* grupo = Nombrado(new QGroupBox(QStringLiteral("Ver Identificadores"), identificadores), "GrupoIds");
        SelArchivo = Nombrado(new QCheckBox(QStringLiteral("Archivo"), grupo), "SelArchivo");
        SelFecha = Nombrado(new QCheckBox(QStringLiteral("Fecha"), grupo), "SelFecha");
        auto* l = new QVBoxLayout(grupo);
        l->addWidget(SelArchivo);
        l->addWidget(SelFecha);
        auto* t = new QVBoxLayout(identificadores);
        t->addWidget(grupo);
        t->addStretch();
    }
    PageControl1->addTab(identificadores, QStringLiteral("Identificadores"));

    // "Precisión": texts, converted where they are used.
    auto* precision = Nombrado(new QWidget, "TabPrecision");
    {
        EditPrecisionSumatorio = Nombrado(new QLineEdit(precision), "EditPrecisionSumatorio");
        EDigitosEtiquetas = Nombrado(new QLineEdit(precision), "EDigitosEtiquetas");
        EPrecisionEtiquetas = Nombrado(new QLineEdit(precision), "EPrecisionEtiquetas");
        EPrecisionBayes = Nombrado(new QLineEdit(precision), "EPrecisionBayes");
        for (QLineEdit* e : {EditPrecisionSumatorio, EDigitosEtiquetas, EPrecisionEtiquetas, EPrecisionBayes})
            e->setMaximumWidth(90);
        auto* f = new QFormLayout(precision);
        f->setVerticalSpacing(2);
        f->addRow(QStringLiteral("Precisión para comprobación de sumatorio = 1:"), EditPrecisionSumatorio);
        f->addRow(QStringLiteral("Dígitos en etiquetas:"), EDigitosEtiquetas);
        f->addRow(QStringLiteral("Precisión en etiquetas:"), EPrecisionEtiquetas);
        f->addRow(QStringLiteral("Precisión en cálculos de Bayes:"), EPrecisionBayes);
    }
    PageControl1->addTab(precision, QStringLiteral("Precisión"));

    // "Fuente": the installed families and a preview in the chosen one.
    auto* fuente = Nombrado(new QWidget, "TabFuente");
    {
        FontComboBox1 = Nombrado(new QComboBox(fuente), "FontComboBox1");
        FontComboBox1->addItems(QFontDatabase::families());
        PanelFuente = Nombrado(new QWidget(fuente), "PanelFuente");
        PanelFuente->setAutoFillBackground(true);
        QPalette p = PanelFuente->palette();
        p.setColor(QPalette::Window, Qt::white);
        p.setColor(QPalette::WindowText, Qt::black);
        PanelFuente->setPalette(p);
        LabelMayusculas = Nombrado(new QLabel(QStringLiteral("ABCDEFGH"), PanelFuente), "LabelMayusculas");
        LabelMinusculas = Nombrado(new QLabel(QStringLiteral("abcdefgh"), PanelFuente), "LabelMinusculas");
        LabelCifras = Nombrado(new QLabel(QStringLiteral("1234567890"), PanelFuente), "LabelCifras");
        auto* muestra = new QVBoxLayout(PanelFuente);
        muestra->setSpacing(0);
        muestra->addWidget(LabelMayusculas);
        muestra->addWidget(LabelMinusculas);
        muestra->addWidget(LabelCifras);
        auto* t = new QHBoxLayout(fuente);
        t->addWidget(FontComboBox1, 0, Qt::AlignTop);
        t->addWidget(PanelFuente, 1);
    }
    PageControl1->addTab(fuente, QStringLiteral("Fuente"));

    // "Dimensiones"
    auto* dimensiones = Nombrado(new QWidget, "TabDimensiones");
    {
        AnchoTapiz = Giro(dimensiones, "AnchoTapiz", 100);
        AltoTapiz = Giro(dimensiones, "AltoTapiz", 100);
        TamanyoFormas = Giro(dimensiones, "TamanyoFormas", 1);
        TamanyoLetras = Giro(dimensiones, "TamanyoLetras", 1);
        auto* f = new QFormLayout(dimensiones);
        f->setVerticalSpacing(2);
        f->addRow(QStringLiteral("Ancho de tapiz:"), AnchoTapiz);
        f->addRow(QStringLiteral("Alto de tapiz:"), AltoTapiz);
        f->addRow(QStringLiteral("Tamaño formas:"), TamanyoFormas);
        f->addRow(QStringLiteral("Tamaño letras:"), TamanyoLetras);
    }
    PageControl1->addTab(dimensiones, QStringLiteral("Dimensiones"));

    // "Varios"
    auto* varios = Nombrado(new QWidget, "TabVarios");
    {
        CheckBoxListaVarOrdenada =
            Nombrado(new QCheckBox(QStringLiteral("Lista de variables ordenada"), varios), "CheckBoxListaVarOrdenada");
        CheckBoxVersion = Nombrado(new QCheckBox(QStringLiteral("Leer ficheros de version 1.41"), varios),
                                   "CheckBoxVersion");
        CheckBoxArbolVisibleVariaciones =
            Nombrado(new QCheckBox(QStringLiteral("Árbol visible durante variaciones"), varios),
                     "CheckBoxArbolVisibleVariaciones");
        CheckBoxComprobarRojos = Nombrado(new QCheckBox(QStringLiteral("Comprobar suma de probabilidades"), varios),
                                          "CheckBoxComprobarRojos");
        CheckBoxNumNodosVisibles =
            Nombrado(new QCheckBox(QStringLiteral("Números de nodos visibles"), varios), "CheckBoxNumNodosVisibles");
        // Up to an hour; 0 writes no copies at all.
        IntervaloRecuperacion = Nombrado(new QSpinBox(varios), "IntervaloRecuperacion");
        IntervaloRecuperacion->setRange(0, 3600);
        IntervaloRecuperacion->setSingleStep(10);
        IntervaloRecuperacion->setSpecialValueText(QStringLiteral("Nunca"));
        IntervaloRecuperacion->setMaximumWidth(120);
        IntervaloRecuperacion->setToolTip(QStringLiteral("Segundos entre copias de recuperación de un árbol con "
                                                         "cambios sin guardar; «Nunca» no las escribe."));
        auto* l = new QVBoxLayout(varios);
        l->setSpacing(0);
        for (QCheckBox* c : {CheckBoxListaVarOrdenada, CheckBoxVersion, CheckBoxArbolVisibleVariaciones,
                             CheckBoxComprobarRojos, CheckBoxNumNodosVisibles})
            l->addWidget(c);
        auto* f = new QFormLayout;
        f->setContentsMargins(0, 6, 0, 0);
        f->addRow(QStringLiteral("Copia de recuperación cada (s):"), IntervaloRecuperacion);
        l->addLayout(f);
        l->addStretch();
    }
    PageControl1->addTab(varios, QStringLiteral("Varios"));

    // "Riesgo": how the tree is solved, the expected value or a risk-averse utility.
    auto* riesgo = Nombrado(new QWidget, "TabRiesgo");
    {
        auto* grupo = Nombrado(new QGroupBox(QStringLiteral("Criterio"), riesgo), "GrupoCriterio");
        CriterioRiesgo = new QButtonGroup(this);
        CriterioRiesgo->setObjectName(QStringLiteral("CriterioRiesgo"));
        auto* l = new QVBoxLayout(grupo);
        l->setSpacing(0);
        const QString textos[] = {QStringLiteral("Valor esperado"), QStringLiteral("Utilidad exponencial")};
        for (int i = 0; i < 2; ++i) {
            auto* r = new QRadioButton(textos[i], grupo);
            r->setObjectName(QStringLiteral("CriterioRiesgo%1").arg(i));
            CriterioRiesgo->addButton(r, i);
            l->addWidget(r);
        }
        EToleranciaRiesgo = Nombrado(new QLineEdit(riesgo), "EToleranciaRiesgo");
        EToleranciaRiesgo->setMaximumWidth(90);
        auto* f = new QFormLayout;
        f->addRow(QStringLiteral("Tolerancia al riesgo (R):"), EToleranciaRiesgo);
        auto* nota = Nombrado(new QLabel(QStringLiteral("U(x) = 1 - exp(-x / R). Los nodos de azar valen su "
                                                        "equivalente cierto; cuanto mayor es R, más se acerca al "
                                                        "valor esperado."),
                                         riesgo),
                              "NotaRiesgo");
        nota->setWordWrap(true);
        auto* t = new QVBoxLayout(riesgo);
        t->setSpacing(2);
        t->addWidget(grupo);
        t->addLayout(f);
        t->addWidget(nota);
        t->addStretch();
    }
    PageControl1->addTab(riesgo, QStringLiteral("Riesgo"));

    BitBtn4 = Nombrado(new QPushButton(QStringLiteral("&Aceptar"), this), "BitBtn4");
    BitBtn4->setDefault(true);
    BitBtn1 = Nombrado(new QPushButton(QStringLiteral("&Cancelar"), this), "BitBtn1");
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(BitBtn4);
    botones->addWidget(BitBtn1);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(4, 4, 4, 4);
    l->setSpacing(4);
    l->addWidget(PageControl1, 1);
    l->addLayout(botones);
}

void TOpciones::Conecta()
{
    // Each control writes its option as soon as it changes.
    Opciones& o = arbol_.opciones;
    auto texto = [this](QLineEdit* e, std::string& destino) {
        connect(e, &QLineEdit::textChanged, this, [this, &destino](const QString& t) {
            if (!mostrando_)
                destino = S(t);
        });
    };
    texto(EditPrecisionSumatorio, o.EditPrecisionSumatorio);
    texto(EDigitosEtiquetas, o.EDigitosEtiquetas);
    texto(EPrecisionEtiquetas, o.EPrecisionEtiquetas);
    texto(EPrecisionBayes, o.EPrecisionBayes);
    auto marca = [this](QCheckBox* c, bool& destino) {
        connect(c, &QCheckBox::toggled, this, [this, &destino](bool v) {
            if (!mostrando_)
                destino = v;
        });
    };
    marca(SelArchivo, o.SelArchivo);
    marca(SelFecha, o.SelFecha);
    marca(CheckBoxListaVarOrdenada, o.CheckBoxListaVarOrdenada);
    marca(CheckBoxVersion, o.CheckBoxVersion);
    marca(CheckBoxArbolVisibleVariaciones, o.CheckBoxArbolVisibleVariaciones);
    marca(CheckBoxComprobarRojos, o.CheckBoxComprobarRojos);
    marca(CheckBoxNumNodosVisibles, o.CheckBoxNumNodosVisibles);
    // The number labels are painted from the option: show the change behind the dialog.
    connect(CheckBoxNumNodosVisibles, &QCheckBox::toggled, this, [this] {
        if (!mostrando_)
            Protegido([this] { CambiaAjuste([] {}); });
    });
    auto giro = [this](QSpinBox* s, int32_t& destino) {
        connect(s, &QSpinBox::valueChanged, this, [this, &destino](int v) {
            if (!mostrando_)
                destino = v;
        });
    };
    giro(AnchoTapiz, o.AnchoTapiz);
    giro(AltoTapiz, o.AltoTapiz);
    giro(TamanyoFormas, o.TamanyoFormas);
    giro(TamanyoLetras, o.TamanyoLetras);
    giro(IntervaloRecuperacion, o.IntervaloRecuperacion);
    connect(Escala, &QButtonGroup::idToggled, this, [this](int id, bool marcado) {
        if (marcado && !mostrando_)
            arbol_.opciones.Escala = id;
    });
    connect(FontComboBox1, &QComboBox::currentTextChanged, this, &TOpciones::FontComboBox1Change);
    texto(EToleranciaRiesgo, o.EToleranciaRiesgo);
    connect(CriterioRiesgo, &QButtonGroup::idToggled, this, [this](int id, bool marcado) {
        if (!marcado)
            return;
        if (!mostrando_)
            arbol_.opciones.CriterioRiesgo = id;
        // R means something only for the utility.
        EToleranciaRiesgo->setEnabled(id == CriterioUtilidad);
    });

    connect(BCuaCol, &QToolButton::clicked, this, &TOpciones::BCuaColClick);
    connect(BCirCol, &QToolButton::clicked, this, &TOpciones::BCirColClick);
    connect(BTriCol, &QToolButton::clicked, this, &TOpciones::BTriColClick);
    connect(BLinCol, &QToolButton::clicked, this, &TOpciones::BLinColClick);
    connect(BLinMas, &QToolButton::clicked, this, &TOpciones::BLinMasClick);
    connect(BLinMenos, &QToolButton::clicked, this, &TOpciones::BLinMenosClick);
    connect(BitBtn4, &QPushButton::clicked, this, &TOpciones::BitBtn4Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TOpciones::BitBtn1Click);
}

void TOpciones::MuestraOpciones()
{
    const Opciones& o = arbol_.opciones;
    mostrando_ = true;
    EditPrecisionSumatorio->setText(Q(o.EditPrecisionSumatorio));
    EDigitosEtiquetas->setText(Q(o.EDigitosEtiquetas));
    EPrecisionEtiquetas->setText(Q(o.EPrecisionEtiquetas));
    EPrecisionBayes->setText(Q(o.EPrecisionBayes));
    SelArchivo->setChecked(o.SelArchivo);
    SelFecha->setChecked(o.SelFecha);
    CheckBoxListaVarOrdenada->setChecked(o.CheckBoxListaVarOrdenada);
    CheckBoxVersion->setChecked(o.CheckBoxVersion);
    CheckBoxArbolVisibleVariaciones->setChecked(o.CheckBoxArbolVisibleVariaciones);
    CheckBoxComprobarRojos->setChecked(o.CheckBoxComprobarRojos);
    CheckBoxNumNodosVisibles->setChecked(o.CheckBoxNumNodosVisibles);
    AnchoTapiz->setValue(o.AnchoTapiz);
    AltoTapiz->setValue(o.AltoTapiz);
    TamanyoFormas->setValue(o.TamanyoFormas);
    TamanyoLetras->setValue(o.TamanyoLetras);
    IntervaloRecuperacion->setValue(o.IntervaloRecuperacion);
    // An index out of the group's range checks no button; the value is kept as read.
    if (QAbstractButton* b = Escala->button(o.Escala)) {
        b->setChecked(true);
    } else {
        Escala->setExclusive(false);
        for (QAbstractButton* r : Escala->buttons())
            r->setChecked(false);
        Escala->setExclusive(true);
    }
    EToleranciaRiesgo->setText(Q(o.EToleranciaRiesgo));
    if (QAbstractButton* b = CriterioRiesgo->button(o.CriterioRiesgo))
        b->setChecked(true);
    EToleranciaRiesgo->setEnabled(o.ConUtilidad());
    // A stored font that is not installed is still the option: it heads the list.
    const QString nombre = Q(o.FontComboBox1);
    int i = FontComboBox1->findText(nombre, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (i < 0) {
        FontComboBox1->insertItem(0, nombre);
        i = 0;
    }
    FontComboBox1->setCurrentIndex(i);
    mostrando_ = false;
    FontComboBox1Change();
    for (QWidget* m : {static_cast<QWidget*>(CuaCol), static_cast<QWidget*>(CirCol),
                       static_cast<QWidget*>(TriCol), static_cast<QWidget*>(LinCol)})
        m->update();
}

void TOpciones::LeeOpciones()
{
    ::LeeOpciones(arbol_, FicheroIni(RutaIni()));
    MuestraOpciones();
}

void TOpciones::GuardaOpciones()
{
    // Loaded now, so the sections others keep in the file are written back as they are.
    FicheroIni ini(RutaIni());
    ::GuardaOpciones(arbol_, ini);
}

void TOpciones::AplicaOpciones()
{
    ::AplicaOpciones(arbol_);
    emit FuenteNotaCambiada(FuenteNota());
}

QFont TOpciones::FuenteNota() const
{
    QFont f(Q(arbol_.opciones.FontComboBox1));
    if (arbol_.opciones.TamanyoLetras > 0)
        f.setPointSize(arbol_.opciones.TamanyoLetras);
    return f;
}

void TOpciones::CambiaAjuste(const std::function<void()>& orden)
{
    doc_.EjecutaSinPaso(orden, Cambio::DeOpciones());
}

void TOpciones::FormClose()
{
    CambiaAjuste([this] {
        arbol_.Archivo.Visible = arbol_.opciones.SelArchivo;
        arbol_.Fecha.Visible = arbol_.opciones.SelFecha;
    });
}

void TOpciones::AjustaTamanyo()
{
    // Never smaller than its classic 427 x 216, but as wide as its row of tabs
    // and as tall as its fullest page, however many tabs there are.
    if (layout())
        layout()->activate();
    setFixedSize(QSize(427, 216).expandedTo(layout() ? layout()->totalSizeHint() : QSize()));
}

void TOpciones::setVisible(bool visible)
{
    // Sized before the dialog places itself, so it opens centred whatever its size.
    if (visible)
        AjustaTamanyo();
    QDialog::setVisible(visible);
}

void TOpciones::done(int r)
{
    QDialog::done(r);
    Protegido([this] { FormClose(); });
}

void TOpciones::reject() { BitBtn1Click(); }

void TOpciones::closeEvent(QCloseEvent* e)
{
    // Not the "&Cancelar" button: the changes stay in force, unstored.
    if (isVisible())
        done(QDialog::Rejected);
    e->accept();
}

void TOpciones::BitBtn4Click()
{
    // A text that does not convert stops the storing where it stands (the
    // keys before it stay written): the dialog closes and nothing is applied.
    if (!Protegido([this] { GuardaOpciones(); }, [this] { done(QDialog::Accepted); }))
        return;
    // New sizes and labels are a step: an undo puts the drawing back as it was.
    Protegido([this] {
        doc_.Ejecuta(
            kPasoOpciones,
            [this] {
                AplicaOpciones();
                // Labels take the digit options and the font.
                RecalculaFormulas(arbol_);
            },
            {}, Cambio::DeOpciones());
    });
}

void TOpciones::BitBtn1Click()
{
    Protegido([this] {
        doc_.Ejecuta(
            kPasoOpciones,
            [this] {
                LeeOpciones();
                done(QDialog::Rejected);
                AplicaOpciones();
            },
            {}, Cambio::DeOpciones());
    });
}

void TOpciones::CambiaColor(uint32_t& color, QWidget* muestra)
{
    ColorDialog1->setCurrentColor(AQColor(color));
    if (ColorDialog1->exec() != QDialog::Accepted)
        return;
    const Color elegido = DeQColor(ColorDialog1->selectedColor());
    Protegido([&] { CambiaAjuste([&] { color = elegido; }); });
    muestra->update();
}

void TOpciones::BCuaColClick() { CambiaColor(arbol_.ColorDecision, CuaCol); }
void TOpciones::BCirColClick() { CambiaColor(arbol_.ColorAzar, CirCol); }
void TOpciones::BTriColClick() { CambiaColor(arbol_.ColorTerminal, TriCol); }
void TOpciones::BLinColClick() { CambiaColor(arbol_.ColorElegido, LinCol); }

void TOpciones::BLinMasClick()
{
    Protegido([this] { CambiaAjuste([this] { arbol_.GrosorElegido = arbol_.GrosorElegido + 1; }); });
    LinCol->update();
}

void TOpciones::BLinMenosClick()
{
    Protegido([this] { CambiaAjuste([this] { arbol_.GrosorElegido = std::max(1, arbol_.GrosorElegido - 1); }); });
    LinCol->update();
}

void TOpciones::FontComboBox1Change()
{
    const QString nombre = FontComboBox1->currentText();
    if (!mostrando_)
        arbol_.opciones.FontComboBox1 = S(nombre);
    for (QLabel* l : {LabelMayusculas, LabelMinusculas, LabelCifras}) {
        QFont f = l->font();
        f.setFamily(nombre);
        l->setFont(f);
    }
}

void TOpciones::MuestraPaginaImpresion()
{
    auto* impresion = PageControl1->findChild<QWidget*>(QStringLiteral("TabImpresion"));
    PageControl1->setCurrentIndex(PageControl1->indexOf(impresion));
    show();
    raise();
    activateWindow();
}
