#pragma once
// The tree document file (.nmr): line-oriented Windows-1252 text with CR LF
// line ends. A header, one block per node in creation order, the variables
// lines and, optionally, the path of the linked editor document.
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Errores.h"
#include "tree/Nodo.h"

class Arbol;

// The version text every file is written with (also shown by the about window).
extern const char* const kVersionNemor;
// Caption of the file dialogs.
extern const char* const kFiltroArbol;

// A moment as the Fecha label and the file's date line show it:
// "dd/mm/yyyy hh:mm:ss" in local time, the date alone at exactly midnight.
std::string FechaHoraTexto(std::time_t t);
// The program's way of writing a moment; the GUI sets the desktop's format at start-up.
using FormatoFechaHora = std::string (*)(std::time_t);
void FijaFormatoFechaHora(FormatoFechaHora formato);
// A moment in the program's format.
std::string FechaHoraDe(std::time_t t);
// Now, in the program's format: the Fecha label and the file's date line.
std::string FechaHoraActual();

// A file that does not hold a valid tree.
class EFicheroArbol : public ENemor {
public:
    using ENemor::ENemor;
};

// A real in the file's 23-character form: sign or blank, 15 significant
// digits, a four-digit exponent; "Nan", "+Inf" and "-Inf" right-aligned. The
// digits are those of the labels: |x| to 18 significant digits first, then
// rounded to 15 half away from zero. The point is the separator whatever the locale.
std::string TextoRealFichero(double x);
// Reads a real as the file holds it (also "Nan", "+Inf", "-Inf").
bool LeeRealFichero(std::string_view token, double& x);

// One node block as it stands in the file.
struct BloqueNodo {
    uint16_t Numero = 0;
    uint8_t Tipo = NodoTerminal;
    uint16_t Padre = 0;
    double Ganancia = 0;
    std::string FormulaGanancia;
    double Probabilidad = 0;
    std::string FormulaProbabilidad;
    double Valor = 0;
    std::vector<uint16_t> Hijos;
    bool Calculado = false;
    std::string Texto;
    uint16_t LongitudRama = 0;
    int32_t X = 0;
    int32_t Y = 0;
    bool Elegido = false;
    std::string Comentario;
};

// Everything a file holds, texts already in UTF-8.
struct ContenidoArbol {
    double Version = 0;      // 0 for a file without a version line
    std::string Fecha;       // the date line
    int32_t UltimaPosicion = 0;
    int32_t UltimoIndice = 0;
    std::vector<BloqueNodo> Nodos; // in file order; Nodos[0] is the root
    std::vector<std::string> Variables;
    std::optional<std::string> DocumentoEditor; // present when the file has the line
};

// Parses and checks a whole file. leerVersion141: the option "Leer ficheros
// de version 1.41" (blocks without the comment line for versions below 1.42).
// Raises EConvertError for a number that does not convert and EFicheroArbol
// for a file whose nodes do not make a tree; never returns a broken tree.
ContenidoArbol AnalizaArbol(std::string_view bytes, bool leerVersion141);

// The file text of the tree as saved at ruta on fecha. Positions and branch
// lengths are written at zoom factor 1 whatever the current zoom.
std::string TextoArbol(const Arbol& arbol, const std::string& ruta, const std::string& fecha);

// Replaces the tree by the file's content: nodes, counters, variables and the
// document link (none when the file has none). progreso(i) is called after
// each node with its position. Labels are rewritten from the values. The tree
// read has no unsaved changes. On any failure the tree is left as a new empty
// tree and the error raised.
void CargaContenido(Arbol& arbol, const ContenidoArbol& contenido, const std::function<void(int)>& progreso = {});

// Writes the tree to ruta safely (the previous file stays whole on failure),
// dated now. Raises EInOutError.
void EscribeArbol(const Arbol& arbol, const std::string& ruta);
