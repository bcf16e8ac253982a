// Any bytes read as an editor document: no crash, and what was read writes
// back to RTF that reads as the same document and writes the same bytes.
#include "editor/Rtf.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DocumentoRtf leido = LeerDocumentoEditor(bytes);
    if (leido.Parrafos.empty())
        std::abort();
    const std::string escrito = EscribirRtf(leido);
    const DocumentoRtf releido = LeerRtf(escrito);
    if (!(releido == leido))
        std::abort();
    if (EscribirRtf(releido) != escrito)
        std::abort();
    return 0;
}
