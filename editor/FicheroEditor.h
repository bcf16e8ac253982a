#pragma once
// Editor documents on disk.
#include "editor/Rtf.h"

#include <cstdint>
#include <functional>
#include <string>

// The document in the file: RTF, or plain text when it is not RTF. Raises
// EInOutError "Cannot open file \"%s\"..." when the file cannot be read,
// and a Spanish message when it is larger than kFicheroEditorMaxBytes.
DocumentoRtf CargarFicheroEditor(const std::string& ruta);
constexpr std::uintmax_t kFicheroEditorMaxBytes = std::uintmax_t{256} << 20;

// Writes the bytes through a temporary file in the same folder renamed over
// the target, so a failed save leaves the previous file as it was. Raises
// EInOutError "Cannot create file \"%s\"..." when that fails.
void GuardarFicheroEditor(const std::string& ruta, const std::string& bytes);

// The folder the editor's open and save dialogs start in: that of the tree's
// linked document, else that of the tree's file, else casa. A folder that
// esCarpeta turns down (gone since, or a path from another system) is passed
// over, and so is a path without a folder.
std::string CarpetaDialogosEditor(const std::string& documentoEditor, const std::string& ficheroArbol,
                                  const std::string& casa, const std::function<bool(const std::string&)>& esCarpeta);
