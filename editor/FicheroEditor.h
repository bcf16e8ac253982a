#pragma once
// Editor documents on disk and the tree's link to one of them.
#include "editor/Rtf.h"

#include <string>

class Arbol;

// The document in the file: RTF, or plain text when it is not RTF. Raises
// EInOutError "Cannot open file \"%s\"..." when the file cannot be read.
DocumentoRtf CargarFicheroEditor(const std::string& ruta);

// Writes the bytes through a temporary file in the same folder renamed over
// the target, so a failed save leaves the previous file as it was. Raises
// EInOutError "Cannot create file \"%s\"..." when that fails.
void GuardarFicheroEditor(const std::string& ruta, const std::string& bytes);

// Loading a tree whose file names an editor document: that path when it
// exists; otherwise the same file name in the tree's folder, which becomes
// the link. Returns the path to load, or empty when neither exists (nothing
// is reported). Empty when the tree names no document.
std::string DocumentoEnlazado(Arbol& arbol, const std::string& rutaArbol);

// The same, loading the document into the editor through the user port.
void CargarDocumentoEnlazado(Arbol& arbol, const std::string& rutaArbol);
