#pragma once
// What the headless commands share: a user port with nobody to ask, and the
// reading of a tree file without dialogs, recent files or the editor.
#include "common/Errores.h"
#include "common/Usuario.h"
#include "tree/FicheroArbol.h"

#include <string>
#include <vector>

class Arbol;

// Questions are answered Yes, dialogs are cancelled, and an error box ends the
// command with its text. Messages that do not stop the work (a Bayes value not
// found) go to standard error, or are kept when the command reports them itself.
class UsuarioCli : public IUsuario {
public:
    explicit UsuarioCli(bool guardaMensajes = false) : guardaMensajes_(guardaMensajes) {}

    std::vector<std::string> mensajes; // kept messages, in order

    Respuesta Pregunta(const std::string&, const std::string&, Botones, Icono) override { return Respuesta::Si; }
    bool PideTexto(const std::string&, const std::string&, std::string&) override { return false; }
    void Error(const std::string& texto) override { throw ENemor(texto); }
    void Mensaje(const std::string& titulo, const std::string& texto, Icono icono) override;
    std::optional<std::string> AbrirFichero(const DialogoFichero&) override { return std::nullopt; }
    std::optional<std::string> GuardarFichero(const DialogoFichero&) override { return std::nullopt; }
    void ProgresoMostrar(const std::string&) override {}
    void ProgresoPosicion(int) override {}
    void ProgresoOcultar() override {}

private:
    bool guardaMensajes_;
};

// The file name that stands for standard input.
inline constexpr const char* kEntradaEstandar = "-";

// Everything on standard input, as bytes.
std::string LeeEntradaEstandar();

// Reads the file into the tree as the open command does, without the dialogs,
// the recent-files list or the editor. v141: the older layout. The name "-"
// reads standard input.
ContenidoArbol CargaArbolCli(Arbol& arbol, const std::string& ruta, bool v141);
