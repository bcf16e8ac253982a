#include "editor/FicheroEditor.h"

#include "common/Errores.h"
#include "tree/Arbol.h"

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

std::string DocumentoEnlazado(Arbol& arbol, const std::string& rutaArbol)
{
    if (arbol.DocumentoEditor.empty())
        return {};
    std::error_code ec;
    if (fs::is_regular_file(fs::path(arbol.DocumentoEditor), ec))
        return arbol.DocumentoEditor;
    // The link may name a folder of another machine: take only its file name.
    const std::string& d = arbol.DocumentoEditor;
    const auto barra = d.find_last_of("/\\");
    const std::string nombre = barra == std::string::npos ? d : d.substr(barra + 1);
    const fs::path carpeta = fs::path(rutaArbol).parent_path();
    const std::string junto = (carpeta / fs::path(nombre)).string();
    arbol.DocumentoEditor = junto;
    if (!nombre.empty() && fs::is_regular_file(fs::path(junto), ec))
        return junto;
    return {};
}

void CargarDocumentoEnlazado(Arbol& arbol, const std::string& rutaArbol)
{
    const std::string ruta = DocumentoEnlazado(arbol, rutaArbol);
    if (!ruta.empty() && arbol.usuario)
        arbol.usuario->EditorCargar(ruta);
}
