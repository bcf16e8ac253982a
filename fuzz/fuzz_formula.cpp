// Any text: parse it under either separator and ask the root for every
// conversion. Errors are expected; crashes, hangs and leaks are not.
#include "common/Decimal.h"
#include "formula/Formula.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo)
{
    if (largo == 0)
        return 0;
    // The first byte picks the separator, the rest is the formula: "," or any
    // odd byte is a comma, anything else a point (so seeds can say which).
    SeparadorTemporal s(datos[0] == ',' || datos[0] & 1 ? ',' : '.');
    const std::string texto(reinterpret_cast<const char*>(datos) + 1, largo - 1);
    IValue v;
    try {
        v = ParseFormula(texto);
    } catch (const ENemor&) {
        return 0;
    }
    try { (void)v->ToText(); } catch (const ENemor&) {}
    try { (void)v->ToFloat(); } catch (const ENemor&) {}
    try { (void)v->ToInteger(); } catch (const ENemor&) {}
    try { (void)v->ToBoolean(); } catch (const ENemor&) {}
    try { (void)v->ToObject(); } catch (const ENemor&) {}
    try { (void)v->TypeName(); } catch (const ENemor&) {}
    for (int k = 0; k < 6; ++k)
        try { (void)v->CanConvertTo(static_cast<TValueKind>(k)); } catch (const ENemor&) {}
    try { (void)v->ArgumentsValid(); } catch (const ENemor&) {}
    return 0;
}
