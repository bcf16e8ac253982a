#include "app/UsuarioQt.h"

#include "app/ProgresoU.h"
#include "common/Errores.h"
#include "drawing/ConversionQt.h"
#include "editor/REMain.h"
#include "tree/DatoU.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

namespace {

QMessageBox::Icon IconoQt(Icono i)
{
    switch (i) {
    case Icono::Exclamacion: return QMessageBox::Warning;
    case Icono::Pregunta: return QMessageBox::Question;
    case Icono::Error: return QMessageBox::Critical;
    case Icono::Informacion: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

void UsuarioQt::PonVentanas(TProgressForm* progreso, TFormDato* dato, TFormEditor* editor)
{
    progreso_ = progreso;
    dato_ = dato;
    editor_ = editor;
}

QWidget* UsuarioQt::Padre() const
{
    if (QWidget* w = QApplication::activeWindow())
        return w;
    return ventana_;
}

Respuesta UsuarioQt::Pregunta(const std::string& titulo, const std::string& texto, Botones botones, Icono icono)
{
    if (AntesDePreguntar)
        AntesDePreguntar();
    QMessageBox::StandardButtons b = QMessageBox::Ok;
    if (botones == Botones::SiNo)
        b = QMessageBox::Yes | QMessageBox::No;
    else if (botones == Botones::SiNoCancelar)
        b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox caja(IconoQt(icono), Q(titulo), Q(texto), b, Padre());
    caja.setObjectName(QStringLiteral("CajaPregunta"));
    switch (caja.exec()) {
    case QMessageBox::Yes: return Respuesta::Si;
    case QMessageBox::No: return Respuesta::No;
    case QMessageBox::Ok: return Respuesta::Ok;
    default: return Respuesta::Cancelar; // Cancel, Escape or the close box
    }
}

bool UsuarioQt::PideTexto(const std::string& titulo, const std::string& rotulo, std::string& texto)
{
    bool ok = false;
    const QString r = QInputDialog::getText(Padre(), Q(titulo), Q(rotulo), QLineEdit::Normal, Q(texto), &ok);
    if (ok)
        texto = r.toStdString();
    return ok;
}

void UsuarioQt::Error(const std::string& texto)
{
    QMessageBox caja(QMessageBox::Critical, QStringLiteral("NEMOR"), Q(texto), QMessageBox::Ok, Padre());
    caja.setObjectName(QStringLiteral("CajaError"));
    caja.exec();
}

void UsuarioQt::Mensaje(const std::string& titulo, const std::string& texto, Icono icono)
{
    QMessageBox caja(IconoQt(icono), Q(titulo), Q(texto), QMessageBox::Ok, Padre());
    caja.setObjectName(QStringLiteral("CajaMensaje"));
    caja.exec();
}

QString FiltroQt(const std::string& filtro)
{
    const QStringList partes = Q(filtro).split(QLatin1Char('|'));
    QStringList salida;
    for (int i = 0; i + 1 < partes.size(); i += 2) {
        QStringList escritas = partes[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        QStringList mascaras;
        for (QString& m : escritas) {
            m = m.trimmed();
            // Every file, with or without an extension.
            const QString mascara = m == QLatin1String("*.*") ? QStringLiteral("*") : m;
            // "*.RTF" also finds "nota.rtf", written by another program.
            for (const QString& x : {mascara, mascara.toLower()})
                if (!mascaras.contains(x))
                    mascaras << x;
        }
        QString descripcion = partes[i].trimmed();
        // A description that already names its masks, "Bitmaps (*.bmp)", does not name them twice.
        const QString escrita = QStringLiteral("(%1)").arg(escritas.join(QLatin1Char(' ')));
        if (descripcion.endsWith(escrita))
            descripcion = descripcion.chopped(escrita.size()).trimmed();
        salida << descripcion + QStringLiteral(" (%1)").arg(mascaras.join(QLatin1Char(' ')));
    }
    return salida.join(QStringLiteral(";;"));
}

std::optional<std::string> UsuarioQt::Fichero(const DialogoFichero& d, bool guardar)
{
    QFileDialog dialogo(Padre(), Q(d.Titulo));
    dialogo.setObjectName(guardar ? QStringLiteral("DialogoGuardar") : QStringLiteral("DialogoAbrir"));
    dialogo.setAcceptMode(guardar ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Whatever name is typed comes back, also to open: the caller says "No
    // existe el fichero ..." itself, and notes the name in the recent files.
    dialogo.setFileMode(QFileDialog::AnyFile);
    // Callers ask their own overwrite question, or replace without one.
    dialogo.setOption(QFileDialog::DontConfirmOverwrite);
    if (!d.Filtro.empty())
        dialogo.setNameFilter(FiltroQt(d.Filtro));
    if (!d.ExtensionDefecto.empty())
        dialogo.setDefaultSuffix(Q(d.ExtensionDefecto));
    if (!d.NombreInicial.empty()) {
        // A folder is where to start, with no file name typed in.
        const QFileInfo inicial(Q(d.NombreInicial));
        if (inicial.isDir())
            dialogo.setDirectory(inicial.absoluteFilePath());
        else
            dialogo.selectFile(Q(d.NombreInicial));
    }
    // The installed samples, one click away from any open dialog.
    const QFileInfo ejemplos(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/nemor/ejemplos"));
    if (!guardar && ejemplos.isDir())
        dialogo.setSidebarUrls(dialogo.sidebarUrls() << QUrl::fromLocalFile(ejemplos.canonicalFilePath()));
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return std::nullopt;
    return dialogo.selectedFiles().first().toStdString();
}

std::optional<std::string> UsuarioQt::AbrirFichero(const DialogoFichero& d) { return Fichero(d, false); }

std::optional<std::string> UsuarioQt::GuardarFichero(const DialogoFichero& d) { return Fichero(d, true); }

void UsuarioQt::ProgresoMostrar(const std::string& texto)
{
    if (progreso_)
        progreso_->Muestra(Q(texto));
}

void UsuarioQt::ProgresoPosicion(int posicion)
{
    if (progreso_)
        progreso_->Posicion(posicion);
}

void UsuarioQt::ProgresoOcultar()
{
    if (progreso_)
        progreso_->hide();
}

bool UsuarioQt::PideDato(const std::string& rotulo, const std::vector<std::string>& lista, std::string& texto)
{
    if (!dato_)
        return IUsuario::PideDato(rotulo, lista, texto);
    return dato_->Ejecuta(rotulo, lista, texto);
}

bool UsuarioQt::EditorPreguntaGuardar() { return !editor_ || editor_->AskSaveChanges(); }

void UsuarioQt::EditorNuevo()
{
    if (editor_)
        editor_->FileNew();
}

void UsuarioQt::EditorCargar(const std::string& ruta)
{
    if (!editor_)
        return;
    // The tree has been read by now: a note that cannot be read is reported
    // on its own and does not turn a good tree into a failed open.
    try {
        editor_->LoadDocument(Q(ruta), false);
    } catch (const ENemor& e) {
        Error(TextoCajaError(e.what()));
    }
}

std::optional<TextoEditor> UsuarioQt::EditorSinGuardar()
{
    return editor_ ? editor_->TextoSinGuardar() : std::nullopt;
}

void UsuarioQt::EditorRecupera(const TextoEditor& documento)
{
    if (editor_)
        editor_->Recupera(documento);
}
