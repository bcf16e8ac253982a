#pragma once
// The program's windows: each created once at start-up, in a fixed order.
// Each gets what it uses through its constructor, or, when that is made
// later, from this start-up code; only this code touches the program-wide
// references below (tests read them, as a user would look at the windows).
#include <QStringList>

#include <memory>

class TDocumento;
class TArbol;
class TAboutBox;
class TFormBar;
class TFormDato;
class TFormVariacion;
class TFormNota;
class TProgressForm;
class TFormEditor;
class TFormVar;
class TOpciones;
class TFormPrevisualizar;
class TFormImprimiendo;
class TTreeAD;
class TFormQR;
class TFormHistorico;
class TFormPerfil;
class TFormTornado;
class TRecuperacion;

extern TArbol* FormArbol;
extern TAboutBox* AboutBox;
extern TFormBar* FormBar;
extern TFormDato* FormDato;
extern TFormVariacion* FormVariacion;
extern TFormNota* FormNota;
extern TProgressForm* ProgressForm;
extern TFormEditor* FormEditor;
extern TFormVar* FormVar;
extern TOpciones* FormOpciones;
extern TFormPrevisualizar* FormPrevisualizar;
extern TFormImprimiendo* FormImprimiendo;
extern TTreeAD* TreeAD;
extern TFormQR* FormQR;
extern TFormHistorico* FormHistorico;
extern TFormPerfil* FormPerfil;
extern TFormTornado* FormTornado;

// Creates the windows in order (the main window first, so the first tree
// exists before any other window) and frees them, last first, when it goes.
// argumentos are the program's arguments without the program name: once the
// options window has applied the settings, the first one, if any, is the tree to open.
class Programa {
public:
    explicit Programa(const QStringList& argumentos = {});
    ~Programa();
    Programa(const Programa&) = delete;
    Programa& operator=(const Programa&) = delete;

    TDocumento& Documento();
    TArbol& Principal();
    // The recovery copy of the document's tree.
    TRecuperacion& Recuperacion();
    // Offers the recovery copies that programs no longer running left
    // behind; run once the main window is on screen.
    void OfreceRecuperacion();

private:
    struct Ventanas;
    std::unique_ptr<Ventanas> v_;
};
