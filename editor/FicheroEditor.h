#pragma once
// Editor documents on disk.
#include "editor/Rtf.h"

#include <string>

// The document in the file: RTF, or plain text when it is not RTF. Raises
// EInOutError "Cannot open file \"%s\"..." when the file cannot be read.
DocumentoRtf CargarFicheroEditor(const std::string& ruta);

// Writes the bytes through a temporary file in the same folder renamed over
// the target, so a failed save leaves the previous file as it was. Raises
// EInOutError "Cannot create file \"%s\"..." when that fails.
void GuardarFicheroEditor(const std::string& ruta, const std::string& bytes);
