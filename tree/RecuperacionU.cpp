#include "tree/RecuperacionU.h"

#include "app/Aplicacion.h"
#include "app/DocumentoU.h"
#include "drawing/ConversionQt.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A day: more than anyone sets, and far from the timer's limit in milliseconds.
constexpr int kIntervaloMaximo = 24 * 60 * 60;

int Intervalo(const Arbol& a)
{
    return std::clamp(a.opciones.IntervaloRecuperacion, 0, kIntervaloMaximo);
}

} // namespace

// --- The copy of this program ---------------------------------------------------------

TRecuperacion::TRecuperacion(TDocumento& documento, QWidget* ventana, std::string carpeta)
    : doc_(documento), ventana_(ventana), r_(std::move(carpeta)), intervalo_(Intervalo(documento.arbol()))
{
    setObjectName(QStringLiteral("Recuperacion"));
    Temporizador = new QTimer(this);
    Temporizador->setObjectName(QStringLiteral("Temporizador"));
    connect(Temporizador, &QTimer::timeout, this, &TRecuperacion::TemporizadorTimer);
    connect(&doc_, &TDocumento::Cambiado, this, &TRecuperacion::DocumentoCambiado);
}

// The copy stays: only a clean end takes it away (Sale, or a save).
TRecuperacion::~TRecuperacion() = default;

void TRecuperacion::Arranca()
{
    // Not restarted by every change: a user who never stops working still gets a copy.
    if (intervalo_ > 0 && doc_.arbol().SinGuardar() && !Temporizador->isActive())
        Temporizador->start(intervalo_ * 1000);
}

void TRecuperacion::DocumentoCambiado(const Cambio& c)
{
    Protegido([&] {
        const Arbol& a = doc_.arbol();
        const int intervalo = Intervalo(a);
        if (intervalo != intervalo_) {
            intervalo_ = intervalo;
            Temporizador->stop();
            // Turned off: no copy is left behind to be offered later.
            if (intervalo_ == 0)
                r_.Quita();
        }
        if (intervalo_ == 0)
            return;
        // Saved, or another tree in its place: the copy of the one left behind goes.
        if (c.Fichero || c.Nuevo)
            r_.Limpia(a);
        if (auto e = r_.TomaError())
            Avisa(*e);
        Arranca();
    });
}

void TRecuperacion::TemporizadorTimer()
{
    Protegido([this] {
        if (intervalo_ == 0) {
            Temporizador->stop();
            return;
        }
        // A command still running (a sweep, a dialog inside a step) has the
        // tree halfway: the next tick takes it as the command leaves it.
        if (doc_.Ocupado())
            return;
        const bool entregada = r_.Escribe(doc_.arbol());
        // The writer reports a failure by the next tick, which tries again.
        const auto error = r_.TomaError();
        if (error)
            Avisa(*error);
        else if (!entregada)
            avisado_ = false;
        if (!entregada && !error)
            Temporizador->stop();
    });
}

void TRecuperacion::EditorCambiado()
{
    Protegido([this] {
        r_.AnotaCambioEditor();
        Arranca();
    });
}

void TRecuperacion::Sale()
{
    Protegido([this] {
        Temporizador->stop();
        r_.Quita();
    });
}

void TRecuperacion::Avisa(const std::string& error)
{
    // Once, and without waiting for an answer: the timer comes round again
    // and the user goes on working.
    if (avisado_)
        return;
    avisado_ = true;
    if (aviso_)
        aviso_->close();
    QString texto = Q(TextoCajaError(error));
    // A copy not written: the changes are safe only in the user's file meanwhile.
    if (doc_.arbol().SinGuardar())
        texto += QStringLiteral("\n\nSe volverá a intentar. Mientras tanto, guarde el árbol para no perder sus "
                                "cambios.");
    auto* caja = new QMessageBox(QMessageBox::Warning, QStringLiteral("NEMOR"), texto, QMessageBox::Ok, ventana_);
    caja->setObjectName(QStringLiteral("AvisoRecuperacion"));
    caja->setTextFormat(Qt::PlainText);
    caja->setAttribute(Qt::WA_DeleteOnClose);
    caja->setWindowModality(Qt::NonModal);
    caja->show();
    aviso_ = caja;
}

void TRecuperacion::OfreceAbandonadas(QWidget* padre)
{
    CopiasAbandonadas h = r_.Abandonadas();
    if (h.Copias.empty() && h.Danyadas.empty())
        return;
    TFormRecuperacion dialogo(doc_, r_, std::move(h), padre);
    dialogo.exec();
}

// --- The start-up dialog ------------------------------------------------------------------

TFormRecuperacion::TFormRecuperacion(TDocumento& documento, Recuperacion& recuperacion, CopiasAbandonadas copias,
                                     QWidget* parent)
    : QDialog(parent), doc_(documento), r_(recuperacion)
{
    setObjectName(QStringLiteral("FormRecuperacion"));
    setWindowTitle(QStringLiteral("Copias de recuperación"));
    auto* capas = new QVBoxLayout(this);

    const QString queda = copias.Copias.size() == 1
                              ? QStringLiteral("Los cambios de este árbol no se guardaron antes de que NEMOR se "
                                               "cerrara, pero queda una copia de recuperación.")
                              : QStringLiteral("Los cambios de estos árboles no se guardaron antes de que NEMOR se "
                                               "cerrara, pero queda una copia de recuperación de cada uno.");
    Explicacion = new QLabel(queda + QStringLiteral(" «Recuperar» abre la copia como un árbol con cambios sin "
                                                    "guardar; «Más tarde» y «Cerrar» la conservan para la próxima "
                                                    "vez que abra el programa."),
                             this);
    Explicacion->setObjectName(QStringLiteral("Explicacion"));
    Explicacion->setWordWrap(true);
    // Three lines or so, not a tall narrow column, whatever the rows need.
    Explicacion->setMinimumWidth(520);
    capas->addWidget(Explicacion);

    auto* lista = new QWidget;
    lista->setObjectName(QStringLiteral("Lista"));
    auto* rejilla = new QGridLayout(lista);
    rejilla->setHorizontalSpacing(12);
    auto* cabeceraArbol = new QLabel(QStringLiteral("<b>Árbol</b>"), lista);
    auto* cabeceraHora = new QLabel(QStringLiteral("<b>Copia escrita</b>"), lista);
    rejilla->addWidget(cabeceraArbol, 0, 0);
    rejilla->addWidget(cabeceraHora, 0, 1);
    const QFontMetrics medidas(font());
    Filas.resize(copias.Copias.size());
    for (size_t i = 0; i < Filas.size(); ++i) {
        Fila& f = Filas[i];
        f.Copia = std::move(copias.Copias[i]);
        const int y = static_cast<int>(i) + 1;
        const QString sufijo = QString::number(i);
        // A long path keeps both ends in sight; the whole of it is in the hint.
        const QString ruta = f.Copia.RutaOriginal.empty() ? Q(kSinTitulo) : Q(f.Copia.RutaOriginal);
        QString texto = medidas.elidedText(ruta, Qt::ElideMiddle, 380).toHtmlEscaped();
        if (f.Copia.RutaOriginal.empty())
            texto = QStringLiteral("<i>%1</i>").arg(texto);
        if (f.Copia.Editor)
            texto += QStringLiteral("<br><small>y el texto del editor sin guardar</small>");
        f.Ruta = new QLabel(texto, lista);
        f.Ruta->setTextFormat(Qt::RichText); // escaped above: a "&" in a path shows as itself
        f.Ruta->setObjectName(QStringLiteral("Ruta") + sufijo);
        f.Ruta->setToolTip(ruta);
        f.Hora = new QLabel(Q(FechaHoraDe(f.Copia.Hora)), lista);
        f.Hora->setObjectName(QStringLiteral("Hora") + sufijo);
        f.Recuperar = new QPushButton(QStringLiteral("Recuperar"), lista);
        f.Descartar = new QPushButton(QStringLiteral("Descartar"), lista);
        f.MasTarde = new QPushButton(QStringLiteral("Más tarde"), lista);
        f.Recuperar->setObjectName(QStringLiteral("Recuperar") + sufijo);
        f.Descartar->setObjectName(QStringLiteral("Descartar") + sufijo);
        f.MasTarde->setObjectName(QStringLiteral("MasTarde") + sufijo);
        f.Estado = new QLabel(lista);
        f.Estado->setObjectName(QStringLiteral("Estado") + sufijo);
        f.Estado->hide();
        for (QPushButton* b : {f.Recuperar, f.Descartar, f.MasTarde})
            b->setAutoDefault(false);
        auto* botones = new QHBoxLayout;
        botones->addWidget(f.Recuperar);
        botones->addWidget(f.Descartar);
        botones->addWidget(f.MasTarde);
        botones->addWidget(f.Estado);
        rejilla->addWidget(f.Ruta, y, 0);
        rejilla->addWidget(f.Hora, y, 1);
        rejilla->addLayout(botones, y, 2);
        connect(f.Recuperar, &QPushButton::clicked, this, [this, i] { RecuperarClick(i); });
        connect(f.Descartar, &QPushButton::clicked, this, [this, i] { DescartarClick(i); });
        connect(f.MasTarde, &QPushButton::clicked, this, [this, i] { MasTardeClick(i); });
    }
    rejilla->setColumnStretch(0, 1);
    rejilla->setRowStretch(static_cast<int>(Filas.size()) + 1, 1);
    // Many copies scroll; a few show whole.
    auto* desplazable = new QScrollArea(this);
    desplazable->setObjectName(QStringLiteral("Desplazable"));
    desplazable->setWidget(lista);
    desplazable->setWidgetResizable(true);
    desplazable->setFrameShape(QFrame::NoFrame);
    lista->adjustSize();
    desplazable->setMinimumWidth(lista->sizeHint().width() + desplazable->verticalScrollBar()->sizeHint().width());
    desplazable->setMinimumHeight(std::min(lista->sizeHint().height(), 300));
    capas->addWidget(desplazable, 1);
    if (Filas.empty()) {
        Explicacion->hide();
        desplazable->hide();
    }

    Danyadas = new QLabel(this);
    Danyadas->setObjectName(QStringLiteral("Danyadas"));
    Danyadas->setWordWrap(true);
    Danyadas->setTextFormat(Qt::PlainText);
    Danyadas->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QStringList mensajes;
    for (const std::string& m : copias.Danyadas)
        mensajes << Q(TextoCajaError(m));
    Danyadas->setText(mensajes.join(QStringLiteral("\n\n")));
    auto* icono = new QLabel(this);
    const int lado = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icono->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(lado, lado));
    auto* aviso = new QHBoxLayout;
    aviso->addWidget(icono, 0, Qt::AlignTop);
    aviso->addWidget(Danyadas, 1);
    capas->addLayout(aviso);
    if (mensajes.isEmpty()) {
        icono->hide();
        Danyadas->hide();
    }

    BotonCerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    BotonCerrar->setObjectName(QStringLiteral("BotonCerrar"));
    BotonCerrar->setAutoDefault(false);
    connect(BotonCerrar, &QPushButton::clicked, this, &QDialog::reject);
    auto* pie = new QHBoxLayout;
    pie->addStretch();
    pie->addWidget(BotonCerrar);
    capas->addLayout(pie);
}

void TFormRecuperacion::Decide(size_t i, const QString& estado)
{
    Fila& f = Filas[i];
    f.Hecha = true;
    for (QPushButton* b : {f.Recuperar, f.Descartar, f.MasTarde})
        b->hide();
    f.Estado->setText(estado);
    f.Estado->show();
    // Every copy dealt with: nothing left to choose.
    if (std::all_of(Filas.begin(), Filas.end(), [](const Fila& x) { return x.Hecha; }))
        accept();
}

void TFormRecuperacion::RecuperarClick(size_t i)
{
    Fila& f = Filas[i];
    bool hecho = false;
    // The tree it replaces is asked about first; a new tree comes in, so
    // the document announces it like an opened file.
    Protegido([&] { doc_.EjecutaSinPaso([&] { hecho = r_.Recupera(doc_.arbol(), f.Copia); }, Cambio::DeFichero()); });
    if (hecho)
        Decide(i, QStringLiteral("Recuperada"));
    else if (!r_.Sigue(f.Copia))
        Decide(i, QStringLiteral("No se ha podido recuperar"));
}

void TFormRecuperacion::DescartarClick(size_t i)
{
    Fila& f = Filas[i];
    // The user's unsaved work goes for good: asked first, and Enter keeps it.
    const QString ruta = f.Copia.RutaOriginal.empty() ? Q(kSinTitulo) : Q(f.Copia.RutaOriginal);
    QMessageBox pregunta(QMessageBox::Warning, QStringLiteral("Atención"),
                         QStringLiteral("¿Desea descartar la copia de recuperación de «%1»? Los cambios que guarda "
                                        "se perderán.")
                             .arg(ruta),
                         QMessageBox::Yes | QMessageBox::No, this);
    pregunta.setObjectName(QStringLiteral("CajaPregunta"));
    pregunta.setTextFormat(Qt::PlainText);
    pregunta.setDefaultButton(QMessageBox::No);
    if (pregunta.exec() != QMessageBox::Yes)
        return;
    Protegido([&] {
        r_.Descarta(f.Copia);
        Decide(i, QStringLiteral("Descartada"));
    });
}

void TFormRecuperacion::MasTardeClick(size_t i) { Decide(i, QStringLiteral("Se ofrecerá de nuevo")); }
