#include "cli/UsuarioCli.h"

#include "common/EscrituraSegura.h"
#include "tree/Arbol.h"
#include "tree/Documento.h"

#include <iostream>

void UsuarioCli::Mensaje(const std::string&, const std::string& texto, Icono)
{
    if (guardaMensajes_)
        mensajes.push_back(texto);
    else
        std::cerr << texto << '\n';
}

ContenidoArbol CargaArbolCli(Arbol& arbol, const std::string& ruta, bool v141)
{
    if (!ExisteFichero(ruta))
        throw ENemor(kMensajeNoExiste + ruta);
    std::string bytes;
    if (!LeeFicheroEntero(ruta, bytes))
        throw EInOutError("Cannot open file \"" + ruta + "\".");
    arbol.opciones.CheckBoxVersion = v141;
    ContenidoArbol c = AnalizaArbol(bytes, v141);
    CargaContenido(arbol, c);
    arbol.NombreFichero = ruta;
    return c;
}
