// "Exportar imagen...": the drawing as it stands on the screen, to a picture file.
#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "drawing/ExportaDibujo.h"

#include <filesystem>

namespace {

// The tree's own name with the picture's extension, beside it; "arbol.png" for a new tree.
std::string NombrePropuesto(const Arbol& a)
{
    if (a.NombreFichero.empty())
        return "arbol.png";
    return std::filesystem::path(a.NombreFichero).replace_extension(".png").string();
}

} // namespace

void TArbol::ExportarImagen1Click()
{
    Protegido([this] {
        DialogoFichero d;
        d.Titulo = "Exportar imagen";
        d.Filtro = "Imagen PNG|*.png|Imagen SVG|*.svg|Documento PDF|*.pdf";
        d.ExtensionDefecto = "png";
        d.NombreInicial = NombrePropuesto(doc_.arbol());
        const auto ruta = usuario_.GuardarFichero(d);
        if (!ruta)
            return;
        ExportaDibujo(doc_.arbol(), *ruta);
    });
}
