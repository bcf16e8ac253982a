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

// 32-bit integer conversion: leading blanks, a sign, decimal or hexadecimal
// ("$" or "0x"). Raises EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(const std::string& texto);
bool TryStrToInt(const std::string& texto, int32_t& valor);

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
