#pragma once
// A strict little JSON reader for tests of the tool's --json output: what it
// accepts is JSON as RFC 8259 has it (no trailing commas, no bare words, one
// document with nothing after it). A fault throws std::runtime_error saying where.
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace json {

struct Valor {
    enum class Tipo { Nulo, Logico, Numero, Texto, Lista, Objeto } tipo = Tipo::Nulo;
    bool logico = false;
    double numero = 0;
    std::string texto; // a string's value, or a number's text as written
    std::vector<Valor> lista;
    std::map<std::string, Valor> objeto;

    const Valor& operator[](const std::string& clave) const
    {
        const auto i = objeto.find(clave);
        if (tipo != Tipo::Objeto || i == objeto.end())
            throw std::runtime_error("JSON: no key " + clave);
        return i->second;
    }
    const Valor& operator[](size_t i) const
    {
        if (tipo != Tipo::Lista || i >= lista.size())
            throw std::runtime_error("JSON: no element " + std::to_string(i));
        return lista[i];
    }
    bool Tiene(const std::string& clave) const { return tipo == Tipo::Objeto && objeto.count(clave); }
};

class Lector {
public:
    explicit Lector(std::string_view t) : t_(t) {}

    Valor Documento()
    {
        Valor v = Lee();
        Blancos();
        if (i_ != t_.size())
            Falla("text after the document");
        return v;
    }

private:
    [[noreturn]] void Falla(const std::string& que) const
    {
        throw std::runtime_error("JSON: " + que + " at " + std::to_string(i_));
    }
    void Blancos()
    {
        while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t' || t_[i_] == '\n' || t_[i_] == '\r'))
            ++i_;
    }
    bool Toma(char c)
    {
        Blancos();
        if (i_ < t_.size() && t_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    void Exige(char c)
    {
        if (!Toma(c))
            Falla(std::string("expected ") + c);
    }
    bool Palabra(std::string_view p)
    {
        if (t_.substr(i_, p.size()) != p)
            return false;
        i_ += p.size();
        return true;
    }

    Valor Lee()
    {
        Blancos();
        if (i_ >= t_.size())
            Falla("unexpected end");
        Valor v;
        const char c = t_[i_];
        if (c == '{') {
            ++i_;
            v.tipo = Valor::Tipo::Objeto;
            if (Toma('}'))
                return v;
            do {
                Blancos();
                if (i_ >= t_.size() || t_[i_] != '"')
                    Falla("expected a key");
                const std::string clave = Cadena();
                Exige(':');
                if (!v.objeto.emplace(clave, Lee()).second)
                    Falla("repeated key " + clave);
            } while (Toma(','));
            Exige('}');
        } else if (c == '[') {
            ++i_;
            v.tipo = Valor::Tipo::Lista;
            if (Toma(']'))
                return v;
            do
                v.lista.push_back(Lee());
            while (Toma(','));
            Exige(']');
        } else if (c == '"') {
            v.tipo = Valor::Tipo::Texto;
            v.texto = Cadena();
        } else if (Palabra("true") || Palabra("false")) {
            v.tipo = Valor::Tipo::Logico;
            v.logico = t_[i_ - 1] == 'e' && t_[i_ - 2] == 'u';
        } else if (Palabra("null")) {
            v.tipo = Valor::Tipo::Nulo;
        } else {
            v.tipo = Valor::Tipo::Numero;
            Numero(v);
        }
        return v;
    }

    void Numero(Valor& v)
    {
        const size_t inicio = i_;
        auto digitos = [&] {
            const size_t d = i_;
            while (i_ < t_.size() && t_[i_] >= '0' && t_[i_] <= '9')
                ++i_;
            if (i_ == d)
                Falla("expected a digit");
        };
        if (i_ < t_.size() && t_[i_] == '-')
            ++i_;
        if (i_ < t_.size() && t_[i_] == '0')
            ++i_;
        else
            digitos();
        if (i_ < t_.size() && t_[i_] == '.') {
            ++i_;
            digitos();
        }
        if (i_ < t_.size() && (t_[i_] == 'e' || t_[i_] == 'E')) {
            ++i_;
            if (i_ < t_.size() && (t_[i_] == '+' || t_[i_] == '-'))
                ++i_;
            digitos();
        }
        v.texto = std::string(t_.substr(inicio, i_ - inicio));
        v.numero = std::strtod(v.texto.c_str(), nullptr);
        if (!std::isfinite(v.numero))
            Falla("number out of range");
    }

    static void Utf8(std::string& r, unsigned cp)
    {
        if (cp < 0x80) {
            r += static_cast<char>(cp);
        } else if (cp < 0x800) {
            r += static_cast<char>(0xC0 | (cp >> 6));
            r += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            r += static_cast<char>(0xE0 | (cp >> 12));
            r += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            r += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            r += static_cast<char>(0xF0 | (cp >> 18));
            r += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            r += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            r += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    unsigned Hex4()
    {
        if (i_ + 4 > t_.size())
            Falla("short \\u escape");
        unsigned cp = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = t_[i_++];
            cp <<= 4;
            if (h >= '0' && h <= '9')
                cp |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f')
                cp |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                cp |= static_cast<unsigned>(h - 'A' + 10);
            else
                Falla("bad \\u escape");
        }
        return cp;
    }

    std::string Cadena()
    {
        ++i_; // the opening quote
        std::string r;
        while (true) {
            if (i_ >= t_.size())
                Falla("unterminated string");
            const unsigned char c = static_cast<unsigned char>(t_[i_++]);
            if (c == '"')
                return r;
            if (c < 0x20)
                Falla("control character in a string");
            if (c != '\\') {
                r += static_cast<char>(c);
                continue;
            }
            if (i_ >= t_.size())
                Falla("unterminated escape");
            switch (t_[i_++]) {
            case '"': r += '"'; break;
            case '\\': r += '\\'; break;
            case '/': r += '/'; break;
            case 'b': r += '\b'; break;
            case 'f': r += '\f'; break;
            case 'n': r += '\n'; break;
            case 'r': r += '\r'; break;
            case 't': r += '\t'; break;
            case 'u': {
                unsigned cp = Hex4();
                if (cp >= 0xD800 && cp < 0xDC00 && Palabra("\\u")) {
                    const unsigned bajo = Hex4();
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (bajo - 0xDC00);
                }
                Utf8(r, cp);
                break;
            }
            default: Falla("bad escape");
            }
        }
    }

    std::string_view t_;
    size_t i_ = 0;
};

inline Valor Lee(std::string_view texto)
{
    return Lector(texto).Documento();
}

} // namespace json
