#pragma once
// Whole-file reads and writes. A write goes to a temporary file in the same
// folder and is renamed over the target only once complete, so a failure
// (disk full, no permission) leaves the previous file as it was.
#include <string>

// Replaces the file ruta with contenido. A symbolic link is followed, so the
// file it points to is replaced and the link stays. The new file keeps the
// permissions of the one it replaces. Raises EInOutError on failure, with the
// temporary file removed.
void EscribeFicheroSeguro(const std::string& ruta, const std::string& contenido);

// Reads the whole file; false when it cannot be opened or read.
bool LeeFicheroEntero(const std::string& ruta, std::string& contenido);

// True when ruta names an existing regular file (or a link to one).
bool ExisteFichero(const std::string& ruta);
