// The picture export itself, painted with the canvas's own code. It is linked
// only into programs that carry Qt (the helper nemor-exporta, the GUI tests);
// nemor-cli reaches it through that helper (cli/ComandosExportar.cpp).
#include "analysis/Rollback.h"
#include "cli/Cli.h"
#include "cli/UsuarioCli.h"
#include "common/Errores.h"
#include "common/Ini.h"
#include "drawing/ExportaDibujo.h"
#include "drawing/OpcionesIni.h"
#include "tree/Arbol.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"

#include <QGuiApplication>

#include <iostream>
#include <memory>

namespace {


// Fonts need a Qt application. No window is ever shown, so no display is
// needed either: the offscreen platform unless the caller chose another.
void AseguraAplicacion()
{
    if (QGuiApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own notes (no runtime folder and the like) are not the tool's output;
    // its failures still arrive as errors.
    qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext&, const QString& texto) {
        if (tipo == QtCriticalMsg || tipo == QtFatalMsg)
            std::cerr << texto.toStdString() << '\n';
    });
    static int argc = 1;
    static char nombre[] = "nemor-cli";
    static char* argv[] = {nombre, nullptr};
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

int Exporta(const std::vector<std::string>& args, std::ostream&)
{
    const bool resolver = args.size() == 3 && args[0] == "--solve";
    if (args.size() == 3 && !resolver)
        throw UsoIncorrecto{};
    const std::string& entrada = args[args.size() - 2];
    const std::string& salida = args[args.size() - 1];

    AseguraAplicacion();
    UsuarioCli u;
    Arbol arbol;
    arbol.usuario = &u;
    // As the window shows the file right after opening it: the settings
    // file's options first, then the tree.
    LeeOpciones(arbol, FicheroIni(RutaIni()));
    AplicaOpciones(arbol);
    if (entrada == kEntradaEstandar) {
        // No file name to show: the label of an untitled tree, the file's own date.
        const ContenidoArbol c = AnalizaArbol(LeeEntradaEstandar(), arbol.opciones.CheckBoxVersion);
        CargaContenido(arbol, c);
        arbol.Fecha.Caption = c.Fecha;
        arbol.Fecha.Visible = arbol.opciones.SelFecha;
        arbol.Archivo.Visible = arbol.opciones.SelArchivo;
    } else {
        LeerArbol(arbol, entrada);
    }
    if (resolver)
        ResuelveArbol(arbol);
    ExportaDibujo(arbol, salida);
    return 0;
}

const ImplementacionCli r1("export", Exporta);

} // namespace
