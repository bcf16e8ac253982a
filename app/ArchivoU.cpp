// The document commands of the main window: each reads nothing from widgets,
// calls the core, then shows what changed.
#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "drawing/Tapiz.h"
#include "drawing/TreeUnit.h"
#include "tree/Documento.h"
#include "tree/NotaU.h"
#include "variables/VarUnit.h"

#include <QAction>

namespace {

// The recent-files items show the paths; an "&" in a path is shown, not taken as an accelerator.
void MuestraRecientes(TArbol& v)
{
    QAction* const items[] = {v.F1, v.F2, v.F3, v.F4};
    for (size_t i = 0; i < 4; ++i) {
        const QString ruta = QString::fromStdString(v.arbol().Recientes[i]);
        items[i]->setText(QString(ruta).replace(QLatin1Char('&'), QStringLiteral("&&")));
        items[i]->setVisible(!ruta.isEmpty());
    }
}

// Whether a document command may have put another tree in place of the one
// shown: only then does an open outline take a new snapshot. Saving leaves it
// as the user expanded it.
enum class Alcance { MismoArbol, OtroArbol };

// Runs a document command. Afterwards, even when it failed halfway, the list,
// the variables window and the drawing show the tree as it now is; only then
// is the error shown. alcance is read once the command has run, so a command
// may narrow it (a New the user cancelled).
template <typename F>
void Documento(TArbol& v, const Alcance& alcance, F orden)
{
    Protegido(
        [&] {
            // A comment being typed belongs to the tree about to be saved or replaced.
            if (FormNota && FormNota->isVisible())
                FormNota->GuardarComentario();
            orden();
        },
        [&] {
            if (alcance == Alcance::OtroArbol) {
                // Node numbers start again in another tree: a pending drag or
                // an outline of the old one would name nodes of the new one.
                v.OlvidaArrastre();
                if (TreeAD && TreeAD->isVisible())
                    TreeAD->FormShow();
            }
            MuestraRecientes(v);
            if (FormVar)
                FormVar->MuestraVariables();
            v.Refresca();
        });
}

} // namespace

void TArbol::CargaRecientes()
{
    CargarRecientes(arbol_);
    MuestraRecientes(*this);
}

void TArbol::AbreArgumento(const QString& ruta)
{
    Documento(*this, Alcance::OtroArbol, [&] { AbrirArgumento(arbol_, ruta.toStdString()); });
}

void TArbol::FileNew()
{
    Alcance alcance = Alcance::OtroArbol;
    Documento(*this, alcance, [&] {
        if (!ArchivoNuevo(arbol_))
            alcance = Alcance::MismoArbol; // cancelled in the save question
    });
}

void TArbol::FileOpen()
{
    Documento(*this, Alcance::OtroArbol, [&] { ArchivoAbrir(arbol_); });
}

void TArbol::FileSaveItemClick()
{
    Documento(*this, Alcance::MismoArbol, [&] { ArchivoGuardar(arbol_); });
}

void TArbol::FileSaveAs()
{
    Documento(*this, Alcance::MismoArbol, [&] { ArchivoGuardarComo(arbol_); });
}

// The question is asked by closeEvent, so "&Salir" and the close box ask the same.
void TArbol::FileExit() { close(); }

void TArbol::F1Click()
{
    Documento(*this, Alcance::OtroArbol, [&] { ArchivoReciente(arbol_, 1); });
}

void TArbol::F2Click()
{
    Documento(*this, Alcance::OtroArbol, [&] { ArchivoReciente(arbol_, 2); });
}

void TArbol::F3Click()
{
    Documento(*this, Alcance::OtroArbol, [&] { ArchivoReciente(arbol_, 3); });
}

void TArbol::F4Click()
{
    Documento(*this, Alcance::OtroArbol, [&] { ArchivoReciente(arbol_, 4); });
}

bool TArbol::PuedeCerrar()
{
    // An error here (the save failed) keeps the program open.
    bool cerrar = false;
    const std::exception_ptr error = Intenta([&] { cerrar = ArchivoSalir(arbol_); });
    if (error)
        Refresca();
    MuestraError(error);
    return cerrar;
}
