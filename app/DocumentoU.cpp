#include "app/DocumentoU.h"

#include <exception>

Cambio& Cambio::operator|=(const Cambio& o)
{
    Cambios::operator|=(o);
    Valores |= o.Valores;
    Fichero |= o.Fichero;
    Opciones |= o.Opciones;
    Historial |= o.Historial;
    return *this;
}

Cambio Cambio::DeValores()
{
    Cambio c;
    c.Valores = true;
    return c;
}

Cambio Cambio::DeFichero()
{
    Cambio c;
    c.Fichero = true;
    return c;
}

Cambio Cambio::DeOpciones()
{
    Cambio c;
    c.Opciones = true;
    return c;
}

TDocumento::TDocumento(QObject* parent) : QObject(parent) {}

TDocumento::~TDocumento() = default;

template <class F>
void TDocumento::Orden(F&& orden, Cambio extra)
{
    ++profundidad_;
    anidado_ = {};
    emit Ocupacion(true);
    Cambio c;
    std::exception_ptr error;
    try {
        c = orden();
    } catch (...) {
        // What the command changed before it failed stays: the views show it, then the error goes on.
        error = std::current_exception();
        c = historia_.UltimosCambios();
    }
    c |= extra;
    c |= anidado_;
    anidado_ = {};
    --profundidad_;
    emit Ocupacion(false);
    emit Cambiado(c);
    if (error)
        std::rethrow_exception(error);
}

void TDocumento::Ejecuta(const std::string& nombre, const std::function<void()>& orden, const std::string& fusion,
                         const Cambio& extra)
{
    if (Ocupado()) {
        anidado_ |= extra;
        orden();
        return;
    }
    emit AntesDeCambiar();
    Orden([&] { return Cambio(historia_.Ejecuta(nombre, orden, fusion)); }, extra);
}

void TDocumento::EjecutaSinPaso(const std::function<void()>& orden, const Cambio& extra)
{
    if (Ocupado()) {
        anidado_ |= extra;
        orden();
        return;
    }
    emit AntesDeCambiar();
    Orden([&] { return Cambio(historia_.EjecutaSinPaso(orden)); }, extra);
}

bool TDocumento::Deshacer() { return Recorre(true); }

bool TDocumento::Rehacer() { return Recorre(false); }

bool TDocumento::Recorre(bool atras)
{
    if (Ocupado())
        return false;
    emit AntesDeCambiar();
    if (!(atras ? historia_.PuedeDeshacer() : historia_.PuedeRehacer()))
        return false;
    Cambio historial;
    historial.Historial = true;
    bool hecho = false;
    Orden(
        [&] {
            const auto c = atras ? historia_.Deshacer() : historia_.Rehacer();
            hecho = c.has_value();
            return Cambio(c ? *c : historia_.UltimosCambios());
        },
        historial);
    return hecho;
}

bool TDocumento::PuedeDeshacer() const { return !Ocupado() && historia_.PuedeDeshacer(); }

bool TDocumento::PuedeRehacer() const { return !Ocupado() && historia_.PuedeRehacer(); }

std::string TDocumento::NombreDeshacer() const { return PuedeDeshacer() ? historia_.NombreDeshacer() : std::string(); }

std::string TDocumento::NombreRehacer() const { return PuedeRehacer() ? historia_.NombreRehacer() : std::string(); }
