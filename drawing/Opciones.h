#pragma once
// The display and calculation options, held as the options dialog edits them:
// texts where the dialog has an edit box, so a bad digits text fails only when
// a label is formatted. Colours and the chosen-branch width live on the tree.
#include <cstdint>
#include <string>

// The criteria of "Riesgo": expected value, or exponential utility
// U(x) = 1 - exp(-x / R), whose chance nodes take their certainty equivalents.
constexpr int32_t CriterioValorEsperado = 0;
constexpr int32_t CriterioUtilidad = 1;

extern const char* const kMensajeTolerancia;

struct Opciones {
    // "Impresion"
    int32_t Escala = 0; // 0 "Proporcional", 1 "Ajustar a página", 2 "Sin escala"
    // "Identificadores"
    bool SelArchivo = true;
    bool SelFecha = true;
    // "Precisión"
    std::string EditPrecisionSumatorio = "0.001";
    std::string EDigitosEtiquetas = "4";
    std::string EPrecisionEtiquetas = "4";
    std::string EPrecisionBayes = "4";
    // "Fuente"
    std::string FontComboBox1 = "Arial";
    // "Dimensiones"
    int32_t AnchoTapiz = 3000;
    int32_t AltoTapiz = 3000;
    int32_t TamanyoFormas = 30;
    int32_t TamanyoLetras = 8;
    // "Varios"
    bool CheckBoxListaVarOrdenada = true;
    bool CheckBoxVersion = false;
    bool CheckBoxArbolVisibleVariaciones = true;
    bool CheckBoxComprobarRojos = true;
    bool CheckBoxNumNodosVisibles = false;
    // "Riesgo": how a chance node's branches combine when the tree is solved.
    int32_t CriterioRiesgo = CriterioValorEsperado;
    std::string EToleranciaRiesgo = "1000"; // R of the exponential utility, a real as text
    // Seconds between recovery copies of a tree with unsaved changes; 0 (or
    // less) writes none.
    int32_t IntervaloRecuperacion = 30;

    // The label digits and exponent digits, converted from their texts at
    // each use; a text that is not an integer raises the conversion error.
    int32_t DigitosEtiquetas() const;
    int32_t PrecisionEtiquetas() const;
    // R, read from its text as typed numbers are; raises the conversion error,
    // or kMensajeTolerancia when it is not a finite number above 0.
    double ToleranciaRiesgo() const;
    // Whether the tree is solved for certainty equivalents.
    bool ConUtilidad() const { return CriterioRiesgo == CriterioUtilidad; }
};
