// Tree files from anywhere: the reader must reject or accept them without
// crashing, and whatever it accepts must write back to a file that reads
// back to the same text. The solve that follows an open must not crash either.
#include "analysis/Rollback.h"
#include "common/Decimal.h"
#include "tree/Arbol.h"
#include "tree/FicheroArbol.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class UsuarioSi : public IUsuario {
public:
    Respuesta Pregunta(const std::string&, const std::string&, Botones, Icono) override { return Respuesta::Si; }
    bool PideTexto(const std::string&, const std::string&, std::string&) override { return false; }
    void Error(const std::string&) override {}
    void Mensaje(const std::string&, const std::string&, Icono) override {}
    std::optional<std::string> AbrirFichero(const DialogoFichero&) override { return std::nullopt; }
    std::optional<std::string> GuardarFichero(const DialogoFichero&) override { return std::nullopt; }
    void ProgresoMostrar(const std::string&) override {}
    void ProgresoPosicion(int) override {}
    void ProgresoOcultar() override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamanyo)
{
    if (tamanyo < 1)
        return 0;
    // The first byte picks the older-layout option and the decimal separator.
    const bool v141 = datos[0] & 1;
    SeparadorTemporal sep((datos[0] & 2) ? ',' : '.');
    const std::string_view fichero(reinterpret_cast<const char*>(datos + 1), tamanyo - 1);

    UsuarioSi u;
    Arbol a;
    a.usuario = &u;
    try {
        CargaContenido(a, AnalizaArbol(fichero, v141));
    } catch (const ENemor&) {
        return 0;
    }
    const std::string texto = TextoArbol(a, "r", "f");
    Arbol b;
    try {
        CargaContenido(b, AnalizaArbol(texto, false));
    } catch (const ENemor& e) {
        std::fprintf(stderr, "a written file does not read back: %s\n", e.what());
        std::abort();
    }
    if (TextoArbol(b, "r", "f") != texto) {
        std::fprintf(stderr, "a written file reads back different\n");
        std::abort();
    }
    try {
        CalculaVEM(a);
    } catch (const ENemor&) {
    }
    return 0;
}
