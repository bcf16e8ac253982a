#pragma once
// The textual replacement of names behind SustituyeVariables, with its bounds
// as parameters so it can be checked against a plain pass-by-pass replacement.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ResultadoSustitucion {
    std::string texto;
    // The text never settles: it still grows after the bound, or replacing
    // its names gives the same text back.
    bool ciclica = false;
    // Why it stopped when ciclica. A text that comes back unchanged surely
    // loops; one past a bound may only be very large.
    enum class Tope : uint8_t { Ninguno, MismoTexto, Longitud, Pasadas };
    Tope tope = Tope::Ninguno;
    // Names replaced in the last pass (the suspects when ciclica).
    std::vector<size_t> ultimos;
};

// The names and definitions of one list, prepared once to replace names in
// many texts. Pass after pass, the first occurrence of every name (in list
// order) is replaced by its definition, until a pass changes nothing. Empty
// names never occur. Stops as cyclic after pasadasMaximas passes or when the
// text grows beyond longitudMaxima characters.
class Sustituidor {
public:
    // Keeps references: the lists must outlive it and stay unchanged.
    Sustituidor(const std::vector<std::string>& nombres, const std::vector<std::string>& definiciones);
    ResultadoSustitucion Sustituye(const std::string& texto, int pasadasMaximas, size_t longitudMaxima) const;

private:
    struct Estado {
        std::vector<std::pair<unsigned char, int>> hijos;
        int fallo = 0;
        int salida = 0;             // nearest state down the failure chain that ends names
        std::vector<size_t> nombres; // names ending exactly here
    };
    int Siguiente(int estado, unsigned char c) const;
    // Calls f(inicio, nombre) for every name occurring wholly inside [desde, hasta) of t.
    template <typename F>
    void Busca(const std::string& t, size_t desde, size_t hasta, F f) const;

    const std::vector<std::string>& nombres_;
    const std::vector<std::string>& definiciones_;
    size_t total_;
    size_t masLargo_ = 0;
    std::vector<Estado> estados_;
};

// One-off replacement with a list (prepares it first).
ResultadoSustitucion SustituyeNombres(const std::vector<std::string>& nombres,
                                      const std::vector<std::string>& definiciones, const std::string& texto,
                                      int pasadasMaximas, size_t longitudMaxima);
