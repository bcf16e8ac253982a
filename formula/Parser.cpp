#include "formula/Formula.h"

#include "common/Cp1252.h"
#include "common/Decimal.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace {

[[noreturn]] void Falla(const std::string& mensaje) { throw EExpression(mensaje); }

[[noreturn]] void FallaProfundidad()
{
    Falla("Fórmula demasiado anidada: más de " + std::to_string(kProfundidadMaxima) + " niveles");
}

bool EsLetra(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

struct Funcion {
    const char* nombre;
    enum Clase : uint8_t { Si, Conversion, Matematica, Cadena } clase;
    uint8_t codigo;
};

// Looked up in this order; the first match wins.
const Funcion kFunciones[] = {
    {"IF", Funcion::Si, 0},
    {"OBJECT", Funcion::Conversion, 0},  {"STRING", Funcion::Conversion, 1},  {"FLOAT", Funcion::Conversion, 2},
    {"INTEGER", Funcion::Conversion, 3}, {"ENUMERATED", Funcion::Conversion, 4}, {"BOOLEAN", Funcion::Conversion, 5},
    {"TRUNC", Funcion::Matematica, 0},   {"ROUND", Funcion::Matematica, 1},   {"ABS", Funcion::Matematica, 2},
    {"ARCTAN", Funcion::Matematica, 3},  {"COS", Funcion::Matematica, 4},     {"EXP", Funcion::Matematica, 5},
    {"FRAC", Funcion::Matematica, 6},    {"INT", Funcion::Matematica, 7},     {"LN", Funcion::Matematica, 8},
    {"PI", Funcion::Matematica, 9},      {"SIN", Funcion::Matematica, 10},    {"SQR", Funcion::Matematica, 11},
    {"SQRT", Funcion::Matematica, 12},   {"POWER", Funcion::Matematica, 13},
    {"UPPER", Funcion::Cadena, 0},       {"LOWER", Funcion::Cadena, 1},       {"COPY", Funcion::Cadena, 2},
    {"POS", Funcion::Cadena, 3},         {"LENGTH", Funcion::Cadena, 4},
};

struct Palabra {
    const char* texto;
    uint8_t op;
};
const Palabra kPalabras[] = {{"NOT", opNot}, {"DIV", opDiv}, {"MOD", opMod}, {"AND", opAnd},
                             {"SHL", opShl}, {"SHR", opShr}, {"OR", opOr},   {"XOR", opXor}};

constexpr int kSinOperador = -1;

class Analizador {
public:
    Analizador(std::string_view texto, TNameResolver* resolver, void* datos)
        : t_(texto), resolver_(resolver), datos_(datos), separador_(SeparadorDecimal())
    {
    }

    IValue Formula()
    {
        IValue v = Comparacion();
        Blancos();
        if (p_ < t_.size())
            Falla("El carácter " + Cp1252AUtf8(std::string(1, t_[p_])) + " es erróneo");
        return v;
    }

private:
    std::string_view t_;
    size_t p_ = 0;
    TNameResolver* resolver_;
    void* datos_;
    char separador_;
    int anidamiento_ = 0;

    // Nesting of factors inside factors: prefixes, parentheses, arguments.
    // This is all the parser and the tree nest by: the operands of a chain
    // are read by a loop, and the tree reads and frees chains by loops too.
    struct Anida {
        explicit Anida(int& n) : n_(n)
        {
            if (++n_ > kProfundidadMaxima)
                FallaProfundidad();
        }
        ~Anida() { --n_; }
        int& n_;
    };

    char Actual() const { return p_ < t_.size() ? t_[p_] : '\0'; }
    char Siguiente() const { return p_ + 1 < t_.size() ? t_[p_ + 1] : '\0'; }

    void Blancos()
    {
        while (p_ < t_.size() && static_cast<unsigned char>(t_[p_]) >= 1 && static_cast<unsigned char>(t_[p_]) <= 32)
            ++p_;
    }

    bool FinDeFactor() const
    {
        const char c = Actual();
        return p_ >= t_.size() || c == ')' || c == ';';
    }

    // The identifier at desde in upper case; at most maximo characters are read.
    std::string IdentificadorEn(size_t desde, size_t maximo = std::string::npos) const
    {
        std::string s;
        size_t i = desde;
        if (i < t_.size() && EsLetra(t_[i])) {
            for (; i < t_.size() && s.size() < maximo && (EsLetra(t_[i]) || EsDigito(t_[i])); ++i) {
                char c = t_[i];
                if (c >= 'a' && c <= 'z')
                    c = static_cast<char>(c - 'a' + 'A');
                s += c;
            }
        }
        return s;
    }

    // The operator token at the current position, without consuming it.
    int VeOperador(size_t& largo) const
    {
        largo = 1;
        switch (Actual()) {
        case '^': return opExp;
        case '*': return opMult;
        case '/': return opDivide;
        case '+': return opPlus;
        case '-': return opMinus;
        case '=': return opEq;
        case '<':
            if (Siguiente() == '=') {
                largo = 2;
                return opLTE;
            }
            if (Siguiente() == '>') {
                largo = 2;
                return opNEq;
            }
            return opLT;
        case '>':
            if (Siguiente() == '=') {
                largo = 2;
                return opGTE;
            }
            return opGT;
        default: break;
        }
        if (!EsLetra(Actual()))
            return kSinOperador;
        // Operator words are only whole identifiers: ORDEN is a name, not OR.
        const std::string id = IdentificadorEn(p_, 4);
        if (id.size() > 3)
            return kSinOperador;
        for (const Palabra& w : kPalabras)
            if (id == w.texto) {
                largo = id.size();
                return w.op;
            }
        return kSinOperador;
    }

    template <typename Operando>
    IValue Nivel(Operando operando, std::initializer_list<uint8_t> ops, bool relacional)
    {
        IValue izq = (this->*operando)();
        for (;;) {
            Blancos();
            if (FinDeFactor())
                break;
            size_t largo;
            const int op = VeOperador(largo);
            bool mio = false;
            for (uint8_t o : ops)
                mio = mio || op == o;
            if (!mio)
                break;
            p_ += largo;
            IValue der = (this->*operando)();
            const auto codigo = static_cast<uint8_t>(op);
            if (relacional)
                izq = IValue(new TRelationalOp(std::move(izq), std::move(der), codigo));
            else
                izq = IValue(new TBinaryOp(std::move(izq), std::move(der), codigo));
        }
        return izq;
    }

    IValue Comparacion()
    {
        return Nivel(&Analizador::Suma, {opEq, opNEq, opLT, opGT, opLTE, opGTE}, true);
    }
    IValue Suma() { return Nivel(&Analizador::Termino, {opPlus, opMinus, opOr, opXor}, false); }
    IValue Termino()
    {
        return Nivel(&Analizador::Potencia, {opMult, opDivide, opDiv, opMod, opAnd, opShl, opShr}, false);
    }
    IValue Potencia() { return Nivel(&Analizador::Postfijo, {opExp}, false); }

    IValue Postfijo()
    {
        IValue v = Factor();
        Blancos();
        while (Actual() == '.' && v->Kind() == TValueKind::Object) {
            ++p_;
            Blancos();
            TObject* objeto = v->ToObject();
            if (!EsLetra(Actual()))
                Falla("Propiedad no válida para el objeto " + (objeto ? objeto->ClassName() : std::string("nil")));
            std::string nombre;
            while (p_ < t_.size() && (EsLetra(t_[p_]) || EsDigito(t_[p_])))
                nombre += t_[p_++];
            v = IValue(new TObjectProperty(objeto, nombre));
            Blancos();
        }
        return v;
    }

    IValue Factor()
    {
        Anida nivel(anidamiento_);
        Blancos();
        if (FinDeFactor())
            Falla("Inesperada terminación del factor");
        size_t largo;
        const int op = VeOperador(largo);
        if (op != kSinOperador) {
            if (op != opNot && op != opPlus && op != opMinus)
                Falla(std::string(NombreOperador(static_cast<uint8_t>(op))) + " no está permitido aquí");
            p_ += largo;
            IValue operando = Factor();
            return IValue(new TUnaryOp(std::move(operando), static_cast<uint8_t>(op)));
        }
        const char c = Actual();
        if (c == '\'')
            return Cadena();
        if (c == '$')
            return Hexadecimal();
        if (EsDigito(c))
            return Numero();
        if (c == '(') {
            ++p_;
            IValue v = Comparacion();
            if (!v)
                Falla("sub-expresión no válida");
            Blancos();
            if (Actual() != ')')
                Falla(" ) falta cerrar un paréntesis");
            ++p_;
            return v;
        }
        if (EsLetra(c))
            return Identificador();
        Falla("Error de sintaxis");
    }

    IValue Cadena()
    {
        ++p_;
        std::string s;
        for (;;) {
            if (p_ >= t_.size())
                Falla("Cadena sin finalizar");
            char c = t_[p_];
            if (c == '\'') {
                if (Siguiente() != '\'') {
                    ++p_;
                    break;
                }
                ++p_;
            }
            if (s.size() >= 256)
                Falla("Cadena demasiado larga");
            s += c;
            ++p_;
        }
        return IValue(new TStringLiteral(std::move(s)));
    }

    IValue Hexadecimal()
    {
        ++p_;
        std::string digitos;
        while (ValorHex(Actual()) >= 0) {
            digitos += t_[p_++];
            if (digitos.size() >= 256)
                Falla("Cadena hexadecimal demasiado larga");
        }
        size_t i = 0;
        while (i < digitos.size() && digitos[i] == '0')
            ++i;
        if (digitos.empty() || digitos.size() - i > 8)
            Falla("Letra inválida en número hexadecimal");
        uint32_t v = 0;
        for (; i < digitos.size(); ++i)
            v = v * 16 + static_cast<uint32_t>(ValorHex(digitos[i]));
        return IValue(new TIntegerLiteral(static_cast<int32_t>(v)));
    }

    IValue Numero()
    {
        std::string run;      // as written
        std::string limpio;   // with "." and "e", for the conversion
        bool separador = false, exponente = false, expNegativo = false;
        auto toma = [&](char normalizado) {
            if (run.size() >= 28)
                Falla("Formato numérico erróneo");
            run += t_[p_++];
            limpio += normalizado;
        };
        for (;;) {
            const char c = Actual();
            if (EsDigito(c)) {
                toma(c);
            } else if (c == separador_ && p_ < t_.size()) {
                if (separador || exponente)
                    Falla("Formato numérico erróneo");
                separador = true;
                toma('.');
            } else if (c == 'e' || c == 'E') {
                if (exponente)
                    Falla("Formato numérico erróneo");
                exponente = true;
                toma('e');
                if (Actual() == '-') {
                    expNegativo = true;
                    toma('-');
                }
                if (!EsDigito(Actual()))
                    Falla("Formato numérico erróneo");
            } else {
                break;
            }
        }
        if (!separador && !exponente) {
            uint64_t v = 0;
            for (char d : run) {
                v = v * 10 + static_cast<uint64_t>(d - '0');
                if (v > 2147483647u)
                    throw EConvertError("'" + run + "' is not a valid integer value");
            }
            return IValue(new TIntegerLiteral(static_cast<int32_t>(v)));
        }
        // "2," and "2,E3" have an empty fraction.
        const auto punto = limpio.find('.');
        if (punto != std::string::npos && (punto + 1 == limpio.size() || !EsDigito(limpio[punto + 1])))
            limpio.insert(punto + 1, "0");
        const char* fin = limpio.data() + limpio.size();
        double d = 0;
        auto r = std::from_chars(limpio.data(), fin, d);
        if (r.ec == std::errc::result_out_of_range) {
            // Beyond the range of a double the literal cannot be stored; below
            // it, it is 0 or a denormal, which the extended reading tells apart.
            if (!expNegativo)
                throw EOverflow();
            long double v = 0;
            r = std::from_chars(limpio.data(), fin, v);
            d = r.ec == std::errc() ? static_cast<double>(v) : 0.0;
        } else if (r.ec != std::errc() || r.ptr != fin) {
            Falla("Formato numérico erróneo");
        }
        if (std::isinf(d))
            throw EOverflow();
        return IValue(new TFloatLiteral(d));
    }

    IValue Identificador()
    {
        const std::string nombre = IdentificadorEn(p_);
        p_ += nombre.size();
        if (nombre == "TRUE")
            return IValue(new TBooleanLiteral(true));
        if (nombre == "FALSE")
            return IValue(new TBooleanLiteral(false));
        Blancos();
        std::unique_ptr<TParameterList> lista;
        if (Actual() == '(') {
            lista = std::make_unique<TParameterList>();
            do {
                ++p_;
                lista->Add(Comparacion());
                Blancos();
            } while (Actual() == ';');
            if (Actual() != ')')
                Falla("Parámetros de función incorrectos");
            ++p_;
        }
        IValue v;
        for (const Funcion& f : kFunciones) {
            if (nombre != f.nombre)
                continue;
            switch (f.clase) {
            case Funcion::Si: v = IValue(new TConditional(std::move(lista))); break;
            case Funcion::Conversion:
                v = IValue(new TTypeCast(std::move(lista), static_cast<TValueKind>(f.codigo)));
                break;
            case Funcion::Matematica: v = IValue(new TMathExpression(std::move(lista), f.codigo)); break;
            case Funcion::Cadena: v = IValue(new TStringExpression(std::move(lista), f.codigo)); break;
            }
            break;
        }
        if (!v && resolver_)
            resolver_(datos_, nombre, lista, v);
        if (!v)
            Falla("Variable " + nombre + " desconocida");
        if (!v->ArgumentsValid())
            Falla("Parámetros no válidos para " + nombre);
        return v;
    }
};

bool EsAsciiSinNulo(const std::string& s)
{
    for (unsigned char c : s)
        if (c >= 0x80 || c == 0)
            return false;
    return true;
}

} // namespace

IValue ParseFormula(const std::string& texto, TNameResolver* resolver, void* datos)
{
    if (EsAsciiSinNulo(texto))
        return Analizador(texto, resolver, datos).Formula();
    std::string t = Utf8ACp1252(texto);
    // A zero byte ends the text.
    const auto cero = t.find('\0');
    if (cero != std::string::npos)
        t.resize(cero);
    return Analizador(t, resolver, datos).Formula();
}
