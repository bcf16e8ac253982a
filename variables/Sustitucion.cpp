#include "variables/Sustitucion.h"

#include <algorithm>
#include <deque>

namespace {

constexpr size_t npos = std::string::npos;

} // namespace

// All names go into one automaton, so the few characters around a change are
// read once to learn which names appeared there, instead of searching for
// every name after every replacement.
Sustituidor::Sustituidor(const std::vector<std::string>& nombres, const std::vector<std::string>& definiciones)
    : nombres_(nombres), definiciones_(definiciones), total_(std::min(nombres.size(), definiciones.size()))
{
    estados_.emplace_back();
    for (size_t j = 0; j < total_; ++j) {
        const std::string& n = nombres[j];
        if (n.empty())
            continue;
        masLargo_ = std::max(masLargo_, n.size());
        int e = 0;
        for (unsigned char c : n) {
            int s = -1;
            for (const auto& [letra, destino] : estados_[e].hijos)
                if (letra == c) {
                    s = destino;
                    break;
                }
            if (s < 0) {
                s = static_cast<int>(estados_.size());
                estados_[e].hijos.emplace_back(c, s);
                estados_.emplace_back();
            }
            e = s;
        }
        estados_[e].nombres.push_back(j);
    }
    // Failure links breadth first: each state falls back to its longest proper suffix in the automaton.
    std::deque<int> cola;
    for (const auto& h : estados_[0].hijos)
        cola.push_back(h.second);
    while (!cola.empty()) {
        const int e = cola.front();
        cola.pop_front();
        for (const auto& [c, s] : estados_[e].hijos) {
            int f = estados_[e].fallo;
            int destino = -1;
            while (true) {
                for (const auto& [letra, d] : estados_[f].hijos)
                    if (letra == c && d != s) {
                        destino = d;
                        break;
                    }
                if (destino >= 0 || f == 0)
                    break;
                f = estados_[f].fallo;
            }
            estados_[s].fallo = destino >= 0 ? destino : 0;
            const Estado& fs = estados_[estados_[s].fallo];
            estados_[s].salida = !fs.nombres.empty() ? estados_[s].fallo : fs.salida;
            cola.push_back(s);
        }
    }
}

int Sustituidor::Siguiente(int e, unsigned char c) const
{
    while (true) {
        for (const auto& [letra, d] : estados_[e].hijos)
            if (letra == c)
                return d;
        if (e == 0)
            return 0;
        e = estados_[e].fallo;
    }
}

template <typename F>
void Sustituidor::Busca(const std::string& t, size_t desde, size_t hasta, F f) const
{
    hasta = std::min(hasta, t.size());
    int e = 0;
    for (size_t k = desde; k < hasta; ++k) {
        e = Siguiente(e, static_cast<unsigned char>(t[k]));
        for (int o = estados_[e].nombres.empty() ? estados_[e].salida : e; o != 0; o = estados_[o].salida)
            for (size_t j : estados_[o].nombres)
                f(k + 1 - nombres_[j].size(), j);
    }
}

ResultadoSustitucion Sustituidor::Sustituye(const std::string& texto, int pasadasMaximas, size_t longitudMaxima) const
{
    ResultadoSustitucion r;
    std::string& t = r.texto;
    t = texto;
    // First occurrence of every name, kept up to date as the text changes.
    std::vector<size_t> primera(total_, npos);
    std::vector<size_t> presentes; // names with an occurrence
    Busca(t, 0, t.size(), [&](size_t inicio, size_t j) {
        if (primera[j] == npos) {
            primera[j] = inicio;
            presentes.push_back(j);
        }
    });
    // Occurrences around the last change, by name; sello tells which are current.
    std::vector<size_t> nueva(total_, npos);
    std::vector<unsigned> sello(total_, 0);
    std::vector<size_t> aparecidas;
    unsigned cambio = 0;

    std::string anterior;
    for (int pasada = 1;; ++pasada) {
        anterior = t;
        r.ultimos.clear();
        for (size_t i = 0; i < total_; ++i) {
            if (primera[i] == npos)
                continue;
            const size_t p = primera[i];
            const size_t largo = nombres_[i].size();
            const std::string& def = definiciones_[i];
            t.replace(p, largo, def);
            r.ultimos.push_back(i);
            const size_t finNuevo = p + def.size();

            // Occurrences that touch the new text (or span the cut when it is empty).
            ++cambio;
            aparecidas.clear();
            const size_t desde = p + 1 >= masLargo_ ? p + 1 - masLargo_ : 0;
            Busca(t, desde, finNuevo + masLargo_ - 1, [&](size_t inicio, size_t j) {
                if (inicio + nombres_[j].size() <= p || inicio >= std::max(finNuevo, p + 1) ||
                    (finNuevo == p && inicio >= p))
                    return;
                if (sello[j] != cambio) {
                    sello[j] = cambio;
                    nueva[j] = inicio;
                    aparecidas.push_back(j);
                } else if (inicio < nueva[j]) {
                    nueva[j] = inicio;
                }
            });

            size_t quedan = 0;
            for (size_t j : presentes) {
                const size_t lj = nombres_[j].size();
                size_t& f = primera[j];
                if (f + lj > p) {
                    const size_t cerca = sello[j] == cambio ? nueva[j] : npos;
                    if (f >= p + largo) {
                        // The old first one moved; a new one can only be near the change.
                        const size_t movida = f + def.size() - largo;
                        f = std::min(cerca, movida);
                    } else {
                        // The old first one was cut by the change: look again from there.
                        f = t.find(nombres_[j], p + 1 >= lj ? p + 1 - lj : 0);
                    }
                }
                if (f != npos)
                    presentes[quedan++] = j;
            }
            presentes.resize(quedan);
            for (size_t j : aparecidas)
                if (primera[j] == npos) {
                    primera[j] = nueva[j];
                    presentes.push_back(j);
                }
        }
        if (r.ultimos.empty())
            return r;
        if (t == anterior)
            r.tope = ResultadoSustitucion::Tope::MismoTexto;
        else if (t.size() > longitudMaxima)
            r.tope = ResultadoSustitucion::Tope::Longitud;
        else if (pasada >= pasadasMaximas)
            r.tope = ResultadoSustitucion::Tope::Pasadas;
        if (r.tope != ResultadoSustitucion::Tope::Ninguno) {
            r.ciclica = true;
            return r;
        }
    }
}

ResultadoSustitucion SustituyeNombres(const std::vector<std::string>& nombres,
                                      const std::vector<std::string>& definiciones, const std::string& texto,
                                      int pasadasMaximas, size_t longitudMaxima)
{
    return Sustituidor(nombres, definiciones).Sustituye(texto, pasadasMaximas, longitudMaxima);
}
