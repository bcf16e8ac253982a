#pragma once
// The formula language: a text becomes a tree of typed expression nodes that
// compute their value each time one is asked for.
//
// Text given to the engine and returned by it is UTF-8. Inside, strings are
// 8-bit Windows-1252 characters, so LENGTH('ñ') is 1 and only ASCII letters
// change case.
#include "common/Errores.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Every error of the formula engine that is not one of the runtime's own.
class EExpression : public ENemor {
public:
    using ENemor::ENemor;
};

// Value kinds; the order matters (common kind, conversion rule).
enum class TValueKind : uint8_t { Object, String, Float, Integer, Enumerated, Boolean };

enum TOperatorCode : uint8_t {
    opNot, opExp, opMult, opDivide, opDiv, opMod, opAnd, opShl, opShr,
    opPlus, opMinus, opOr, opXor, opEq, opNEq, opLT, opGT, opLTE, opGTE
};

const char* NombreTipo(TValueKind k);      // "Object", "String", ...
const char* NombreOperador(uint8_t op);    // "opNot", "opExp", ...

// Storage types a value can report; objects and enumerations have none.
enum class TTypeDescriptor : uint8_t { String, Double, Integer, Boolean };

// ---------------------------------------------------------------------------
// Host objects. This program never produces one, but a resolver may: an
// object lists its published properties and reads them.

enum class TTipoPropiedad : uint8_t { Entero, Caracter, Booleano, Enumeracion, Real, Cadena, Clase, Otro };

struct TPropInfo {
    std::string Nombre;
    TTipoPropiedad Tipo = TTipoPropiedad::Otro;
    std::vector<std::string> Miembros; // names of an enumeration's members, by ordinal
};

class TObject {
public:
    virtual ~TObject() = default;
    virtual std::string ClassName() const = 0;
    // A published property by name (case-insensitive), or null when it has none.
    virtual const TPropInfo* BuscaPropiedad(const std::string& nombre) const;
    virtual int64_t LeeOrdinal(const TPropInfo& p) const;
    virtual double LeeReal(const TPropInfo& p) const;
    virtual std::string LeeTexto(const TPropInfo& p) const; // Windows-1252
    virtual TObject* LeeObjeto(const TPropInfo& p) const;
};

// ---------------------------------------------------------------------------

class TExpression;

// Reference-counted handle to a node; the tree goes when its last handle goes.
class IValue {
public:
    IValue() = default;
    explicit IValue(TExpression* nodo);
    IValue(const IValue& otro);
    IValue(IValue&& otro) noexcept : nodo_(otro.nodo_) { otro.nodo_ = nullptr; }
    IValue& operator=(IValue otro) noexcept
    {
        std::swap(nodo_, otro.nodo_);
        return *this;
    }
    ~IValue();

    TExpression* operator->() const { return nodo_; }
    TExpression& operator*() const { return *nodo_; }
    TExpression* get() const { return nodo_; }
    explicit operator bool() const { return nodo_ != nullptr; }

private:
    TExpression* nodo_ = nullptr;
};

class TExpression {
public:
    TExpression() = default;
    TExpression(const TExpression&) = delete;
    TExpression& operator=(const TExpression&) = delete;
    virtual ~TExpression() = default;

    virtual bool ArgumentsValid();
    bool CanConvertTo(TValueKind destino);
    virtual TTypeDescriptor TypeDescriptor();
    // The text in UTF-8; the engine itself works with TextoInterno.
    std::string ToText();
    virtual double ToFloat();
    virtual int32_t ToInteger();
    virtual bool ToBoolean();
    virtual TObject* ToObject();
    virtual TValueKind Kind() = 0;
    virtual std::string TypeName();

    virtual const char* ClassName() const = 0;
    // The text in the engine's 8-bit code page.
    virtual std::string TextoInterno();

protected:
    // Infix nodes: a chain such as 1 + 2 + ... + n is a tree as deep as it is
    // long, (((1 + 2) + 3) + ...), so it is evaluated by a loop down its left
    // operands rather than by one call per operand (see Formula.cpp).
    enum class Infijo : uint8_t { No, Binario, Relacional };
    explicit TExpression(Infijo i) : infijo_(i) {}

private:
    friend class IValue;
    friend class CadenaInfija;
    // Frees a node whose last handle went. Nodes it releases in turn wait in
    // a list and are freed one after another, so freeing a long chain does
    // not nest one call per operand.
    static void Libera(TExpression* nodo) noexcept;

    int referencias_ = 0;
    Infijo infijo_ = Infijo::No;
    TExpression* siguienteLibre_ = nullptr; // the list of nodes waiting to be freed
};

inline IValue::IValue(TExpression* nodo) : nodo_(nodo)
{
    if (nodo_)
        ++nodo_->referencias_;
}
inline IValue::IValue(const IValue& otro) : nodo_(otro.nodo_)
{
    if (nodo_)
        ++nodo_->referencias_;
}
inline IValue::~IValue()
{
    if (nodo_ && --nodo_->referencias_ == 0)
        TExpression::Libera(nodo_);
}

class TStringLiteral : public TExpression {
public:
    explicit TStringLiteral(std::string texto) : valor_(std::move(texto)) {}
    std::string TextoInterno() override { return valor_; }
    TValueKind Kind() override { return TValueKind::String; }
    const char* ClassName() const override { return "TStringLiteral"; }

private:
    std::string valor_;
};

class TFloatLiteral : public TExpression {
public:
    explicit TFloatLiteral(double v) : valor_(v) {}
    double ToFloat() override { return valor_; }
    TValueKind Kind() override { return TValueKind::Float; }
    const char* ClassName() const override { return "TFloatLiteral"; }

private:
    double valor_;
};

class TIntegerLiteral : public TExpression {
public:
    explicit TIntegerLiteral(int32_t v) : valor_(v) {}
    int32_t ToInteger() override { return valor_; }
    TValueKind Kind() override { return TValueKind::Integer; }
    const char* ClassName() const override { return "TIntegerLiteral"; }

private:
    int32_t valor_;
};

class TBooleanLiteral : public TExpression {
public:
    explicit TBooleanLiteral(bool v) : valor_(v) {}
    bool ToBoolean() override { return valor_; }
    TValueKind Kind() override { return TValueKind::Boolean; }
    const char* ClassName() const override { return "TBooleanLiteral"; }

private:
    bool valor_;
};

class TUnaryOp : public TExpression {
public:
    TUnaryOp(IValue operando, uint8_t operador);
    double ToFloat() override;
    int32_t ToInteger() override;
    bool ToBoolean() override;
    TValueKind Kind() override;
    const char* ClassName() const override { return "TUnaryOp"; }

    IValue Operand;
    uint8_t Operator;
    TValueKind OperandKind;
};

class TBinaryOp final : public TExpression {
public:
    TBinaryOp(IValue izquierdo, IValue derecho, uint8_t operador);
    std::string TextoInterno() override;
    double ToFloat() override;
    int32_t ToInteger() override;
    bool ToBoolean() override;
    TValueKind Kind() override;
    const char* ClassName() const override { return "TBinaryOp"; }

    IValue Left, Right;
    uint8_t Operator;
    TValueKind OperandKind;
};

class TRelationalOp final : public TExpression {
public:
    TRelationalOp(IValue izquierdo, IValue derecho, uint8_t operador);
    // What the defaults give for a Boolean, read straight from the comparison.
    std::string TextoInterno() override;
    double ToFloat() override;
    int32_t ToInteger() override;
    bool ToBoolean() override;
    TValueKind Kind() override { return TValueKind::Boolean; }
    const char* ClassName() const override { return "TRelationalOp"; }

    IValue Left, Right;
    uint8_t Operator;
    TValueKind OperandKind;
};

class TObjectProperty : public TExpression {
public:
    // Raises when the object has no such published property or its type is not supported.
    TObjectProperty(TObject* instancia, const std::string& propiedad);
    TTypeDescriptor TypeDescriptor() override;
    std::string TextoInterno() override;
    double ToFloat() override;
    int32_t ToInteger() override;
    bool ToBoolean() override;
    TObject* ToObject() override;
    TValueKind Kind() override { return PropertyKind; }
    const char* ClassName() const override { return "TObjectProperty"; }

    TObject* Instance;
    const TPropInfo* PropertyInfo;
    TValueKind PropertyKind;
};

// The arguments of a call, in written order.
class TParameterList {
public:
    void Add(IValue v) { elementos_.push_back(std::move(v)); }
    int Count() const { return static_cast<int>(elementos_.size()); }
    const IValue& operator[](int i) const { return elementos_[static_cast<size_t>(i)]; }

private:
    std::vector<IValue> elementos_;
};

class TFunction : public TExpression {
public:
    explicit TFunction(std::unique_ptr<TParameterList> parametros);
    int ParameterCount() const { return Parameters ? Parameters->Count() : 0; }
    const IValue& Parameter(int i) const { return (*Parameters)[i]; }

    std::unique_ptr<TParameterList> Parameters;
};

class TMathExpression : public TFunction {
public:
    enum : uint8_t { fTrunc, fRound, fAbs, fArcTan, fCos, fExp, fFrac, fInt, fLn, fPi, fSin, fSqr, fSqrt, fPower };
    TMathExpression(std::unique_ptr<TParameterList> parametros, uint8_t codigo)
        : TFunction(std::move(parametros)), FunctionCode(codigo) {}
    bool ArgumentsValid() override;
    double ToFloat() override;
    int32_t ToInteger() override;
    TValueKind Kind() override;
    const char* ClassName() const override { return "TMathExpression"; }

    uint8_t FunctionCode;
};

class TStringExpression : public TFunction {
public:
    enum : uint8_t { fUpper, fLower, fCopy, fPos, fLength };
    TStringExpression(std::unique_ptr<TParameterList> parametros, uint8_t codigo)
        : TFunction(std::move(parametros)), FunctionCode(codigo) {}
    bool ArgumentsValid() override;
    std::string TextoInterno() override;
    int32_t ToInteger() override;
    TValueKind Kind() override;
    const char* ClassName() const override { return "TStringExpression"; }

    uint8_t FunctionCode;
};

class TTypeCast : public TFunction {
public:
    TTypeCast(std::unique_ptr<TParameterList> parametros, TValueKind destino);
    std::string TextoInterno() override;
    double ToFloat() override;
    int32_t ToInteger() override;
    bool ToBoolean() override;
    TObject* ToObject() override;
    TValueKind Kind() override { return TargetKind; }
    const char* ClassName() const override { return "TTypeCast"; }

    TValueKind TargetKind;
    TValueKind OperandKind;
};

class TConditional : public TFunction {
public:
    explicit TConditional(std::unique_ptr<TParameterList> parametros);
    bool ArgumentsValid() override;
    std::string TextoInterno() override;
    double ToFloat() override;
    int32_t ToInteger() override;
    bool ToBoolean() override;
    TValueKind Kind() override { return ResultKind; }
    const char* ClassName() const override { return "TConditional"; }

    TValueKind ResultKind;
};

// Resolves a name the engine does not know. nombre is in upper case;
// parametros holds the argument list when the name was followed by "(".
// To resolve, set resultado to a new node, which may take the list.
using TNameResolver = void(void* datos, const std::string& nombre,
                           std::unique_ptr<TParameterList>& parametros, IValue& resultado);

// Deepest nesting of parentheses, prefix operators and function arguments a
// formula may have; deeper ones raise EExpression. Chains of infix operators
// are not nesting: they may be as long as the text.
constexpr int kProfundidadMaxima = 512;

// Parses the whole UTF-8 text and returns the root of its tree.
IValue ParseFormula(const std::string& texto, TNameResolver* resolver = nullptr, void* datos = nullptr);

// The text of a real as formulas show it: 15 significant digits, the user's separator.
std::string FloatText(double x);
