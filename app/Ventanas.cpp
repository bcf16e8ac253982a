#include "app/Ventanas.h"

#include "analysis/GraficoHistoricoUnit.h"
#include "analysis/PerfilRiesgoUnit.h"
#include "analysis/TornadoUnit.h"
#include "analysis/VariacionUnit.h"
#include "app/AboutU.h"
#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "app/DocumentoU.h"
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
#include "tree/RecuperacionU.h"
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
    // The document outlives every window that shows it.
    std::unique_ptr<TDocumento> documento;
    std::unique_ptr<TArbol> arbol;
    std::unique_ptr<TRecuperacion> recuperacion;
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

template <typename T, typename G, typename... A>
T& Crea(std::unique_ptr<T>& dueno, G*& global, A&&... argumentos)
{
    dueno = std::make_unique<T>(std::forward<A>(argumentos)...);
    global = dueno.get();
    return *dueno;
}

} // namespace

Programa::Programa(const QStringList& argumentos) : v_(std::make_unique<Ventanas>())
{
    v_->documento = std::make_unique<TDocumento>();
    TDocumento& doc = *v_->documento;
    TArbol& principal = Crea(v_->arbol, FormArbol, &doc);
    IUsuario* usuario = &principal.usuario();
    // The copy follows the document from the first change on, and goes when the program ends normally.
    v_->recuperacion = std::make_unique<TRecuperacion>(doc, &principal);
    TRecuperacion& recuperacion = *v_->recuperacion;
    QObject::connect(&principal, &TArbol::Termina, &recuperacion, &TRecuperacion::Sale);
    TAboutBox& about = Crea(v_->about, AboutBox);
    TFormBar& bar = Crea(v_->bar, FormBar);
    TFormDato& dato = Crea(v_->dato, FormDato);
    TFormVariacion& variacion = Crea(v_->variacion, FormVariacion, doc);
    TFormNota& nota = Crea(v_->nota, FormNota, doc);
    QObject::connect(&principal, &TArbol::AbreComentario, &nota, &TFormNota::AbrirComentario);
    QObject::connect(&principal, &TArbol::RatonSobreTapiz, &nota, &TFormNota::RatonSobreTapiz);
    TProgressForm& progreso = Crea(v_->progreso, ProgressForm);
    TFormEditor& editor = Crea(v_->editor, FormEditor, &doc);
    QObject::connect(&editor, &TFormEditor::TextoCambiado, &recuperacion, &TRecuperacion::EditorCambiado);
    // Reading a tree shows the progress and loads the linked document.
    principal.usuarioQt().PonVentanas(&progreso, &dato, &editor);
    TFormVar& var = Crea(v_->var, FormVar, doc);
    // The options window applies the stored settings to the tree as it is
    // created; only then is the tree named on the command line opened.
    TOpciones& opciones = Crea(v_->opciones, FormOpciones, doc);
    QObject::connect(&opciones, &TOpciones::FuenteNotaCambiada, &nota, &TFormNota::PonFuente);
    nota.PonFuente(opciones.FuenteNota());
    if (!argumentos.isEmpty())
        principal.AbreArgumento(argumentos.first());
    TFormPrevisualizar& previsualizar = Crea(v_->previsualizar, FormPrevisualizar, doc.arbol(), usuario);
    QObject::connect(&bar, &TFormBar::PideAumentar, &previsualizar, &TFormPrevisualizar::Aumenta);
    QObject::connect(&bar, &TFormBar::PideReducir, &previsualizar, &TFormPrevisualizar::Reduce);
    QObject::connect(&bar, &TFormBar::PideImprimir, &previsualizar, &TFormPrevisualizar::ImprimirClick);
    QObject::connect(&bar, &TFormBar::PideUnaHoja, &previsualizar, &TFormPrevisualizar::UnaHojaClick);
    QObject::connect(&bar, &TFormBar::PideOpciones, &opciones, &TOpciones::MuestraPaginaImpresion);
    QObject::connect(&bar, &TFormBar::PideGuardarImagen, &previsualizar, &TFormPrevisualizar::GuardarImagenClick);
    QObject::connect(&bar, &TFormBar::PideCopiar, &previsualizar, &TFormPrevisualizar::CopiarClick);
    QObject::connect(&bar, &TFormBar::PideCerrar, &previsualizar, &TFormPrevisualizar::CerrarClick);
    QObject::connect(&previsualizar, &TFormPrevisualizar::BarraVisible, &bar, [&bar](bool visible) {
        bar.setVisible(visible);
        if (visible)
            bar.raise();
    });
    TFormImprimiendo& imprimiendo = Crea(v_->imprimiendo, FormImprimiendo);
    QObject::connect(&previsualizar, &TFormPrevisualizar::ImpresionEmpieza, &imprimiendo, &TFormImprimiendo::Empieza);
    QObject::connect(&previsualizar, &TFormPrevisualizar::PaginaImpresa, &imprimiendo,
                     &TFormImprimiendo::MarcaImpresa);
    QObject::connect(&previsualizar, &TFormPrevisualizar::ImpresionTermina, &imprimiendo, &QWidget::hide);
    TTreeAD& esquema = Crea(v_->tree, TreeAD, doc);
    TFormQR& qr = Crea(v_->qr, FormQR);
    previsualizar.PonInforme(&qr.QuickRep1);
    TFormHistorico& historico = Crea(v_->historico, FormHistorico, usuario);
    TFormPerfil& perfil = Crea(v_->perfil, FormPerfil, usuario);
    TFormTornado& tornado = Crea(v_->tornado, FormTornado, doc, usuario);

    VentanasPrincipal w;
    w.Acerca = &about;
    w.Variables = &var;
    w.Editor = &editor;
    w.Opciones = &opciones;
    w.Esquema = &esquema;
    w.Variacion = &variacion;
    w.Historico = &historico;
    w.Perfil = &perfil;
    w.Tornado = &tornado;
    w.Previsualizar = &previsualizar;
    principal.PonVentanas(w);
}

TDocumento& Programa::Documento() { return *v_->documento; }

TArbol& Programa::Principal() { return *v_->arbol; }

TRecuperacion& Programa::Recuperacion() { return *v_->recuperacion; }

void Programa::OfreceRecuperacion()
{
    TArbol& principal = *v_->arbol;
    Protegido([&] { v_->recuperacion->OfreceAbandonadas(&principal); });
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
    v_->recuperacion.reset();
    FormArbol = nullptr;
    v_->arbol.reset();
    v_->documento.reset();
}
