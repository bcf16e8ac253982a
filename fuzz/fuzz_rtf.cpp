// Any bytes read as an editor document: no crash, and what was read writes
// back to RTF that reads as the same document and writes the same bytes. The
// same again with a picture limit small enough for the fuzzer to cross.
#include "editor/Rtf.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Comprueba(const DocumentoRtf& leido, size_t imagenMax)
{
    if (leido.Parrafos.empty())
        std::abort();
    for (const Parrafo& p : leido.Parrafos)
        for (const TramoTexto& t : p.Tramos)
            if (t.Imagen && (t.Imagen->Datos.empty() || t.Imagen->Datos.size() > imagenMax || !t.Texto.empty()))
                std::abort();
    const std::string escrito = EscribirRtf(leido);
    const DocumentoRtf releido = LeerRtf(escrito, imagenMax);
    if (!(releido == leido))
        std::abort();
    if (EscribirRtf(releido) != escrito)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Comprueba(LeerDocumentoEditor(bytes), kImagenMaxBytes);
    constexpr size_t kLimitePequenyo = 16;
    if (EsRtf(bytes))
        Comprueba(LeerRtf(bytes, kLimitePequenyo), kLimitePequenyo);
    return 0;
}
