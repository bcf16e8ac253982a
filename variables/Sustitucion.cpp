#include "variables/Sustitucion.h"

#include <algorithm>
#include <array>
#include <cstdint>
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

// The set of characters of a text, to rule out names that cannot occur in it.
struct Caracteres {
    std::array<uint64_t, 4> b{};
    void Anyade(std::string_view t)
    {
        for (unsigned char c : t)
            b[c >> 6] |= uint64_t{1} << (c & 63);
    }
    // Every character of this set is in the other one.
    bool Dentro(const Caracteres& o) const
    {
        return !(b[0] & ~o.b[0]) && !(b[1] & ~o.b[1]) && !(b[2] & ~o.b[2]) && !(b[3] & ~o.b[3]);
    }
};

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
    std::vector<Caracteres> letras(total);
    size_t masLargo = 0;
    for (size_t i = 0; i < total; ++i) {
        if (nombres[i].empty())
            continue;
        primera[i] = t.find(nombres[i]);
        letras[i].Anyade(nombres[i]);
        masLargo = std::max(masLargo, nombres[i].size());
    }

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
            // Characters around the change: a name with others cannot have appeared there.
            Caracteres cerca;
            {
                const size_t desde = p + 1 >= masLargo ? p + 1 - masLargo : 0;
                const size_t hasta = std::min(t.size(), finNuevo + masLargo - 1);
                cerca.Anyade(std::string_view(t).substr(desde, hasta - desde));
            }
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
                const bool posible = letras[j].Dentro(cerca);
                if (f == npos) {
                    // Only an occurrence touching the new text can be new.
                    if (posible)
                        f = BuscaEn(t, n, inicioVentana, finVentana);
                } else if (f >= p + largo) {
                    // The old first one moved; a new one can only be near the change.
                    const size_t movida = f + def.size() - largo;
                    const size_t nueva = posible ? BuscaEn(t, n, inicioVentana, finVentana) : npos;
                    f = nueva != npos && nueva < movida ? nueva : movida;
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
