#include "tree/Documento.h"

#include "common/EscrituraSegura.h"
#include "common/Ini.h"
#include "common/Redondeo.h"
#include "tree/Arbol.h"
#include "tree/FicheroArbol.h"

#include <filesystem>

const char* const kSinTitulo = "Sin título";
const char* const kPreguntaGuardar = "¿Desea guardar el árbol actual?";
const char* const kMensajeNoEsArbol =
    "El fichero seleccionado no se corresponde con un árbol de decisión NEMOR, o podría estar dañado.";
const char* const kMensajeNoExiste = "No existe el fichero ";

namespace {

DialogoFichero Dialogo()
{
    DialogoFichero d;
    d.Filtro = kFiltroArbol;
    d.ExtensionDefecto = "nmr";
    return d;
}

IUsuario& Usuario(Arbol& a)
{
    if (!a.usuario)
        throw ENemor("No hay usuario a quien preguntar.");
    return *a.usuario;
}

} // namespace

void EmpiezaArbolVacio(Arbol& a)
{
    a.NuevoArbolVacio();
    a.Archivo.Caption = kSinTitulo;
    a.Fecha.Caption = FechaHoraActual();
}

bool PreguntarGuardar(Arbol& a)
{
    IUsuario& u = Usuario(a);
    const Respuesta r = u.Pregunta("Atención", kPreguntaGuardar, Botones::SiNoCancelar, Icono::Exclamacion);
    if (r == Respuesta::Cancelar)
        return false;
    if (r == Respuesta::Si) {
        if (!a.NombreFichero.empty())
            GuardarArbol(a, a.NombreFichero);
        else
            ArchivoGuardarComo(a); // a cancelled dialog still lets the caller go on
    }
    return u.EditorPreguntaGuardar();
}

bool ArchivoNuevo(Arbol& a)
{
    if (!PreguntarGuardar(a))
        return false;
    EmpiezaArbolVacio(a);
    Usuario(a).EditorNuevo();
    a.Variables.clear();
    return true;
}

void ArchivoAbrir(Arbol& a)
{
    if (a.Archivo.Caption != kSinTitulo && !ArchivoNuevo(a))
        return;
    IUsuario& u = Usuario(a);
    const auto ruta = u.AbrirFichero(Dialogo());
    if (!ruta)
        return;
    ResultadoLectura r;
    try {
        r = LeerArbol(a, *ruta);
    } catch (const std::exception&) {
        u.Error(kMensajeNoEsArbol);
        return;
    }
    if (r != ResultadoLectura::Cancelado)
        AnotarReciente(a, *ruta);
}

void ArchivoGuardar(Arbol& a)
{
    if (!a.NombreFichero.empty())
        GuardarArbol(a, a.NombreFichero);
    else
        ArchivoGuardarComo(a);
}

bool ArchivoGuardarComo(Arbol& a)
{
    DialogoFichero d = Dialogo();
    d.NombreInicial = a.NombreFichero;
    const auto ruta = Usuario(a).GuardarFichero(d);
    if (!ruta)
        return false;
    a.NombreFichero = *ruta;
    GuardarArbol(a, a.NombreFichero);
    a.Archivo.Caption = a.NombreFichero;
    a.Archivo.Visible = a.opciones.SelArchivo;
    a.Fecha.Caption = FechaHoraActual();
    a.Fecha.Visible = a.opciones.SelFecha;
    return true;
}

void ArchivoReciente(Arbol& a, int i)
{
    if (i < 1 || i > static_cast<int>(a.Recientes.size()))
        return;
    const std::string entrada = a.Recientes[static_cast<size_t>(i - 1)];
    if (entrada.empty())
        return;
    // An entry is a path; an older menu may have slipped an "&" into it.
    const std::string ruta = ExisteFichero(entrada) ? entrada : SinAmpersand(entrada);
    if (LeerArbol(a, ruta) != ResultadoLectura::Cancelado)
        AnotarReciente(a, entrada);
}

bool ArchivoSalir(Arbol& a)
{
    return PreguntarGuardar(a);
}

void AbrirArgumento(Arbol& a, const std::string& ruta)
{
    LeerArbol(a, ruta);
}

std::string SinAmpersand(const std::string& entrada)
{
    std::string r = entrada;
    const auto p = r.find('&');
    if (p != std::string::npos)
        r.erase(p, 1);
    return r;
}

void AnotarReciente(Arbol& a, const std::string& ruta)
{
    auto& e = a.Recientes;
    // The same path is the entry itself or the entry without an "&" an older
    // menu slipped in. Entries are real paths here, so an "&" in ruta is kept.
    int k = -1;
    for (int i = 0; i < static_cast<int>(e.size()); ++i) {
        const std::string& x = e[static_cast<size_t>(i)];
        if (x == ruta || SinAmpersand(x) == ruta)
            k = i;
    }
    if (k < 0)
        k = static_cast<int>(e.size()) - 1; // not there: the oldest entry drops
    for (int i = k; i > 0; --i)
        e[static_cast<size_t>(i)] = e[static_cast<size_t>(i - 1)];
    e[0] = ruta;
    FicheroIni ini(RutaIni());
    ini.Diferir();
    for (size_t i = 0; i < e.size(); ++i)
        ini.EscribeCadena("Ficheros", "F" + std::to_string(i + 1), e[i]);
    ini.Volcar();
}

void CargarRecientes(Arbol& a)
{
    const FicheroIni ini(RutaIni());
    for (size_t i = 0; i < a.Recientes.size(); ++i)
        a.Recientes[i] = ini.LeeCadena("Ficheros", "F" + std::to_string(i + 1), "");
}

void GuardarArbol(Arbol& arbol, const std::string& ruta)
{
    EscribeArbol(arbol, ruta);
    if (ruta == arbol.NombreFichero)
        arbol.Guardado = arbol.Modificaciones;
    AnotarReciente(arbol, ruta);
}

// --- Reading and saving a tree file ----------------------------------------------

ResultadoLectura LeerArbol(Arbol& a, const std::string& ruta)
{
    IUsuario* u = a.usuario;
    if (!ExisteFichero(ruta)) {
        if (u)
            u->Error(kMensajeNoExiste + ruta);
        return ResultadoLectura::NoExiste;
    }
    if (a.UltimaPosicion >= 2 && !PreguntarGuardar(a))
        return ResultadoLectura::Cancelado;

    bool progresoVisible = false;
    try {
        std::string bytes;
        if (!LeeFicheroEntero(ruta, bytes))
            throw EInOutError("Cannot open file \"" + ruta + "\".");
        if (u) {
            u->ProgresoMostrar("Abriendo fichero ...");
            progresoVisible = true;
        }
        const ContenidoArbol c = AnalizaArbol(bytes, a.opciones.CheckBoxVersion);
        const int total = c.UltimaPosicion;
        CargaContenido(a, c, [u, total](int i) {
            if (u && total > 0)
                u->ProgresoPosicion(static_cast<int>(Round(100.0 * i / total)));
        });
        a.NombreFichero = ruta;
        a.Archivo.Caption = ruta;
        a.Archivo.Visible = a.opciones.SelArchivo;
        a.Fecha.Caption = c.Fecha;
        a.Fecha.Visible = a.opciones.SelFecha;
        if (progresoVisible)
            u->ProgresoOcultar();
        progresoVisible = false;
    } catch (...) {
        if (progresoVisible)
            u->ProgresoOcultar();
        // Never keep the broken file's name: a later save would overwrite it.
        EmpiezaArbolVacio(a);
        a.Variables.clear();
        throw;
    }

    // The linked document: at its path, else under its name beside the tree.
    if (!a.DocumentoEditor.empty()) {
        if (!ExisteFichero(a.DocumentoEditor)) {
            // Files written on Windows separate folders with backslashes.
            const std::string& d = a.DocumentoEditor;
            const size_t barra = d.find_last_of("/\\");
            const std::string nombre = barra == std::string::npos ? d : d.substr(barra + 1);
            a.DocumentoEditor = (std::filesystem::path(ruta).parent_path() / nombre).string();
        }
        if (ExisteFichero(a.DocumentoEditor) && u)
            u->EditorCargar(a.DocumentoEditor);
    }
    return ResultadoLectura::Leido;
}
