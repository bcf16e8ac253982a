#pragma once
// The display and calculation options, held as the options dialog edits them:
// texts where the dialog has an edit box, so a bad digits text fails only when
// a label is formatted. Colours and the chosen-branch width live on the tree.
#include <cstdint>
#include <string>

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
    // Seconds between recovery copies of a tree with unsaved changes; 0 (or
    // less) writes none.
    int32_t IntervaloRecuperacion = 30;

    // The label digits and exponent digits, converted from their texts at
    // each use; a text that is not an integer raises the conversion error.
    int32_t DigitosEtiquetas() const;
    int32_t PrecisionEtiquetas() const;
};
