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

// Runs a document command. Afterwards, even when it failed halfway, the list,
// the variables window and the drawing show the tree as it now is; only then
// is the error shown.
template <typename F>
void Documento(TArbol& v, F orden)
{
    Protegido(
        [&] {
            // A comment being typed belongs to the tree about to be saved or replaced.
            if (FormNota && FormNota->isVisible())
                FormNota->GuardarComentario();
            orden();
        },
        [&] {
            v.OlvidaArrastre();
            // An open outline of the old tree would rename nodes of the new one
            // that happen to reuse its numbers: it shows the tree as it now is.
            if (TreeAD && TreeAD->isVisible())
                TreeAD->FormShow();
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
    Documento(*this, [&] { AbrirArgumento(arbol_, ruta.toStdString()); });
}

void TArbol::FileNew()
{
    Documento(*this, [&] { ArchivoNuevo(arbol_); });
}

void TArbol::FileOpen()
{
    Documento(*this, [&] { ArchivoAbrir(arbol_); });
}

void TArbol::FileSaveItemClick()
{
    Documento(*this, [&] { ArchivoGuardar(arbol_); });
}

void TArbol::FileSaveAs()
{
    Documento(*this, [&] { ArchivoGuardarComo(arbol_); });
}

// The question is asked by closeEvent, so "&Salir" and the close box ask the same.
void TArbol::FileExit() { close(); }

void TArbol::F1Click()
{
    Documento(*this, [&] { ArchivoReciente(arbol_, 1); });
}

void TArbol::F2Click()
{
    Documento(*this, [&] { ArchivoReciente(arbol_, 2); });
}

void TArbol::F3Click()
{
    Documento(*this, [&] { ArchivoReciente(arbol_, 3); });
}

void TArbol::F4Click()
{
    Documento(*this, [&] { ArchivoReciente(arbol_, 4); });
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
