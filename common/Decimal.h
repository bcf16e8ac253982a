#pragma once
// Numbers as people type and read them: one process-wide decimal separator,
// the repair of typed numbers and the runtime's text-to-number conversions.
#include <cstdint>
#include <string>

// The user's decimal separator ("." or ","), read each time a number is read or written.
char SeparadorDecimal();
void FijaSeparadorDecimal(char separador);
// The separator of the user's locale (LC_ALL, LC_NUMERIC, LANG), "." when unknown.
char SeparadorDecimalDelEntorno();

// Returns the text unchanged when it already converts under the current
// separator; otherwise swaps its first "," for "." or, lacking a comma, its first "." for ",".
std::string NormalizarDecimal(const std::string& texto);

// Real conversion under the current separator: blanks around the number are
// allowed, nothing else. Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(const std::string& texto);
bool TryStrToFloat(const std::string& texto, double& valor);
// Same, keeping the full precision of long double.
bool TryStrToFloatExtendido(const std::string& texto, long double& valor);
// The shape every real is read in: blanks before it (and after it, with
// blancosDetras), a sign, digits with an optional part after the separator
// sep, an optional exponent. limpio gets it as std::from_chars reads it.
bool FormaReal(const std::string& texto, char sep, std::string& limpio, bool blancosDetras);

// 32-bit integer conversion: leading blanks, a sign, decimal or hexadecimal
// ("$" or "0x"; up to 32 bits, read as the signed integer they hold:
// "$FFFFFFFF" is -1). Raises EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(const std::string& texto);
bool TryStrToInt(const std::string& texto, int32_t& valor);
// The same reading; conX also takes "x" or "X" alone before hexadecimal
// digits, as the formulas' INTEGER does.
bool LeeEntero(const std::string& texto, int32_t& valor, bool conX);

// The characters numbers are made of.
inline bool EsDigito(char c) { return c >= '0' && c <= '9'; }
// The value of a hexadecimal digit (either case); -1 for any other character.
inline int ValorHex(char c)
{
    if (EsDigito(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Temporarily sets the separator; restores the previous one when it goes out of scope.
class SeparadorTemporal {
public:
    explicit SeparadorTemporal(char separador) : anterior_(SeparadorDecimal()) { FijaSeparadorDecimal(separador); }
    ~SeparadorTemporal() { FijaSeparadorDecimal(anterior_); }
    SeparadorTemporal(const SeparadorTemporal&) = delete;
    SeparadorTemporal& operator=(const SeparadorTemporal&) = delete;

private:
    char anterior_;
};
