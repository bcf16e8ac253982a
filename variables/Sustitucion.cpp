#include "variables/Sustitucion.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr size_t npos = std::string::npos;

// First occurrence of nombre starting inside [desde, hasta) and ending by hasta.
size_t BuscaEn(const std::string& t, const std::string& nombre, size_t desde, size_t hasta)
{
    hasta = std::min(hasta, t.size());
    if (desde >= hasta || hasta - desde < nombre.size())
        return npos;
    const size_t q = std::string_view(t).substr(desde, hasta - desde).find(nombre);
    return q == npos ? npos : desde + q;
}

} // namespace

// Every name's first occurrence is kept up to date as the text changes, so a
// replacement only looks at the few characters around it instead of
// searching the whole text for every name on every pass. The result is the
// same as searching afresh each time.
ResultadoSustitucion SustituyeNombres(const std::vector<std::string>& nombres,
                                      const std::vector<std::string>& definiciones, const std::string& texto,
                                      int pasadasMaximas, size_t longitudMaxima)
{
    ResultadoSustitucion r;
    std::string& t = r.texto;
    t = texto;
    const size_t total = std::min(nombres.size(), definiciones.size());
    std::vector<size_t> primera(total, npos);
    for (size_t i = 0; i < total; ++i)
        if (!nombres[i].empty())
            primera[i] = t.find(nombres[i]);

    std::string anterior;
    for (int pasada = 1;; ++pasada) {
        anterior = t;
        r.ultimos.clear();
        for (size_t i = 0; i < total; ++i) {
            if (primera[i] == npos)
                continue;
            const size_t p = primera[i];
            const size_t largo = nombres[i].size();
            const std::string& def = definiciones[i];
            t.replace(p, largo, def);
            r.ultimos.push_back(i);
            const size_t finNuevo = p + def.size();
            for (size_t j = 0; j < total; ++j) {
                const std::string& n = nombres[j];
                if (n.empty())
                    continue;
                const size_t lj = n.size();
                const size_t inicioVentana = p + 1 >= lj ? p + 1 - lj : 0;
                const size_t finVentana = finNuevo + lj - 1;
                size_t& f = primera[j];
                if (f != npos && f + lj <= p)
                    continue; // before the change: still the first
                if (f == npos) {
                    // Only an occurrence touching the new text can be new.
                    f = BuscaEn(t, n, inicioVentana, finVentana);
                } else if (f >= p + largo) {
                    // The old first one moved; a new one can only be near the change.
                    const size_t movida = f + def.size() - largo;
                    const size_t cerca = BuscaEn(t, n, inicioVentana, finVentana);
                    f = cerca != npos && cerca < movida ? cerca : movida;
                } else {
                    // The old first one was cut by the change: look again from there.
                    f = t.find(n, inicioVentana);
                }
            }
        }
        if (r.ultimos.empty())
            return r;
        if (t == anterior || pasada >= pasadasMaximas || t.size() > longitudMaxima) {
            r.ciclica = true;
            return r;
        }
    }
}
