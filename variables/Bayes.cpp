#include "variables/Bayes.h"

#include "common/Decimal.h"
#include "common/Errores.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"
#include "variables/Variables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kDigitosBayes = 8;

std::vector<std::string> Resultados(const std::string& linea)
{
    const size_t abre = linea.find('(');
    const size_t cierra = linea.find(')');
    std::string texto;
    if (cierra != std::string::npos) {
        if (abre == std::string::npos)
            texto = linea.substr(0, cierra);
        else if (abre < cierra)
            texto = linea.substr(abre + 1, cierra - abre - 1);
    }
    texto += ',';
    std::vector<std::string> r;
    size_t coma;
    while ((coma = texto.find(',')) != std::string::npos && texto != ",") {
        r.push_back(texto.substr(0, coma));
        texto = texto.substr(coma + 1);
    }
    return r;
}

std::vector<std::string> Estados(const Arbol& arbol, const std::string& primero)
{
    std::vector<std::string> estados;
    const std::string marca = primero + "/";
    for (const std::string& l : arbol.Variables) {
        if (l.find(marca) == std::string::npos)
            continue;
        const size_t barra = l.find('/');
        const size_t cierra = l.find(')');
        if (cierra != std::string::npos && cierra > barra)
            estados.push_back(l.substr(barra + 1, cierra - barra - 1));
        else
            estados.push_back({});
    }
    return estados;
}

std::string Escrito(const Arbol& arbol, double valor)
{
    return FormatoBayes(valor, StrToInt(arbol.opciones.EPrecisionBayes));
}

double Producto(double a, double b, double suma)
{
    LimpiaExcepcionesFPU();
    const double r = a * b + suma;
    CompruebaExcepcionesFPU();
    return r;
}

double Cociente(double a, double b, double c)
{
    LimpiaExcepcionesFPU();
    const double r = a * b / c;
    CompruebaExcepcionesFPU();
    return r;
}

} // namespace

std::string FormatoBayes(double valor, int decimales)
{
    decimales = std::clamp(decimales, 0, 18);
    if (!std::isfinite(valor))
        return FormatoEtiqueta(valor, kDigitosBayes, 0);
    // The value's first 18 significant digits: d1.d2d3...e±x.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17e", std::fabs(valor));
    std::string d(1, buf[0]);
    d.append(buf + 2, buf + 19);
    // Digit i of d stands for the power 10^(enteros - 1 - i).
    int enteros = valor == 0 ? 1 : std::atoi(buf + 20) + 1;
    if (enteros > kDigitosBayes)
        return FormatoEtiqueta(valor, kDigitosBayes, 0);
    // Round half up to at most 8 significant digits and `decimales` decimals.
    const int guardar = std::min(kDigitosBayes, enteros + decimales);
    if (guardar < 0) {
        d.clear();
    } else {
        const bool sube = d[guardar] >= '5';
        d.resize(guardar);
        if (sube) {
            int i = guardar - 1;
            while (i >= 0 && d[i] == '9')
                d[i--] = '0';
            if (i >= 0) {
                ++d[i];
            } else {
                d.insert(d.begin(), '1');
                ++enteros;
            }
        }
    }
    auto digito = [&](int potencia) {
        const int i = enteros - 1 - potencia;
        return i >= 0 && i < static_cast<int>(d.size()) ? d[i] : '0';
    };
    std::string r;
    for (int potencia = std::max(enteros - 1, 0); potencia >= 0; --potencia)
        r += digito(potencia);
    const size_t nocero = r.find_first_not_of('0');
    r = nocero == std::string::npos ? "0" : r.substr(nocero);
    std::string fraccion;
    for (int potencia = -1; potencia >= -decimales; --potencia)
        fraccion += digito(potencia);
    if (!fraccion.empty())
        r += SeparadorDecimal() + fraccion;
    // A value that rounds to zero is written without its sign.
    const bool cero = r.find_first_not_of(std::string("0") + SeparadorDecimal()) == std::string::npos;
    return valor < 0 && !cero ? "-" + r : r;
}

bool BuscaValor(Arbol& arbol, const std::string& texto, double& valor)
{
    valor = 0;
    for (const std::string& l : arbol.Variables) {
        if (l.find(texto) == std::string::npos)
            continue;
        const std::string parte = DefinicionDeLinea(l);
        if (!parte.empty())
            valor = EvaluaFormula(SustituyeVariables(arbol, parte, l));
        return true;
    }
    if (arbol.usuario)
        arbol.usuario->Mensaje("Error", "No se encuentra el valor de " + texto, Icono::Error);
    return false;
}

void EscribeResultado(Arbol& arbol, const std::string& nombre, const std::string& valorTexto)
{
    auto& v = arbol.Variables;
    auto it = std::find_if(v.begin(), v.end(), [&](const std::string& l) { return l.find(nombre) != std::string::npos; });
    if (it != v.end())
        v.erase(it);
    v.push_back(nombre + " = " + valorTexto);
}

void CalculaBayes(Arbol& arbol, int indiceLinea)
{
    if (indiceLinea < 0 || indiceLinea >= static_cast<int>(arbol.Variables.size()))
        return;
    const std::vector<std::string> resultados = Resultados(arbol.Variables[indiceLinea]);
    if (resultados.empty())
        return;
    const std::vector<std::string> estados = Estados(arbol, resultados.front());
    for (const std::string& r : resultados) {
        if (estados.empty())
            return;
        double suma = 0;
        for (const std::string& s : estados) {
            double previa, verosimilitud;
            const bool hayPrevia = BuscaValor(arbol, "P(" + s + ")", previa);
            const bool hayVerosimilitud = BuscaValor(arbol, "P(" + r + "/" + s + ")", verosimilitud);
            if (!hayPrevia || !hayVerosimilitud)
                return;
            suma = Producto(previa, verosimilitud, suma);
        }
        EscribeResultado(arbol, "P(" + r + ")", Escrito(arbol, suma));
    }
    for (const std::string& r : resultados) {
        for (const std::string& s : estados) {
            double previa, verosimilitud, marginal;
            const bool a = BuscaValor(arbol, "P(" + s + ")", previa);
            const bool b = BuscaValor(arbol, "P(" + r + "/" + s + ")", verosimilitud);
            const bool c = BuscaValor(arbol, "P(" + r + ")", marginal);
            if (!a || !b || !c)
                break;
            EscribeResultado(arbol, "P(" + s + "/" + r + ")", Escrito(arbol, Cociente(previa, verosimilitud, marginal)));
        }
    }
}

void CalculaTodosBayes(Arbol& arbol)
{
    for (size_t i = 0; i < arbol.Variables.size(); ++i)
        if (EsLineaBayes(arbol.Variables[i]))
            CalculaBayes(arbol, static_cast<int>(i));
}

std::vector<std::string> NombresEscritosPorBayes(const Arbol& arbol)
{
    std::vector<std::string> nombres;
    for (const std::string& l : arbol.Variables) {
        if (!EsLineaBayes(l))
            continue;
        const std::vector<std::string> resultados = Resultados(l);
        if (resultados.empty())
            continue;
        const std::vector<std::string> estados = Estados(arbol, resultados.front());
        for (const std::string& r : resultados) {
            nombres.push_back("P(" + r + ")");
            for (const std::string& s : estados)
                nombres.push_back("P(" + s + "/" + r + ")");
        }
    }
    return nombres;
}

void CalculaFormulasBayes(Arbol& arbol)
{
    NormalizaSeparadores(arbol);
    CargaVariables(arbol);
    CalculaTodosBayes(arbol);
}
