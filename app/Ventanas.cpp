#include "app/Ventanas.h"

#include "analysis/GraficoHistoricoUnit.h"
#include "analysis/PerfilRiesgoUnit.h"
#include "analysis/TornadoUnit.h"
#include "analysis/VariacionUnit.h"
#include "app/AboutU.h"
#include "app/ArbolU.h"
#include "app/ProgresoU.h"
#include "drawing/BarU.h"
#include "drawing/ImprimiendoU.h"
#include "drawing/OpcionU.h"
#include "drawing/PrevisualizarU.h"
#include "drawing/QRU.h"
#include "drawing/TreeUnit.h"
#include "editor/REMain.h"
#include "tree/DatoU.h"
#include "tree/NotaU.h"
#include "variables/VarUnit.h"

TArbol* FormArbol = nullptr;
TAboutBox* AboutBox = nullptr;
TFormBar* FormBar = nullptr;
TFormDato* FormDato = nullptr;
TFormVariacion* FormVariacion = nullptr;
TFormNota* FormNota = nullptr;
TProgressForm* ProgressForm = nullptr;
TFormEditor* FormEditor = nullptr;
TFormVar* FormVar = nullptr;
TOpciones* FormOpciones = nullptr;
TFormPrevisualizar* FormPrevisualizar = nullptr;
TFormImprimiendo* FormImprimiendo = nullptr;
TTreeAD* TreeAD = nullptr;
TFormQR* FormQR = nullptr;
TFormHistorico* FormHistorico = nullptr;
TFormPerfil* FormPerfil = nullptr;
TFormTornado* FormTornado = nullptr;

struct Programa::Ventanas {
    std::unique_ptr<TArbol> arbol;
    std::unique_ptr<TAboutBox> about;
    std::unique_ptr<TFormBar> bar;
    std::unique_ptr<TFormDato> dato;
    std::unique_ptr<TFormVariacion> variacion;
    std::unique_ptr<TFormNota> nota;
    std::unique_ptr<TProgressForm> progreso;
    std::unique_ptr<TFormEditor> editor;
    std::unique_ptr<TFormVar> var;
    std::unique_ptr<TOpciones> opciones;
    std::unique_ptr<TFormPrevisualizar> previsualizar;
    std::unique_ptr<TFormImprimiendo> imprimiendo;
    std::unique_ptr<TTreeAD> tree;
    std::unique_ptr<TFormQR> qr;
    std::unique_ptr<TFormHistorico> historico;
    std::unique_ptr<TFormPerfil> perfil;
    std::unique_ptr<TFormTornado> tornado;
};

namespace {

template <typename T, typename G>
void Crea(std::unique_ptr<T>& dueno, G*& global)
{
    dueno = std::make_unique<T>();
    global = dueno.get();
}

} // namespace

Programa::Programa(const QStringList& argumentos) : v_(std::make_unique<Ventanas>())
{
    Crea(v_->arbol, FormArbol);
    Crea(v_->about, AboutBox);
    Crea(v_->bar, FormBar);
    Crea(v_->dato, FormDato);
    Crea(v_->variacion, FormVariacion);
    Crea(v_->nota, FormNota);
    Crea(v_->progreso, ProgressForm);
    Crea(v_->editor, FormEditor);
    // "Guardar como..." in the editor sets the tree's link to its document.
    FormEditor->PonArbol(&FormArbol->arbol());
    Crea(v_->var, FormVar);
    // The options window applies the stored settings to the main window as it
    // is created; only then is the tree named on the command line opened.
    Crea(v_->opciones, FormOpciones);
    if (!argumentos.isEmpty())
        FormArbol->AbreArgumento(argumentos.first());
    Crea(v_->previsualizar, FormPrevisualizar);
    Crea(v_->imprimiendo, FormImprimiendo);
    Crea(v_->tree, TreeAD);
    Crea(v_->qr, FormQR);
    Crea(v_->historico, FormHistorico);
    Crea(v_->perfil, FormPerfil);
    Crea(v_->tornado, FormTornado);
}

Programa::~Programa()
{
    // Last created, first freed; every reference is cleared before its window goes.
    FormTornado = nullptr;
    v_->tornado.reset();
    FormPerfil = nullptr;
    v_->perfil.reset();
    FormHistorico = nullptr;
    v_->historico.reset();
    FormQR = nullptr;
    v_->qr.reset();
    TreeAD = nullptr;
    v_->tree.reset();
    FormImprimiendo = nullptr;
    v_->imprimiendo.reset();
    FormPrevisualizar = nullptr;
    v_->previsualizar.reset();
    FormOpciones = nullptr;
    v_->opciones.reset();
    FormVar = nullptr;
    v_->var.reset();
    FormEditor = nullptr;
    v_->editor.reset();
    ProgressForm = nullptr;
    v_->progreso.reset();
    FormNota = nullptr;
    v_->nota.reset();
    FormVariacion = nullptr;
    v_->variacion.reset();
    FormDato = nullptr;
    v_->dato.reset();
    FormBar = nullptr;
    v_->bar.reset();
    AboutBox = nullptr;
    v_->about.reset();
    FormArbol = nullptr;
    v_->arbol.reset();
}
