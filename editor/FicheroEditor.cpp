#include "editor/FicheroEditor.h"

#include "common/Errores.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

DocumentoRtf CargarFicheroEditor(const std::string& ruta)
{
    std::ifstream f(fs::path(ruta), std::ios::binary);
    std::error_code ec;
    if (!f || fs::is_directory(fs::path(ruta), ec))
        throw EInOutError("Cannot open file \"" + ruta + "\". " + std::strerror(errno ? errno : ENOENT));
    // Read whole, a file of any size would fill the memory before the reader saw it.
    const std::uintmax_t tamanyo = fs::file_size(fs::path(ruta), ec);
    if (!ec && tamanyo > kFicheroEditorMaxBytes)
        throw EInOutError("El fichero \"" + ruta + "\" es demasiado grande para el editor (más de " +
                          std::to_string(kFicheroEditorMaxBytes >> 20) + " MB).");
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (f.bad())
        throw EInOutError("Cannot open file \"" + ruta + "\". " + std::strerror(EIO));
    return LeerDocumentoEditor(bytes);
}

void GuardarFicheroEditor(const std::string& ruta, const std::string& bytes)
{
    const fs::path destino = fs::path(ruta);
    fs::path temporal = destino;
    temporal += ".nemor-tmp";
    auto falla = [&](int err) {
        std::error_code ec;
        fs::remove(temporal, ec);
        throw EInOutError("Cannot create file \"" + ruta + "\". " + std::strerror(err));
    };
    {
        std::ofstream f(temporal, std::ios::binary | std::ios::trunc);
        if (!f)
            falla(errno ? errno : EACCES);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        f.flush();
        if (!f)
            falla(errno ? errno : EIO);
    }
    std::error_code ec;
    fs::rename(temporal, destino, ec);
    if (ec)
        falla(ec.value());
}

std::string CarpetaDialogosEditor(const std::string& documentoEditor, const std::string& ficheroArbol,
                                  const std::string& casa, const std::function<bool(const std::string&)>& esCarpeta)
{
    for (const std::string* ruta : {&documentoEditor, &ficheroArbol}) {
        if (ruta->empty())
            continue;
        const fs::path carpeta = fs::path(*ruta).parent_path();
        if (carpeta.is_absolute() && esCarpeta(carpeta.string()))
            return carpeta.string();
    }
    return casa;
}
