#include "cli/UsuarioCli.h"

#include "common/EscrituraSegura.h"
#include "tree/Arbol.h"
#include "tree/Documento.h"

#include <iostream>
#include <iterator>

void UsuarioCli::Mensaje(const std::string&, const std::string& texto, Icono)
{
    if (guardaMensajes_)
        mensajes.push_back(texto);
    else
        std::cerr << texto << '\n';
}

std::string LeeEntradaEstandar()
{
    std::string bytes(std::istreambuf_iterator<char>(std::cin), {});
    if (std::cin.bad())
        throw EInOutError("No se puede leer la entrada estándar");
    return bytes;
}

ContenidoArbol CargaArbolCli(Arbol& arbol, const std::string& ruta, bool v141)
{
    std::string bytes;
    if (ruta == kEntradaEstandar) {
        bytes = LeeEntradaEstandar();
    } else {
        if (!ExisteFichero(ruta))
            throw ENemor(kMensajeNoExiste + ruta);
        if (!LeeFicheroEntero(ruta, bytes))
            throw EInOutError("Cannot open file \"" + ruta + "\".");
    }
    arbol.opciones.CheckBoxVersion = v141;
    ContenidoArbol c = AnalizaArbol(bytes, v141);
    CargaContenido(arbol, c);
    arbol.NombreFichero = ruta;
    return c;
}
