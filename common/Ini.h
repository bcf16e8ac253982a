#pragma once
// The settings file "NEMOR.ini": sections of key=value lines, UTF-8.
// Reads never fail: a missing file, section or key, or a value that does not
// convert, gives the caller's default. Section and key names are compared
// without regard to case. Each write rewrites the whole file safely; a
// failure raises "Unable to write to %s" with the file's path.
#include <cstdint>
#include <string>
#include <vector>

// Where the settings file lives: the path in NEMOR_INI, else
// $XDG_CONFIG_HOME/NEMOR.ini, else ~/.config/NEMOR.ini.
std::string RutaIni();

// A folder of the user's by the XDG rules: $variable when it holds an
// absolute path (a relative one is invalid and ignored), else $HOME/bajoHome;
// empty when neither is set.
std::string CarpetaXdg(const char* variable, const char* bajoHome);

class FicheroIni {
public:
    // Loads the file now; later changes by others are not seen.
    explicit FicheroIni(std::string ruta);

    const std::string& Ruta() const { return ruta_; }

    std::string LeeCadena(const std::string& seccion, const std::string& clave, const std::string& defecto) const;
    // Decimal, or hexadecimal with a leading "0x" or "$".
    int32_t LeeEntero(const std::string& seccion, const std::string& clave, int32_t defecto) const;
    // An integer: 0 is false, anything else true.
    bool LeeBooleano(const std::string& seccion, const std::string& clave, bool defecto) const;
    // A real in the user's decimal separator.
    double LeeReal(const std::string& seccion, const std::string& clave, double defecto) const;
    bool ExisteClave(const std::string& seccion, const std::string& clave) const;

    void EscribeCadena(const std::string& seccion, const std::string& clave, const std::string& valor);
    void EscribeEntero(const std::string& seccion, const std::string& clave, int32_t valor);
    void EscribeBooleano(const std::string& seccion, const std::string& clave, bool valor);

    // Between Diferir and Volcar, writes only change the copy in memory; Volcar
    // writes the file once. Saves many keys with one rewrite.
    void Diferir() { diferido_ = true; }
    void Volcar();

private:
    struct Linea {
        std::string texto;   // the line as it stands in the file
        std::string seccion; // for a section header, its name
        std::string clave;   // for a key line, its key
        std::string valor;   // for a key line, its value, trimmed
        enum Tipo { Otra, Seccion, Clave } tipo = Otra;
    };
    const Linea* Busca(const std::string& seccion, const std::string& clave) const;
    void Guarda();

    std::string ruta_;
    std::vector<Linea> lineas_;
    bool diferido_ = false;
    bool pendiente_ = false;
};
