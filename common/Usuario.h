#pragma once
// The one door through which the core talks to the user: questions, messages,
// file pickers, the progress window. The GUI answers with Qt dialogs; tests
// answer with UsuarioGuion (tests/common/UsuarioGuion.h).
#include <optional>
#include <string>
#include <vector>

enum class Botones { Ok, SiNo, SiNoCancelar };
enum class Icono { Ninguno, Exclamacion, Pregunta, Error, Informacion };
enum class Respuesta { Ok, Si, No, Cancelar };

// The editor's document while it has changes not yet saved: its path (empty
// while untitled) and its text as the editor would save it.
struct TextoEditor {
    std::string Ruta;
    std::string Texto;
};

struct DialogoFichero {
    std::string Titulo;           // caption; empty for the platform's default
    std::string Filtro;           // "Descripción|*.ext" pairs, as the program writes them
    std::string ExtensionDefecto; // without the dot; empty for none
    std::string NombreInicial;    // initial file name or path; a folder: start there with no name
};

class IUsuario {
public:
    virtual ~IUsuario() = default;

    // Message box with the given buttons and icon.
    virtual Respuesta Pregunta(const std::string& titulo, const std::string& texto, Botones botones, Icono icono) = 0;
    // Text-input box. Returns false when cancelled; texto then keeps its initial value.
    virtual bool PideTexto(const std::string& titulo, const std::string& rotulo, std::string& texto) = 0;
    // The standard error box: the application title as caption, error icon, one OK button.
    // texto is shown as given (callers apply TextoCajaError where the rule asks for it).
    virtual void Error(const std::string& texto) = 0;
    // A message box with one OK button.
    virtual void Mensaje(const std::string& titulo, const std::string& texto, Icono icono) = 0;
    // File pickers; nullopt when cancelled.
    virtual std::optional<std::string> AbrirFichero(const DialogoFichero& dialogo) = 0;
    virtual std::optional<std::string> GuardarFichero(const DialogoFichero& dialogo) = 0;
    // The progress window "Progreso": shown with a text, moved on (0..100), hidden.
    virtual void ProgresoMostrar(const std::string& texto) = 0;
    virtual void ProgresoPosicion(int posicion) = 0;
    virtual void ProgresoOcultar() = 0;

    // The link with the rich-text editor. AskSaveChanges: false when the user cancels.
    virtual bool EditorPreguntaGuardar() { return true; }
    // Empties the editor (FileNew).
    virtual void EditorNuevo() {}
    // Loads a document into the editor without giving it the focus.
    virtual void EditorCargar(const std::string& ruta) { (void)ruta; }
    // The document with changes not yet saved; nullopt when it has none.
    virtual std::optional<TextoEditor> EditorSinGuardar() { return std::nullopt; }
    // Puts back a document's unsaved text under its path ("Sin título" when
    // empty), marked as changed.
    virtual void EditorRecupera(const TextoEditor& documento) { (void)documento; }

    // The value dialog "Dato": rotulo is the caption above the box, lista the
    // drop-down entries, texto the initial edit text. Returns false when
    // cancelled; texto then keeps its initial value. Without a dialog of its
    // own a port asks with the text-input box.
    virtual bool PideDato(const std::string& rotulo, const std::vector<std::string>& lista, std::string& texto)
    {
        (void)lista;
        return PideTexto("Dato", rotulo, texto);
    }
};
