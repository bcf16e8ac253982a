#pragma once
// The textual replacement of names behind SustituyeVariables, with its bounds
// as parameters so it can be checked against a plain pass-by-pass replacement.
#include <cstddef>
#include <string>
#include <vector>

struct ResultadoSustitucion {
    std::string texto;
    // The text never settles: it still grows after the bound, or replacing
    // its names gives the same text back.
    bool ciclica = false;
    // Names replaced in the last pass (the suspects when ciclica).
    std::vector<size_t> ultimos;
};

// Pass after pass, the first occurrence of every name (in list order) is
// replaced by its definition, until a pass changes nothing. Empty names never
// occur. Stops as cyclic after pasadasMaximas passes or when the text grows
// beyond longitudMaxima characters.
ResultadoSustitucion SustituyeNombres(const std::vector<std::string>& nombres,
                                      const std::vector<std::string>& definiciones, const std::string& texto,
                                      int pasadasMaximas, size_t longitudMaxima);
