#pragma once
// Loading, saving and applying the display options through the settings file.
#include "tree/Arbol.h"

class FicheroIni;

// Every option key into the options object and the tree's colours and line width;
// a missing key or a value that does not convert gives the default.
void LeeOpciones(Arbol& arbol, const FicheroIni& ini);
// Every option key from the options object. The texts of the four precision
// edits are converted first: a bad one raises the conversion error, and the
// keys written before it stay written.
void GuardaOpciones(const Arbol& arbol, FicheroIni& ini);
// Sizes take effect only at zoom factor exactly 1: node size and letter size
// from the options, then every node rescaled in place.
void AplicaOpciones(Arbol& arbol);
