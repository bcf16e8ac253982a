#pragma once
#include "app/DocumentoU.h"
#include "app/UsuarioQt.h"
#include "drawing/Interaccion.h"
#include "tree/Arbol.h"
#include "tree/Edicion.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QMenu;
class QScrollArea;
class QToolBar;
class Tapiz;
class TAboutBox;
class TFormEditor;
class TFormHistorico;
class TFormPerfil;
class TFormPrevisualizar;
class TFormTornado;
class TFormVar;
class TFormVariacion;
class TOpciones;
class TTreeAD;

// The windows the main window shows or hands work to. They are made after
// it, so the start-up code gives them; a command whose window is missing does nothing.
struct VentanasPrincipal {
    QPointer<TAboutBox> Acerca;
    QPointer<TFormVar> Variables;
    QPointer<TFormEditor> Editor;
    QPointer<TOpciones> Opciones;
    QPointer<TTreeAD> Esquema;
    QPointer<TFormVariacion> Variacion;
    QPointer<TFormHistorico> Historico;
    QPointer<TFormPerfil> Perfil;
    QPointer<TFormTornado> Tornado;
    QPointer<TFormPrevisualizar> Previsualizar;
};

// The main window: the drawing of the document's tree and the command table.
// Every command goes through the document, whose announcement repaints it.
class TArbol : public QMainWindow {
    Q_OBJECT
public:
    // documento: the document it shows; without one the window makes its own.
    explicit TArbol(TDocumento* documento = nullptr, QWidget* parent = nullptr);
    ~TArbol() override;

    TDocumento& documento() { return doc_; }
    Arbol& arbol() { return doc_.arbol(); }
    IUsuario& usuario() { return usuario_; }
    UsuarioQt& usuarioQt() { return usuario_; }
    void PonVentanas(const VentanasPrincipal& ventanas) { ventanas_ = ventanas; }

    // Repaints the drawing and the caption.
    void Refresca();
    // Gives the drawing surface the size the options ask for.
    void AjustaTapiz();
    // Opens the tree named on the command line; an error is shown, not raised.
    void AbreArgumento(const QString& ruta);

    // --- Controls, named as in the window layout -----------------------------
    QToolBar* ToolBar1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* PanelTapiz = nullptr;
    Tapiz* tapiz = nullptr;

    QMenu* FileMenu = nullptr;
    QAction* FileNewItem = nullptr;
    QAction* FileOpenItem = nullptr;
    QAction* FileSaveItem = nullptr;
    QAction* FileSaveAsItem = nullptr;
    QAction* ExportarImagen1 = nullptr;
    QAction* Pre1 = nullptr;
    QAction* F1 = nullptr;
    QAction* F2 = nullptr;
    QAction* F3 = nullptr;
    QAction* F4 = nullptr;
    QAction* FileExitItem = nullptr;
    QMenu* Edicion1 = nullptr;  // "&Edición"
    QAction* Deshacer1 = nullptr; // "&Deshacer", followed by the step's name
    QAction* Rehacer1 = nullptr;  // "&Rehacer", likewise
    QMenu* EditMenu = nullptr;
    QAction* EditUndoItem = nullptr;
    QAction* Valoresacero1 = nullptr;
    QAction* Vaiaciones1 = nullptr;
    QAction* PerfilRiesgo1 = nullptr; // "&Perfil de riesgo ...", of the root
    QAction* Tornado1 = nullptr;      // "&Tornado ..."
    QMenu* Ver1 = nullptr;
    QAction* Variables2 = nullptr;
    QAction* Editor1 = nullptr;
    QAction* Aumentar1 = nullptr;
    QAction* Disminuir1 = nullptr;
    QAction* Tamaooriginal1 = nullptr;
    QAction* Barradeherramientas1 = nullptr;
    QMenu* Opciones1 = nullptr;
    QAction* Impresin1 = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* AyudadeNEMOR1 = nullptr;
    QAction* HelpAboutItem = nullptr;

    QAction* TBNuevo = nullptr;
    QAction* TBAbrir = nullptr;
    QAction* TBGuardar = nullptr;
    QAction* TBDeshacer = nullptr;
    QAction* TBRehacer = nullptr;
    QAction* TBVar = nullptr;
    QAction* ToolButton1 = nullptr;
    QAction* TBCalcular = nullptr;
    QAction* TBACero = nullptr;
    QAction* TBVariaciones = nullptr;
    QAction* TBMueveHijos = nullptr;
    QAction* TB1 = nullptr;
    QAction* TB2 = nullptr;
    QAction* TBAlinearVertical = nullptr;
    QAction* TBAlinearHorizontal = nullptr;
    QAction* TBVerVar = nullptr;
    QAction* TBTTree = nullptr;
    QAction* TBMas = nullptr;
    QAction* TBMenos = nullptr;
    QAction* ToolButton3 = nullptr;
    QAction* ToolButton6 = nullptr;
    QAction* TBSalir = nullptr;

    QMenu* PopupMenuTri = nullptr;
    QAction* CuadrodeDecisin1 = nullptr;
    QAction* NododeAzar1 = nullptr;
    QAction* Nuevarama1 = nullptr;
    QAction* Borrar1 = nullptr;
    QAction* Texto1 = nullptr;
    QAction* Coste3 = nullptr;
    QAction* Probabilidad1 = nullptr;
    QAction* Copiar1 = nullptr;
    QAction* Pegar1 = nullptr;
    QAction* Comentario1 = nullptr;
    QAction* PerfilRiesgo2 = nullptr; // "Perfil de r&iesgo ...", of that node

    // The node the pop-up menu was opened on; its items act on it.
    uint16_t NodoMenu = 0;

signals:
    // The comment pad opens for a node with its top-left corner at lugar (screen).
    void AbreComentario(uint16_t nodo, QPoint lugar);
    // The mouse moved over the bare drawing: a comment pad left for it stores its text and hides.
    void RatonSobreTapiz();
    // The program ends normally: the save question has been answered.
    void Termina();

public slots:
    // --- Handlers of this window --------------------------------------------
    void Barradeherramientas1Click();
    void AyudadeNEMOR1Click();
    void HelpAbout();
    void Variables1Click();
    void Editor1Click();
    void Impresin1Click();
    void TBTTreeClick();
    // Prepares the node menu for NodoMenu: which items are shown and enabled.
    void PopupMenuTriPopup();
    // Opens the node menu for a node at a screen position.
    void AbreMenuNodo(uint16_t nodo, const QPoint& global);

    // --- Document commands ---------------------------------------------------
    void FileNew();
    void FileOpen();
    void FileSaveItemClick();
    void FileSaveAs();
    void ExportarImagen1Click();
    void FileExit();
    void F1Click();
    void F2Click();
    void F3Click();
    void F4Click();
    // Loads the recent-files list into F1 ... F4.
    void CargaRecientes();
    // The save question before the program ends; false when the user cancelled.
    bool PuedeCerrar();

    // --- Undo and redo ----------------------------------------------------------
    void Deshacer1Click();
    void Rehacer1Click();

    // --- Calculation ---------------------------------------------------------
    void BCalcula2Click();
    void ValCeroClick();
    void Vaiaciones1Click();
    void TBVerVarClick();
    // The risk profile of a node: the tree is solved first, as "Calcular VEM" does.
    void PerfilRiesgo1Click();
    void PerfilRiesgo2Click();
    void Tornado1Click();

    // --- Drawing: zoom, alignment, mouse, printing ---------------------------
    void TBMasClick();
    void TBMenosClick();
    void ToolButton3Click();
    void TBAlinearVerticalClick();
    void TBAlinearHorizontalClick();
    void Pre1Click();
    void FiguraMouseDown(uint16_t nodo, Qt::MouseButton boton, Qt::KeyboardModifiers mods, QPoint punto);
    void FiguraMouseMove(uint16_t nodo, Qt::KeyboardModifiers mods, QPoint punto);
    void FiguraMouseUp(uint16_t nodo, Qt::MouseButton boton, Qt::KeyboardModifiers mods, QPoint punto);
    void TapizMouseDown(Qt::MouseButton boton, Qt::KeyboardModifiers mods, QPoint punto);
    void TapizMouseMove(Qt::KeyboardModifiers mods, QPoint punto);
    void MarcaMouseMove(uint16_t nodo, QPoint punto);

    // --- Editing of the node NodoMenu ----------------------------------------
    void CuadrodeDecisin1Click();
    void NododeAzar1Click();
    void Nuevarama1Click();
    void Borrar1Click();
    void Texto1Click();
    void Coste3Click();
    void Probabilidad1Click();
    void Copiar1Click();
    void Pegar1Click();
    void Comentario1Click();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void MuestraPerfil(uint16_t nodo);
    // "NEMOR", and what the values shown are when they are certainty equivalents.
    void ActualizaTitulo();
    void CreaMenus();
    void CreaBarra();
    void CreaMenuNodo();
    // What the document announced: the drawing, the caption, the recent
    // files, a pending drag and the undo commands follow it.
    void DocumentoCambiado(const Cambio& cambio);
    // "&Deshacer" and "&Rehacer" name the step they act on, and are off when there is none.
    void ActualizaDeshacer();
    void MuestraRecientes();
    // Runs a calculation (not a step): solving, the sweep, the analyses.
    void Calcula(const std::function<void()>& orden);
    // Runs a step of the history; the scroll position stays, so the view
    // does not jump when nodes shift.
    void Edita(const char* paso, const std::function<void()>& orden);
    // Runs a change that is not a step (zoom), keeping the scroll position.
    void Mueve(const std::function<void()>& orden);
    // Runs a document command (New, Open, Save...).
    void Fichero(const std::function<void()>& orden);
    // "&Presentación preliminar" once the preview window exists.
    void Previsualiza();

    std::unique_ptr<TDocumento> propio_; // when no document was given
    TDocumento& doc_;
    UsuarioQt usuario_;
    VentanasPrincipal ventanas_;

public:
    // The editing commands with what they keep between uses.
    Edicion& edicion() { return doc_.edicion(); }
    // Screen position of the right click that opened the node menu: the
    // comment pad opens there when called from the menu.
    QPoint PosicionMenu;

    // The drag in progress, if any.
    const EstadoArrastre& Arrastre() const { return arrastre_; }
    // The tool-bar switches TB1/TB2 and TBMueveHijos.
    ModosMovimiento Modos() const;
    // Drops a pending drag without moving anything: after a new tree, a file
    // read or an undo the node numbers could name another node.
    void OlvidaArrastre();

private:
    EstadoArrastre arrastre_;
};
