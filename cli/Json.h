#pragma once
// A small streaming JSON writer for the tool's --json output: one document per
// command, numbers that read back to the same double, texts in UTF-8.
//
//   EscritorJson j(out);
//   j.AbreObjeto();
//   j.Campo("fichero", ruta);
//   j.Clave("nodos");
//   j.AbreLista();
//   for (...) { j.AbreObjeto(); j.Campo("valor", v); j.Cierra(); }
//   j.Cierra();
//   j.Cierra(); // the last one ends the document with a line end
//
// Commas and nesting are the writer's: a caller only opens, names and closes.
// A misuse (a value where a key is due, closing what is not open) throws
// std::logic_error, since it is a fault of the command, not of the input.
#include <concepts>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

class EscritorJson {
public:
    explicit EscritorJson(std::ostream& out) : out_(out) {}

    void AbreObjeto();
    void AbreLista();
    // Closes the innermost object or list; closing the outermost one ends the
    // document with "\n".
    void Cierra();
    // The key of the next value, inside an object.
    void Clave(std::string_view clave);

    // Finite numbers in their shortest form that reads back exactly (at most
    // 17 significant digits); NaN and the infinities, which JSON cannot hold, as null.
    void Numero(double x);
    void Entero(int64_t n);
    void Texto(std::string_view texto);
    void Logico(bool b);
    void Nulo();

    // Clave then the value.
    void Campo(std::string_view clave, double x) { Clave(clave), Numero(x); }
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    void Campo(std::string_view clave, T n)
    {
        Clave(clave), Entero(static_cast<int64_t>(n));
    }
    void Campo(std::string_view clave, std::string_view t) { Clave(clave), Texto(t); }
    void Campo(std::string_view clave, const char* t) { Clave(clave), Texto(t); }
    void Campo(std::string_view clave, const std::string& t) { Clave(clave), Texto(t); }
    void Campo(std::string_view clave, bool b) { Clave(clave), Logico(b); }

    // The JSON text of a string: quotes, escapes, and U+FFFD for bytes that
    // are not UTF-8.
    static std::string Cadena(std::string_view texto);
    // The JSON text of a number, as Numero writes it.
    static std::string TextoNumero(double x);

private:
    struct Nivel {
        bool objeto;
        bool vacio = true;
        bool claveEscrita = false;
    };
    void AntesDeValor();
    void FinSiSuelto();

    std::ostream& out_;
    std::vector<Nivel> niveles_;
    bool terminado_ = false;
};
