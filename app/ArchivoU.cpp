// The document commands of the main window: each reads nothing from widgets
// and calls the core through the document, whose announcement shows the result.
#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "drawing/ConversionQt.h"
#include "tree/Documento.h"

#include <QAction>

void TArbol::MuestraRecientes()
{
    // The items show the paths; an "&" in a path is shown, not taken as an accelerator.
    QAction* const items[] = {F1, F2, F3, F4};
    for (size_t i = 0; i < 4; ++i) {
        const QString ruta = Q(doc_.arbol().Recientes[i]);
        items[i]->setText(QString(ruta).replace(QLatin1Char('&'), QStringLiteral("&&")));
        items[i]->setVisible(!ruta.isEmpty());
    }
}

// Saving and opening are no steps; New and Open start the history again.
void TArbol::Fichero(const std::function<void()>& orden)
{
    Protegido([&] { doc_.EjecutaSinPaso(orden, Cambio::DeFichero()); });
}

void TArbol::CargaRecientes()
{
    CargarRecientes(doc_.arbol());
    MuestraRecientes();
}

void TArbol::AbreArgumento(const QString& ruta)
{
    Fichero([&] { AbrirArgumento(doc_.arbol(), S(ruta)); });
}

void TArbol::FileNew()
{
    Fichero([this] { ArchivoNuevo(doc_.arbol()); });
}

void TArbol::FileOpen()
{
    Fichero([this] { ArchivoAbrir(doc_.arbol()); });
}

void TArbol::FileSaveItemClick()
{
    Fichero([this] { ArchivoGuardar(doc_.arbol()); });
}

void TArbol::FileSaveAs()
{
    Fichero([this] { ArchivoGuardarComo(doc_.arbol()); });
}

// The question is asked by closeEvent, so "&Salir" and the close box ask the same.
void TArbol::FileExit() { close(); }

void TArbol::F1Click()
{
    Fichero([this] { ArchivoReciente(doc_.arbol(), 1); });
}

void TArbol::F2Click()
{
    Fichero([this] { ArchivoReciente(doc_.arbol(), 2); });
}

void TArbol::F3Click()
{
    Fichero([this] { ArchivoReciente(doc_.arbol(), 3); });
}

void TArbol::F4Click()
{
    Fichero([this] { ArchivoReciente(doc_.arbol(), 4); });
}

bool TArbol::PuedeCerrar()
{
    // The save question, always, as "&Salir" asks it. An error here (the save
    // failed) keeps the program open.
    bool cerrar = false;
    Fichero([&] { cerrar = ArchivoSalir(doc_.arbol()); });
    return cerrar;
}
