#pragma once
// The user port answered with Qt's standard dialogs.
#include "common/Usuario.h"

#include <QPointer>
#include <QString>

#include <functional>

class QWidget;
class TFormDato;
class TFormEditor;
class TProgressForm;

class UsuarioQt : public IUsuario {
public:
    explicit UsuarioQt(QWidget* ventana = nullptr) : ventana_(ventana) {}

    // The windows that answer for the progress, the value dialog and the
    // editor link; made after the main window, given by the start-up code.
    // Without them: no progress shown, the plain text box, no editor.
    void PonVentanas(TProgressForm* progreso, TFormDato* dato, TFormEditor* editor);

    Respuesta Pregunta(const std::string& titulo, const std::string& texto, Botones botones, Icono icono) override;
    bool PideTexto(const std::string& titulo, const std::string& rotulo, std::string& texto) override;
    void Error(const std::string& texto) override;
    void Mensaje(const std::string& titulo, const std::string& texto, Icono icono) override;
    std::optional<std::string> AbrirFichero(const DialogoFichero& dialogo) override;
    std::optional<std::string> GuardarFichero(const DialogoFichero& dialogo) override;
    void ProgresoMostrar(const std::string& texto) override;
    void ProgresoPosicion(int posicion) override;
    void ProgresoOcultar() override;
    // The link with the rich-text editor window.
    bool EditorPreguntaGuardar() override;
    void EditorNuevo() override;
    void EditorCargar(const std::string& ruta) override;
    std::optional<TextoEditor> EditorSinGuardar() override;
    void EditorRecupera(const TextoEditor& documento) override;
    bool PideDato(const std::string& rotulo, const std::vector<std::string>& lista, std::string& texto) override;

    // Runs before every question is shown: a question is about the tree as
    // the core has just left it (the red nodes of a bad sum), so the main
    // window paints it first.
    std::function<void()> AntesDePreguntar;

private:
    QWidget* Padre() const;
    std::optional<std::string> Fichero(const DialogoFichero& d, bool guardar);

    QWidget* ventana_;
    QPointer<TProgressForm> progreso_;
    QPointer<TFormDato> dato_;
    QPointer<TFormEditor> editor_;
};

// "Árboles|*.nmr|Todos|*.*" as a Qt file-dialog filter: "Árboles (*.nmr);;Todos (*)".
// Several masks of one entry, separated by ";", become one list.
QString FiltroQt(const std::string& filtro);
