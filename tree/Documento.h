#pragma once
// The document commands: New, Open, Save, Save As, the four recent files and
// Exit, with the save question. All the logic is here; the main window only
// calls these and repaints. Questions and dialogs go through arbol.usuario.
#include <string>

class Arbol;

// Caption of the Archivo label for an untitled tree.
extern const char* const kSinTitulo;
extern const char* const kPreguntaGuardar;
extern const char* const kMensajeNoEsArbol;
extern const char* const kMensajeNoExiste;

// The save the commands use: the file (EscribeArbol), then ruta goes to the
// head of the recent-files list. A save to the tree's own file leaves it
// without unsaved changes (Arbol::SinGuardar).
void GuardarArbol(Arbol& arbol, const std::string& ruta);

enum class ResultadoLectura { Leido, NoExiste, Cancelado };

// Replaces the current tree by the file ruta: asks to save a tree of three or
// more nodes first (Cancelado when the user cancels), shows the progress
// window, reads, refreshes the labels and loads the linked editor document.
// A missing file shows "No existe el fichero " + ruta and changes nothing
// (NoExiste). Any other failure leaves a new empty, untitled tree and raises
// the error. Does not touch the recent-files list.
ResultadoLectura LeerArbol(Arbol& arbol, const std::string& ruta);

// The Archivo and Fecha labels after a new tree: "Sin título" and now.
// NuevoArbolVacio plus the labels; used by New, start-up and a failed read.
void EmpiezaArbolVacio(Arbol& arbol);

// "¿Desea guardar el árbol actual?" with Yes, No and Cancel. Yes saves (Save
// As when untitled; cancelling its dialog still goes on). Then the editor's
// own question. False when the user cancelled: the caller stops silently.
bool PreguntarGuardar(Arbol& arbol);

// "&Nuevo": the question, then an empty untitled tree, an empty editor
// document and an empty variables list. False when cancelled.
bool ArchivoNuevo(Arbol& arbol);
// "&Abrir..": New first when the tree is titled, the open dialog, the read.
// A read failure shows the "not a tree" box and leaves a new empty tree.
void ArchivoAbrir(Arbol& arbol);
// "&Guardar": to NombreFichero, or Save As when untitled.
void ArchivoGuardar(Arbol& arbol);
// "Guardar &como...": the save dialog, then the save; the labels show the new
// path and the moment. False when the dialog was cancelled.
bool ArchivoGuardarComo(Arbol& arbol);
// The recent entry i (1..4): reads it without running New first. A read
// error is raised for the application's error box.
void ArchivoReciente(Arbol& arbol, int i);
// "&Salir" and the window's close box: the save question. True when the
// program may close.
bool ArchivoSalir(Arbol& arbol);
// The tree named on the command line, read after the options are applied.
// Errors are raised for the application's error box.
void AbrirArgumento(Arbol& arbol, const std::string& ruta);

// Puts ruta at the head of the recent-files list and writes the list to the
// settings file (section "Ficheros", keys "F1" to "F4").
void AnotarReciente(Arbol& arbol, const std::string& ruta);
// Loads the list from the settings file; missing keys give empty entries.
void CargarRecientes(Arbol& arbol);
// The entry without its first "&", as an older menu may have stored it.
std::string SinAmpersand(const std::string& entrada);
