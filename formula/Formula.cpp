#include "formula/Formula.h"

#include "common/Cp1252.h"
#include "common/Decimal.h"
#include "drawing/FormatoEtiqueta.h"

#include <cfloat>
#include <charconv>
#include <cmath>

namespace {

const char* const kNombresTipo[] = {"Object", "String", "Float", "Integer", "Enumerated", "Boolean"};
const char* const kNombresOperador[] = {"opNot",   "opExp", "opMult", "opDivide", "opDiv", "opMod", "opAnd",
                                        "opShl",   "opShr", "opPlus", "opMinus",  "opOr",  "opXor", "opEq",
                                        "opNEq",   "opLT",  "opGT",   "opLTE",    "opGTE"};

[[noreturn]] void Falla(const std::string& mensaje) { throw EExpression(mensaje); }

[[noreturn]] void ErrorInterno(int codigo) { Falla("Error interno. Codigo " + std::to_string(codigo)); }

std::string Nombre(TValueKind k) { return NombreTipo(k); }

// ---------------------------------------------------------------------------
// Floating point. Each step runs between a clear and a check of the flags; the
// barriers keep the compiler from moving the arithmetic out of that window,
// since it does not know the operations touch the flags.

template <typename T>
inline void Barrera(T& x)
{
    asm volatile("" : "+m"(x) : : "memory");
}

inline void Abre() { LimpiaExcepcionesFPU(); }

// Rounds an extended result to a double and raises what the step flagged.
double Cierra(long double r)
{
    Barrera(r);
    double d = static_cast<double>(r);
    Barrera(d);
    CompruebaExcepcionesFPU();
    return d;
}

double Opera(long double a, long double b, uint8_t op)
{
    Abre();
    Barrera(a);
    Barrera(b);
    long double r;
    switch (op) {
    case opMult: r = a * b; break;
    case opDivide: r = a / b; break;
    case opPlus: r = a + b; break;
    case opMinus: r = a - b; break;
    default: ErrorInterno(11);
    }
    return Cierra(r);
}

// e^(y ln x). The logarithm is checked on its own so that a zero base reports
// the division by zero of the logarithm rather than what follows from it.
double Potencia(long double x, long double y)
{
    Abre();
    Barrera(x);
    long double l = std::log(x);
    Barrera(l);
    CompruebaExcepcionesFPU();
    Barrera(y);
    long double r = std::exp(y * l);
    return Cierra(r);
}

constexpr long double k2a63 = 9223372036854775808.0L;

// Integers of TRUNC and ROUND: a 64-bit value whose low 32 bits are the result.
int32_t Bajos32(long double entero)
{
    if (!(std::fabs(entero) < k2a63))
        throw EInvalidOp();
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(entero))));
}

int32_t Envuelve(uint32_t v) { return static_cast<int32_t>(v); }

std::string Mayusculas(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string Minusculas(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Result kind of an operator on operands of one kind; false when the pair is not allowed.
bool TipoResultado(uint8_t op, TValueKind k, TValueKind& r)
{
    const bool relacional = op >= opEq && op <= opGTE;
    switch (k) {
    case TValueKind::Object:
        r = TValueKind::Boolean;
        return op == opEq || op == opNEq;
    case TValueKind::String:
        if (op == opPlus) {
            r = TValueKind::String;
            return true;
        }
        r = TValueKind::Boolean;
        return relacional;
    case TValueKind::Float:
        if (op == opExp || op == opMult || op == opDivide || op == opPlus || op == opMinus) {
            r = TValueKind::Float;
            return true;
        }
        r = TValueKind::Boolean;
        return relacional;
    case TValueKind::Integer:
        switch (op) {
        case opNot: case opMult: case opDiv: case opMod: case opAnd: case opShl: case opShr:
        case opPlus: case opMinus: case opOr: case opXor:
            r = TValueKind::Integer;
            return true;
        case opExp: case opDivide:
            r = TValueKind::Float;
            return true;
        default:
            r = TValueKind::Boolean;
            return relacional;
        }
    case TValueKind::Enumerated:
        return false;
    case TValueKind::Boolean:
        r = TValueKind::Boolean;
        return op == opNot || op == opAnd || op == opOr || op == opXor || op == opEq || op == opNEq;
    }
    return false;
}

TValueKind KindDeOperador(uint8_t op, TValueKind operando)
{
    TValueKind r;
    if (!TipoResultado(op, operando, r))
        Falla(std::string("El operador ") + NombreOperador(op) + " es incompatible con " + Nombre(operando));
    return r;
}

TValueKind TipoComun(TValueKind izquierdo, TValueKind derecho)
{
    const bool oi = izquierdo == TValueKind::Object, od = derecho == TValueKind::Object;
    if (!oi && !od)
        return izquierdo < derecho ? izquierdo : derecho;
    if (oi && od)
        return TValueKind::Object;
    Falla("El tipo " + Nombre(izquierdo) + " es incompatible con el tipo " + Nombre(derecho));
}

// A real written in the form that does not depend on the locale: leading
// blanks, a sign, digits with an optional "." part, an optional exponent.
bool TextoAReal(const std::string& t, double& valor)
{
    std::string limpio;
    if (!FormaReal(t, '.', limpio, false))
        return false;
    const bool expNegativo = limpio.find("e-") != std::string::npos;
    long double v = 0;
    const auto r = std::from_chars(limpio.data(), limpio.data() + limpio.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small is zero; too large cannot be held.
        if (!expNegativo)
            throw EOverflow();
        valor = 0.0;
        return true;
    }
    if (r.ec != std::errc() || r.ptr != limpio.data() + limpio.size())
        return false;
    Abre();
    valor = Cierra(v);
    return true;
}

} // namespace

const char* NombreTipo(TValueKind k)
{
    const auto i = static_cast<size_t>(k);
    return i < 6 ? kNombresTipo[i] : "?";
}

const char* NombreOperador(uint8_t op) { return op < 19 ? kNombresOperador[op] : "?"; }

std::string FloatText(double x) { return FormatoEtiqueta(x, 15, 0); }

// ---------------------------------------------------------------------------
// Host objects: by default an object publishes nothing.

const TPropInfo* TObject::BuscaPropiedad(const std::string&) const { return nullptr; }
int64_t TObject::LeeOrdinal(const TPropInfo&) const { return 0; }
double TObject::LeeReal(const TPropInfo&) const { return 0.0; }
std::string TObject::LeeTexto(const TPropInfo&) const { return {}; }
TObject* TObject::LeeObjeto(const TPropInfo&) const { return nullptr; }

// ---------------------------------------------------------------------------
// Freeing

void TExpression::Libera(TExpression* nodo) noexcept
{
    // Freeing a node releases its operands, which may free them in turn: a
    // chain of many thousand terms would nest as many calls. Nodes released
    // while one is being freed wait in the list, and this loop frees them.
    thread_local TExpression* pendientes = nullptr;
    thread_local bool liberando = false;
    nodo->siguienteLibre_ = pendientes;
    pendientes = nodo;
    if (liberando)
        return;
    liberando = true;
    while (pendientes) {
        TExpression* n = pendientes;
        pendientes = n->siguienteLibre_;
        delete n;
    }
    liberando = false;
}

// ---------------------------------------------------------------------------
// Defaults

bool TExpression::ArgumentsValid() { return true; }

bool TExpression::CanConvertTo(TValueKind destino)
{
    const TValueKind k = Kind();
    if (k == destino)
        return true;
    return k != TValueKind::Object && destino != TValueKind::Object && k >= destino;
}

TTypeDescriptor TExpression::TypeDescriptor()
{
    switch (Kind()) {
    case TValueKind::String: return TTypeDescriptor::String;
    case TValueKind::Float: return TTypeDescriptor::Double;
    case TValueKind::Integer: return TTypeDescriptor::Integer;
    case TValueKind::Boolean: return TTypeDescriptor::Boolean;
    default: Falla(std::string("No puede proporcionarse información sobre el tipo de ") + ClassName());
    }
}

std::string TExpression::TypeName()
{
    switch (TypeDescriptor()) {
    case TTypeDescriptor::String: return "String";
    case TTypeDescriptor::Double: return "Double";
    case TTypeDescriptor::Integer: return "Integer";
    case TTypeDescriptor::Boolean: return "Boolean";
    }
    return {};
}

std::string TExpression::ToText() { return Cp1252AUtf8(TextoInterno()); }

std::string TExpression::TextoInterno()
{
    const TValueKind k = Kind();
    switch (k) {
    case TValueKind::Object: {
        TObject* o = ToObject();
        return o ? o->ClassName() : std::string();
    }
    case TValueKind::Float: return FloatText(ToFloat());
    case TValueKind::Integer:
    case TValueKind::Enumerated: return std::to_string(ToInteger());
    case TValueKind::Boolean: return ToBoolean() ? "TRUE" : "FALSE";
    default: Falla(Nombre(k) + " no es una cadena de texto");
    }
}

double TExpression::ToFloat()
{
    const TValueKind k = Kind();
    if (k == TValueKind::Integer || k == TValueKind::Enumerated || k == TValueKind::Boolean)
        return ToInteger();
    Falla(Nombre(k) + " no es un número real");
}

int32_t TExpression::ToInteger()
{
    const TValueKind k = Kind();
    if (k == TValueKind::Boolean)
        return ToBoolean() ? 1 : 0;
    Falla(Nombre(k) + " no es un número entero");
}

bool TExpression::ToBoolean() { Falla(Nombre(Kind()) + " no es una expresión boleana"); }

TObject* TExpression::ToObject() { Falla(Nombre(Kind()) + " no es un objeto"); }

// ---------------------------------------------------------------------------
// Prefix operators

TUnaryOp::TUnaryOp(IValue operando, uint8_t operador) : Operand(std::move(operando)), Operator(operador)
{
    if (operador != opNot && operador != opPlus && operador != opMinus)
        Falla(std::string(NombreOperador(operador)) + " no es un operador simple");
    OperandKind = Operand->Kind();
}

TValueKind TUnaryOp::Kind() { return KindDeOperador(Operator, OperandKind); }

double TUnaryOp::ToFloat()
{
    switch (Operator) {
    case opPlus: return Operand->ToFloat();
    case opMinus: return -Operand->ToFloat();
    default: return TExpression::ToFloat();
    }
}

int32_t TUnaryOp::ToInteger()
{
    switch (Operator) {
    case opPlus: return Operand->ToInteger();
    case opMinus: return Envuelve(0u - static_cast<uint32_t>(Operand->ToInteger()));
    default:
        if (OperandKind == TValueKind::Integer)
            return ~Operand->ToInteger();
        if (OperandKind == TValueKind::Boolean)
            return ToBoolean() ? 1 : 0;
        ErrorInterno(6);
    }
}

bool TUnaryOp::ToBoolean()
{
    if (Operator == opNot)
        return !Operand->ToBoolean();
    return TExpression::ToBoolean();
}

// ---------------------------------------------------------------------------
// Infix operators
//
// A chain a + b + c + ... is built left-deep, so its tree is as deep as the
// chain is long. Reading it by recursion would take one call per operand, and
// a formula of many thousand terms would run out of stack. So an infix node
// walks down its left operands in a loop, noting what each node waits for,
// reads the leftmost operand, and then finishes the nodes on the way back up.
// Right operands are read by an ordinary call: a right operand is of a
// tighter level than its node (a sum's is a term, a term's a power), so right
// operands nest at most four deep for each parenthesis, prefix or function
// argument, and the parser bounds those.
//
// The steps, the order in which operands are read and the errors are exactly
// those of reading each node on its own: a node asked for one conversion may
// compute another (an Integer sum asked for a real computes the integer) and
// turn it into the one asked for.

// Lets the evaluation below tell infix nodes from the rest.
class CadenaInfija {
public:
    static bool EsInfijo(const TExpression& n) { return n.infijo_ != TExpression::Infijo::No; }
    static bool EsRelacional(const TExpression& n) { return n.infijo_ == TExpression::Infijo::Relacional; }
};

namespace {

// What a node is asked for: ToFloat, ToInteger, ToBoolean, TextoInterno.
enum class Conversion : uint8_t { Real, Entero, Boleano, Texto };

// A value of one conversion; only that conversion's field counts.
struct Valor {
    double real = 0;
    int32_t entero = 0;
    bool boleano = false;
    std::string texto;
};

// An infix node waiting for the value of its left operand.
struct Paso {
    TExpression* nodo;
    Conversion pedida; // what its reader asked for
    Conversion base;   // what it computes from its operands, then turned into pedida
};

// A stack that stays on the machine stack while it is short, as nearly all are.
template <typename T, size_t N>
class PilaCorta {
public:
    void Mete(const T& x)
    {
        if (n_ < N)
            fijos_[n_] = x;
        else
            resto_.push_back(x);
        ++n_;
    }
    T Saca()
    {
        --n_;
        if (n_ < N)
            return fijos_[n_];
        T x = resto_.back();
        resto_.pop_back();
        return x;
    }
    bool Vacia() const { return n_ == 0; }

private:
    T fijos_[N];
    size_t n_ = 0;
    std::vector<T> resto_;
};

template <typename T>
bool Compara(const T& a, const T& b, uint8_t op)
{
    switch (op) {
    case opEq: return a == b;
    case opNEq: return a != b;
    case opLT: return a < b;
    case opGT: return a > b;
    case opLTE: return a <= b;
    default: return a >= b;
    }
}

int32_t OperaEnteros(int32_t l, int32_t r, uint8_t op)
{
    const uint32_t ul = static_cast<uint32_t>(l), ur = static_cast<uint32_t>(r);
    switch (op) {
    case opMult: return Envuelve(ul * ur);
    case opDiv:
        if (r == 0)
            throw EDivByZero();
        // The one quotient that does not fit wraps like the rest.
        if (r == -1)
            return Envuelve(0u - ul);
        return l / r;
    case opMod:
        if (r == 0)
            throw EDivByZero();
        if (r == -1)
            return 0;
        return l % r;
    case opAnd: return Envuelve(ul & ur);
    case opOr: return Envuelve(ul | ur);
    case opXor: return Envuelve(ul ^ ur);
    case opShl: return Envuelve(ul << (ur & 31));
    case opShr: return Envuelve(ul >> (ur & 31));
    case opPlus: return Envuelve(ul + ur);
    case opMinus: return Envuelve(ul - ur);
    default: ErrorInterno(12);
    }
}

// Right operands are read while the loop below waits, so they nest one loop
// inside another (at most a few per level of parentheses). What needs texts
// is kept out of line, and out of the loop's frame.
#define FUERA_DE_LINEA [[gnu::noinline, gnu::cold]]

FUERA_DE_LINEA void TextoDe(Valor& v, Conversion de)
{
    switch (de) {
    case Conversion::Boleano: v.texto = v.boleano ? "TRUE" : "FALSE"; break;
    case Conversion::Entero: v.texto = std::to_string(v.entero); break;
    case Conversion::Real: v.texto = FloatText(v.real); break;
    case Conversion::Texto: break;
    }
}

// A Boolean reads as 1 or 0, "TRUE" or "FALSE"; an integer as a real or its
// decimal text; a real as its text. No other change is ever asked for.
inline void Convierte(Valor& v, Conversion de, Conversion a)
{
    if (de == a)
        return;
    if (a == Conversion::Texto)
        TextoDe(v, de);
    else if (de == Conversion::Entero)
        v.real = v.entero;
    else if (a == Conversion::Real)
        v.real = v.boleano ? 1.0 : 0.0;
    else
        v.entero = v.boleano ? 1 : 0;
}

// The conversion a node of this kind computes, when it can be turned into pedida.
bool ConversionDeTipo(TValueKind k, Conversion pedida, Conversion& base)
{
    switch (k) {
    case TValueKind::Boolean: base = Conversion::Boleano; return true;
    case TValueKind::Integer: base = Conversion::Entero; return pedida != Conversion::Boleano;
    case TValueKind::Float: base = Conversion::Real; return pedida == Conversion::Real || pedida == Conversion::Texto;
    case TValueKind::String: base = Conversion::Texto; return pedida == Conversion::Texto;
    default: return false;
    }
}

FUERA_DE_LINEA void LeeTexto(TExpression& n, std::string& destino) { destino = n.TextoInterno(); }

inline void LeeOperando(TExpression& n, Conversion c, Valor& v)
{
    switch (c) {
    case Conversion::Real: v.real = n.ToFloat(); break;
    case Conversion::Entero: v.entero = n.ToInteger(); break;
    case Conversion::Boleano: v.boleano = n.ToBoolean(); break;
    case Conversion::Texto: LeeTexto(n, v.texto); break;
    }
}

TExpression& Izquierdo(TExpression& n)
{
    if (CadenaInfija::EsRelacional(n))
        return *static_cast<TRelationalOp&>(n).Left;
    return *static_cast<TBinaryOp&>(n).Left;
}

FUERA_DE_LINEA [[noreturn]] void FallaOrdenBoleano(uint8_t op)
{
    Falla(std::string("no puede aplicarse ") + NombreOperador(op) + " a operadores boleanos");
}

FUERA_DE_LINEA void LeeDerechaAntes(TBinaryOp& n, std::vector<std::string>& derechas)
{
    derechas.push_back(n.Right->TextoInterno());
}

FUERA_DE_LINEA bool ComparaTextos(TRelationalOp& n, const std::string& izquierdo)
{
    // Byte-wise, as unsigned characters.
    const std::string r = n.Right->TextoInterno();
    return Compara(izquierdo.compare(r), 0, n.Operator);
}

// What the node of p needs before its left operand is read: sets p.base and
// the conversion to read the left operand in. False when the node's value
// needs no operand at all; v then holds it, in p.base.
inline bool Prepara(Paso& p, Conversion& izquierda, Valor& v, std::vector<std::string>& derechas)
{
    if (CadenaInfija::EsRelacional(*p.nodo)) {
        auto& n = static_cast<TRelationalOp&>(*p.nodo);
        // Its kind is Boolean: every other conversion is read from ToBoolean.
        p.base = Conversion::Boleano;
        switch (n.OperandKind) {
        case TValueKind::String: izquierda = Conversion::Texto; return true;
        case TValueKind::Float: izquierda = Conversion::Real; return true;
        case TValueKind::Integer: izquierda = Conversion::Entero; return true;
        case TValueKind::Boolean:
            if (n.Operator != opEq && n.Operator != opNEq)
                FallaOrdenBoleano(n.Operator);
            izquierda = Conversion::Boleano;
            return true;
        default: v.boleano = false; return false;
        }
    }
    auto& n = static_cast<TBinaryOp&>(*p.nodo);
    // ToBoolean goes by the operator alone; the others ask the kind first.
    if (p.pedida == Conversion::Boleano) {
        p.base = Conversion::Boleano;
    } else if (!ConversionDeTipo(n.Kind(), p.pedida, p.base)) {
        // Kinds whose value cannot be read that way read as nothing.
        p.base = p.pedida;
        v.real = 0;
        v.entero = 0;
        v.texto.clear();
        return false;
    }
    switch (p.base) {
    case Conversion::Boleano:
        if (n.Operator != opAnd && n.Operator != opOr && n.Operator != opXor)
            ErrorInterno(13);
        break;
    case Conversion::Texto:
        if (n.Operator != opPlus)
            ErrorInterno(10);
        // A concatenation reads its right operand first.
        LeeDerechaAntes(n, derechas);
        break;
    default: break;
    }
    izquierda = p.base;
    return true;
}

// Finishes the node of p, whose left operand's value is in v, leaving its own value in p.base.
inline void Termina(const Paso& p, Valor& v, std::vector<std::string>& derechas)
{
    if (CadenaInfija::EsRelacional(*p.nodo)) {
        auto& n = static_cast<TRelationalOp&>(*p.nodo);
        switch (n.OperandKind) {
        case TValueKind::String: v.boleano = ComparaTextos(n, v.texto); break;
        case TValueKind::Float: {
            const double r = n.Right->ToFloat();
            v.boleano = Compara(v.real, r, n.Operator);
            break;
        }
        case TValueKind::Integer: {
            const int32_t r = n.Right->ToInteger();
            v.boleano = Compara(v.entero, r, n.Operator);
            break;
        }
        default: {
            const bool r = n.Right->ToBoolean();
            v.boleano = Compara(v.boleano, r, n.Operator);
            break;
        }
        }
        return;
    }
    auto& n = static_cast<TBinaryOp&>(*p.nodo);
    switch (p.base) {
    case Conversion::Real: {
        const double l = v.real;
        const double r = n.Right->ToFloat();
        v.real = n.Operator == opExp ? Potencia(l, r) : Opera(l, r, n.Operator);
        break;
    }
    case Conversion::Entero: {
        const int32_t r = n.Right->ToInteger();
        v.entero = OperaEnteros(v.entero, r, n.Operator);
        break;
    }
    case Conversion::Boleano:
        switch (n.Operator) {
        case opAnd: v.boleano = v.boleano && n.Right->ToBoolean(); break;
        case opOr: v.boleano = v.boleano || n.Right->ToBoolean(); break;
        default: {
            const bool r = n.Right->ToBoolean();
            v.boleano = v.boleano != r;
            break;
        }
        }
        break;
    case Conversion::Texto:
        v.texto += derechas.back();
        derechas.pop_back();
        break;
    }
}

Valor Evalua(TExpression* nodo, Conversion pedida)
{
    PilaCorta<Paso, 4> pasos;
    std::vector<std::string> derechas; // right operands of concatenations, read before their left ones
    Valor v;
    for (;;) {
        Paso p{nodo, pedida, pedida};
        Conversion izquierda;
        if (!Prepara(p, izquierda, v, derechas)) {
            Convierte(v, p.base, p.pedida);
            break;
        }
        pasos.Mete(p);
        TExpression& izq = Izquierdo(*nodo);
        if (!CadenaInfija::EsInfijo(izq)) {
            LeeOperando(izq, izquierda, v);
            break;
        }
        nodo = &izq;
        pedida = izquierda;
    }
    while (!pasos.Vacia()) {
        const Paso p = pasos.Saca();
        Termina(p, v, derechas);
        Convierte(v, p.base, p.pedida);
    }
    return v;
}

#undef FUERA_DE_LINEA

} // namespace

TBinaryOp::TBinaryOp(IValue izquierdo, IValue derecho, uint8_t operador)
    : TExpression(Infijo::Binario), Left(std::move(izquierdo)), Right(std::move(derecho)), Operator(operador)
{
    if (operador < opExp || operador > opXor)
        Falla(std::string(NombreOperador(operador)) + " no es un operador binario simple");
    const TValueKind kd = Right->Kind();
    const TValueKind ki = Left->Kind();
    OperandKind = TipoComun(ki, kd);
}

TValueKind TBinaryOp::Kind() { return KindDeOperador(Operator, OperandKind); }

double TBinaryOp::ToFloat() { return Evalua(this, Conversion::Real).real; }

int32_t TBinaryOp::ToInteger() { return Evalua(this, Conversion::Entero).entero; }

bool TBinaryOp::ToBoolean() { return Evalua(this, Conversion::Boleano).boleano; }

std::string TBinaryOp::TextoInterno() { return std::move(Evalua(this, Conversion::Texto).texto); }

// ---------------------------------------------------------------------------
// Comparisons

TRelationalOp::TRelationalOp(IValue izquierdo, IValue derecho, uint8_t operador)
    : TExpression(Infijo::Relacional), Left(std::move(izquierdo)), Right(std::move(derecho)), Operator(operador)
{
    if (operador < opEq || operador > opGTE)
        Falla(std::string(NombreOperador(operador)) + " no es un operador relacional");
    const TValueKind kd = Right->Kind();
    const TValueKind ki = Left->Kind();
    OperandKind = TipoComun(ki, kd);
}

std::string TRelationalOp::TextoInterno() { return std::move(Evalua(this, Conversion::Texto).texto); }

double TRelationalOp::ToFloat() { return Evalua(this, Conversion::Real).real; }

int32_t TRelationalOp::ToInteger() { return Evalua(this, Conversion::Entero).entero; }

bool TRelationalOp::ToBoolean() { return Evalua(this, Conversion::Boleano).boleano; }

// ---------------------------------------------------------------------------
// Object properties

TObjectProperty::TObjectProperty(TObject* instancia, const std::string& propiedad)
    : Instance(instancia), PropertyInfo(nullptr), PropertyKind(TValueKind::Object)
{
    PropertyInfo = Instance ? Instance->BuscaPropiedad(propiedad) : nullptr;
    if (!PropertyInfo)
        Falla(Cp1252AUtf8(propiedad) + " no es una propiedad publica de " +
              (Instance ? Instance->ClassName() : std::string("nil")));
    switch (PropertyInfo->Tipo) {
    case TTipoPropiedad::Entero:
    case TTipoPropiedad::Caracter: PropertyKind = TValueKind::Integer; break;
    case TTipoPropiedad::Booleano: PropertyKind = TValueKind::Boolean; break;
    case TTipoPropiedad::Enumeracion: PropertyKind = TValueKind::Enumerated; break;
    case TTipoPropiedad::Real: PropertyKind = TValueKind::Float; break;
    case TTipoPropiedad::Cadena: PropertyKind = TValueKind::String; break;
    case TTipoPropiedad::Clase: PropertyKind = TValueKind::Object; break;
    default: Falla("El tipo de la propiedad " + Cp1252AUtf8(propiedad) + " no está soportado");
    }
}

TTypeDescriptor TObjectProperty::TypeDescriptor()
{
    switch (PropertyKind) {
    case TValueKind::Object:
    case TValueKind::Enumerated:
        Falla(std::string("No puede proporcionarse información sobre el tipo de ") + ClassName());
    default: return TExpression::TypeDescriptor();
    }
}

std::string TObjectProperty::TextoInterno()
{
    if (PropertyKind == TValueKind::String)
        return Instance->LeeTexto(*PropertyInfo);
    if (PropertyKind == TValueKind::Enumerated) {
        const int64_t o = Instance->LeeOrdinal(*PropertyInfo);
        if (o >= 0 && o < static_cast<int64_t>(PropertyInfo->Miembros.size()))
            return PropertyInfo->Miembros[static_cast<size_t>(o)];
        return std::to_string(o);
    }
    return TExpression::TextoInterno();
}

double TObjectProperty::ToFloat()
{
    if (PropertyKind == TValueKind::Float)
        return Instance->LeeReal(*PropertyInfo);
    return TExpression::ToFloat();
}

int32_t TObjectProperty::ToInteger()
{
    if (PropertyKind == TValueKind::Integer || PropertyKind == TValueKind::Enumerated)
        return Envuelve(static_cast<uint32_t>(Instance->LeeOrdinal(*PropertyInfo)));
    return TExpression::ToInteger();
}

bool TObjectProperty::ToBoolean()
{
    if (PropertyKind == TValueKind::Boolean)
        return Instance->LeeOrdinal(*PropertyInfo) != 0;
    return TExpression::ToBoolean();
}

TObject* TObjectProperty::ToObject()
{
    if (PropertyKind == TValueKind::Object)
        return Instance->LeeObjeto(*PropertyInfo);
    return TExpression::ToObject();
}

// ---------------------------------------------------------------------------
// Functions

TFunction::TFunction(std::unique_ptr<TParameterList> parametros) : Parameters(std::move(parametros)) {}

TValueKind TMathExpression::Kind()
{
    return FunctionCode == fTrunc || FunctionCode == fRound ? TValueKind::Integer : TValueKind::Float;
}

bool TMathExpression::ArgumentsValid()
{
    switch (FunctionCode) {
    case fPi: return true;
    case fPower:
        return ParameterCount() == 2 && Parameter(0)->CanConvertTo(TValueKind::Float) &&
               Parameter(1)->CanConvertTo(TValueKind::Float);
    default: return ParameterCount() == 1 && Parameter(0)->CanConvertTo(TValueKind::Float);
    }
}

double TMathExpression::ToFloat()
{
    switch (FunctionCode) {
    case fTrunc:
    case fRound: return TExpression::ToFloat();
    case fPi: return 3.141592653589793;
    default: break;
    }
    const long double x = Parameter(0)->ToFloat();
    switch (FunctionCode) {
    case fAbs: return std::fabs(static_cast<double>(x));
    case fArcTan: Abre(); return Cierra(std::atan(x));
    case fCos:
        if (std::fabs(x) >= k2a63)
            return 0.0;
        Abre();
        return Cierra(std::cos(x));
    case fSin:
        if (std::fabs(x) >= k2a63)
            return 0.0;
        Abre();
        return Cierra(std::sin(x));
    case fExp: {
        Abre();
        long double a = x;
        Barrera(a);
        return Cierra(std::exp(a));
    }
    case fFrac: return static_cast<double>(x - std::trunc(x));
    case fInt: return static_cast<double>(std::trunc(x));
    case fLn: {
        Abre();
        long double a = x;
        Barrera(a);
        return Cierra(std::log(a));
    }
    case fSqr: return Opera(x, x, opMult);
    case fSqrt: {
        Abre();
        long double a = x;
        Barrera(a);
        return Cierra(std::sqrt(a));
    }
    case fPower: {
        const long double y = Parameter(1)->ToFloat();
        return Potencia(x, y);
    }
    default: return TExpression::ToFloat();
    }
}

int32_t TMathExpression::ToInteger()
{
    switch (FunctionCode) {
    case fTrunc: return Bajos32(std::trunc(static_cast<long double>(Parameter(0)->ToFloat())));
    case fRound: {
        const long double x = Parameter(0)->ToFloat();
        if (!(std::fabs(x) < k2a63))
            throw EInvalidOp();
        return Bajos32(std::nearbyint(x));
    }
    case fAbs: {
        const int32_t v = Parameter(0)->ToInteger();
        return v < 0 ? Envuelve(0u - static_cast<uint32_t>(v)) : v;
    }
    default: return TExpression::ToInteger();
    }
}

TValueKind TStringExpression::Kind()
{
    return FunctionCode == fPos || FunctionCode == fLength ? TValueKind::Integer : TValueKind::String;
}

bool TStringExpression::ArgumentsValid()
{
    switch (FunctionCode) {
    case fCopy:
        return ParameterCount() == 3 && Parameter(0)->CanConvertTo(TValueKind::String) &&
               Parameter(1)->Kind() == TValueKind::Integer && Parameter(2)->Kind() == TValueKind::Integer;
    case fPos:
        return ParameterCount() == 2 && Parameter(0)->CanConvertTo(TValueKind::String) &&
               Parameter(1)->CanConvertTo(TValueKind::String);
    default: return ParameterCount() == 1 && Parameter(0)->CanConvertTo(TValueKind::String);
    }
}

std::string TStringExpression::TextoInterno()
{
    switch (FunctionCode) {
    case fUpper: return Mayusculas(Parameter(0)->TextoInterno());
    case fLower: return Minusculas(Parameter(0)->TextoInterno());
    case fCopy: {
        const std::string s = Parameter(0)->TextoInterno();
        int64_t i = Parameter(1)->ToInteger();
        const int64_t n = Parameter(2)->ToInteger();
        if (i < 1)
            i = 1;
        const int64_t largo = static_cast<int64_t>(s.size());
        if (s.empty() || n < 1 || i > largo)
            return {};
        return s.substr(static_cast<size_t>(i - 1), static_cast<size_t>(std::min(n, largo - i + 1)));
    }
    default: return TExpression::TextoInterno();
    }
}

int32_t TStringExpression::ToInteger()
{
    switch (FunctionCode) {
    case fPos: {
        const std::string t = Parameter(0)->TextoInterno();
        const std::string s = Parameter(1)->TextoInterno();
        if (t.empty() || s.empty())
            return 0;
        const auto p = s.find(t);
        return p == std::string::npos ? 0 : static_cast<int32_t>(p + 1);
    }
    case fLength: return static_cast<int32_t>(Parameter(0)->TextoInterno().size());
    default: return TExpression::ToInteger();
    }
}

TTypeCast::TTypeCast(std::unique_ptr<TParameterList> parametros, TValueKind destino)
    : TFunction(std::move(parametros)), TargetKind(destino), OperandKind(TValueKind::Object)
{
    if (destino == TValueKind::Enumerated)
        Falla("No se puede lanzar a enumeración");
    if (ParameterCount() != 1)
        Falla("Parametros inválidos para typecast");
    OperandKind = Parameter(0)->Kind();
    if ((destino == TValueKind::Object && OperandKind != TValueKind::Object) ||
        (OperandKind == TValueKind::Object && destino != TValueKind::Object && destino != TValueKind::String))
        Falla("El tipo " + Nombre(destino) + " es incompatible con el tipo " + Nombre(OperandKind));
}

std::string TTypeCast::TextoInterno()
{
    if (TargetKind == TValueKind::String)
        return Parameter(0)->TextoInterno();
    return TExpression::TextoInterno();
}

double TTypeCast::ToFloat()
{
    if (TargetKind != TValueKind::Float)
        return TExpression::ToFloat();
    if (OperandKind == TValueKind::String) {
        const std::string t = Parameter(0)->TextoInterno();
        double v;
        if (!TextoAReal(t, v))
            Falla("No puede convertirse " + Cp1252AUtf8(t) + " a un valor real");
        return v;
    }
    return Parameter(0)->ToFloat();
}

int32_t TTypeCast::ToInteger()
{
    if (TargetKind != TValueKind::Integer)
        return TExpression::ToInteger();
    switch (OperandKind) {
    case TValueKind::String: {
        const std::string t = Parameter(0)->TextoInterno();
        int32_t v;
        if (!LeeEntero(t, v, true))
            Falla("No puede convertirse " + Cp1252AUtf8(t) + " a un valor entero");
        return v;
    }
    case TValueKind::Float: return Bajos32(std::trunc(static_cast<long double>(Parameter(0)->ToFloat())));
    default: return Parameter(0)->ToInteger();
    }
}

bool TTypeCast::ToBoolean()
{
    if (TargetKind != TValueKind::Boolean)
        return TExpression::ToBoolean();
    switch (OperandKind) {
    case TValueKind::String: {
        const std::string t = Mayusculas(Parameter(0)->TextoInterno());
        if (t == "TRUE")
            return true;
        if (t == "FALSE")
            return false;
        Falla("No puede convertirse " + Cp1252AUtf8(t) + " a un valor boleano");
    }
    case TValueKind::Float: return std::fabs(Parameter(0)->ToFloat()) > 1E-30;
    case TValueKind::Integer: return Parameter(0)->ToInteger() != 0;
    default: return Parameter(0)->ToBoolean();
    }
}

TObject* TTypeCast::ToObject()
{
    if (TargetKind == TValueKind::Object)
        return Parameter(0)->ToObject();
    return TExpression::ToObject();
}

TConditional::TConditional(std::unique_ptr<TParameterList> parametros)
    : TFunction(std::move(parametros)), ResultKind(TValueKind::Object)
{
    if (ParameterCount() != 3)
        Falla("IF debe tener 3 parámetros");
    ResultKind = Parameter(1)->Kind();
}

bool TConditional::ArgumentsValid()
{
    if (ParameterCount() != 3)
        Falla("IF debe tener 3 parámetros");
    if (Parameter(0)->Kind() != TValueKind::Boolean)
        Falla("El primer parámetro de IF debe ser boleano");
    if (Parameter(1)->Kind() != Parameter(2)->Kind())
        Falla("Las opciones de IF deben ser del mismo tipo");
    return true;
}

std::string TConditional::TextoInterno()
{
    return Parameter(Parameter(0)->ToBoolean() ? 1 : 2)->TextoInterno();
}

double TConditional::ToFloat() { return Parameter(Parameter(0)->ToBoolean() ? 1 : 2)->ToFloat(); }

int32_t TConditional::ToInteger() { return Parameter(Parameter(0)->ToBoolean() ? 1 : 2)->ToInteger(); }

bool TConditional::ToBoolean() { return Parameter(Parameter(0)->ToBoolean() ? 1 : 2)->ToBoolean(); }
