#include "common/Decimal.h"
#include "common/Errores.h"
#include "common/Ini.h"
#include "drawing/Interaccion.h"
#include "drawing/OpcionesIni.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string RutaTemporal(const char* nombre)
{
    return ::testing::TempDir() + nombre;
}

std::string Contenido(const std::string& ruta)
{
    std::ifstream f(ruta, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(Opciones, FicheroAusenteDaLosValoresPorDefecto)
{
    for (char sep : {'.', ','}) {
        SeparadorTemporal s(sep);
        const std::string ruta = RutaTemporal("no-existe.ini");
        std::remove(ruta.c_str());
        Arbol a;
        a.opciones.EDigitosEtiquetas = "9";
        a.ColorDecision = 0;
        a.GrosorElegido = 7;
        LeeOpciones(a, FicheroIni(ruta));
        const Opciones o; // the defaults
        EXPECT_EQ(a.opciones.EDigitosEtiquetas, o.EDigitosEtiquetas);
        EXPECT_EQ(a.opciones.EditPrecisionSumatorio, sep == '.' ? "0.001" : "0,001");
        EXPECT_EQ(a.opciones.FontComboBox1, "Arial");
        EXPECT_TRUE(a.opciones.CheckBoxComprobarRojos);
        EXPECT_FALSE(a.opciones.CheckBoxNumNodosVisibles);
        EXPECT_EQ(a.ColorDecision, RGB(255, 255, 130));
        EXPECT_EQ(a.ColorTerminal, RGB(147, 147, 255));
        EXPECT_EQ(a.GrosorElegido, 2);
        EXPECT_EQ(a.opciones.AnchoTapiz, 3000);
        EXPECT_EQ(a.opciones.IntervaloRecuperacion, 30);
    }
}

TEST(Opciones, GuardarEscribeTodasLasClavesYVuelveALeerlas)
{
    SeparadorTemporal s(',');
    const std::string ruta = RutaTemporal("opciones.ini");
    std::remove(ruta.c_str());
    Arbol a;
    a.opciones.EditPrecisionSumatorio = "0,002";
    a.opciones.TamanyoLetras = 11;
    a.opciones.CheckBoxComprobarRojos = false;
    a.opciones.CheckBoxArbolVisibleVariaciones = true;
    a.opciones.IntervaloRecuperacion = 0;
    a.opciones.FontComboBox1 = "Courier New";
    a.ColorAzar = RGB(1, 2, 3);
    {
        FicheroIni ini(ruta);
        GuardaOpciones(a, ini);
    }
    const std::string texto = Contenido(ruta);
    for (const char* clave : {"Escala=", "Cuadro=", "Circulo=", "Triangulo=", "Linea=", "Archivo=", "Fecha=",
                              "Sumatorio=0,002", "DigitosEtiquetas=4", "PrecisionEtiquetas=4", "PrecisionBayes=4",
                              "Nombre=Courier New", "ListaOrdenada=1", "LeerFich10=0", "ArbolVisibleVariaciones=1",
                              "ComprobarSumas=0", "NumNodosVisibles=0", "IntervaloRecuperacion=0", "AnchoTapiz=3000", "AltoTapiz=3000",
                              "TamanyoFormas=30", "TamanyoLetras=11", "AnchoLinea=2", "Criterio=0", "Tolerancia=1000"})
        EXPECT_NE(texto.find(clave), std::string::npos) << clave;
    EXPECT_NE(texto.find("Circulo=197121"), std::string::npos);

    Arbol b;
    LeeOpciones(b, FicheroIni(ruta));
    EXPECT_EQ(b.opciones.TamanyoLetras, 11);
    EXPECT_FALSE(b.opciones.CheckBoxComprobarRojos);
    EXPECT_TRUE(b.opciones.CheckBoxArbolVisibleVariaciones);
    EXPECT_EQ(b.opciones.IntervaloRecuperacion, 0);
    EXPECT_EQ(b.opciones.EditPrecisionSumatorio, "0,002");
    EXPECT_EQ(b.ColorAzar, RGB(1, 2, 3));
}

// The risk attitude: written and read back in either separator; stored values
// that cannot be used give the defaults.
TEST(Opciones, RiesgoSeGuardaYSeLee)
{
    struct Caso {
        char separador;
        std::string texto;  // as typed in the dialog
        std::string clave;  // as written
        std::string leido;  // as shown again
    };
    const Caso casos[] = {
        {'.', "2500,5", "Tolerancia=2500.5", "2500.5"},
        {',', "2500.5", "Tolerancia=2500,5", "2500,5"},
        {'.', "1E-3", "Tolerancia=0.001", "0.001"},
    };
    for (const auto& c : casos) {
        SeparadorTemporal s(c.separador);
        const std::string ruta = RutaTemporal("riesgo.ini");
        std::remove(ruta.c_str());
        Arbol a;
        a.opciones.EditPrecisionSumatorio = c.separador == '.' ? "0.001" : "0,001";
        a.opciones.CriterioRiesgo = CriterioUtilidad;
        a.opciones.EToleranciaRiesgo = c.texto;
        {
            FicheroIni ini(ruta);
            GuardaOpciones(a, ini);
        }
        const std::string texto = Contenido(ruta);
        EXPECT_NE(texto.find("[Riesgo]"), std::string::npos);
        EXPECT_NE(texto.find("Criterio=1"), std::string::npos);
        EXPECT_NE(texto.find(c.clave), std::string::npos) << texto;
        Arbol b;
        LeeOpciones(b, FicheroIni(ruta));
        EXPECT_TRUE(b.opciones.ConUtilidad());
        EXPECT_EQ(b.opciones.EToleranciaRiesgo, c.leido);
    }
    for (const char* guardado : {"Criterio=7\nTolerancia=-3\n", "Criterio=x\nTolerancia=0\n", "Tolerancia=mil\n"}) {
        const std::string ruta = RutaTemporal("riesgo-malo.ini");
        std::ofstream(ruta, std::ios::binary) << "[Riesgo]\n" << guardado;
        Arbol b;
        b.opciones.CriterioRiesgo = CriterioUtilidad;
        LeeOpciones(b, FicheroIni(ruta));
        EXPECT_FALSE(b.opciones.ConUtilidad()) << guardado;
        EXPECT_EQ(b.opciones.EToleranciaRiesgo, "1000") << guardado;
    }
}

TEST(Opciones, ToleranciaQueNoSirveNoSeGuarda)
{
    const std::string ruta = RutaTemporal("riesgo-cero.ini");
    std::remove(ruta.c_str());
    Arbol a;
    a.opciones.EToleranciaRiesgo = "0";
    FicheroIni ini(ruta);
    try {
        GuardaOpciones(a, ini);
        ADD_FAILURE();
    } catch (const ENemor& e) {
        EXPECT_STREQ(e.what(), "La tolerancia al riesgo debe ser un número mayor que cero.");
    }
    const std::string texto = Contenido(ruta);
    EXPECT_NE(texto.find("AnchoLinea=2"), std::string::npos);
    EXPECT_NE(texto.find("Criterio=0"), std::string::npos);
    EXPECT_EQ(texto.find("Tolerancia"), std::string::npos);
}

TEST(Opciones, TextoMaloFallaYLoAnteriorQuedaEscrito)
{
    const std::string ruta = RutaTemporal("malo.ini");
    std::remove(ruta.c_str());
    Arbol a;
    a.opciones.EPrecisionEtiquetas = "x";
    a.opciones.Escala = 2;
    FicheroIni ini(ruta);
    try {
        GuardaOpciones(a, ini);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
    const std::string texto = Contenido(ruta);
    EXPECT_NE(texto.find("Escala=2"), std::string::npos);
    EXPECT_NE(texto.find("DigitosEtiquetas=4"), std::string::npos);
    EXPECT_EQ(texto.find("PrecisionEtiquetas"), std::string::npos);
    EXPECT_EQ(texto.find("Nombre"), std::string::npos);

    // The real is converted plainly, without the repair of typed numbers.
    SeparadorTemporal s('.');
    a.opciones.EPrecisionEtiquetas = "4";
    a.opciones.EditPrecisionSumatorio = "0,001";
    EXPECT_THROW(GuardaOpciones(a, ini), EConvertError);
}

TEST(Opciones, TamanyosSoloConZoomUno)
{
    Arbol a;
    const uint16_t n = a.NuevoHijo(0, NodoDecision, 100, 100);
    a.opciones.TamanyoFormas = 40;
    a.opciones.TamanyoLetras = 12;
    ZoomAumentar(a);
    AplicaOpciones(a);
    EXPECT_EQ(a.TamanyoNodo, 33);
    ZoomDisminuir(a);
    AplicaOpciones(a);
    EXPECT_EQ(a.TamanyoNodo, 40);
    EXPECT_EQ(a.TamanyoLetra, 12);
    EXPECT_EQ(a.Nodo(n)->Figura.Width, 40);
    EXPECT_EQ(a.Nodo(n)->Figura.Left, 100); // positions stay
    EXPECT_EQ(a.Nodo(n)->MarcaComentario.Width, 10);
    EXPECT_EQ(a.Nodo(n)->EtiquetaValor.Tamanyo, 12);
}

} // namespace
