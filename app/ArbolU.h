#pragma once
#include "app/UsuarioQt.h"
#include "drawing/Interaccion.h"
#include "tree/Arbol.h"
#include "tree/Edicion.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QScrollArea;
class QToolBar;
class Tapiz;

// The main window: owns the single tree, its drawing and the command table.
class TArbol : public QMainWindow {
    Q_OBJECT
public:
    explicit TArbol(QWidget* parent = nullptr);
    ~TArbol() override;

    Arbol& arbol() { return arbol_; }
    IUsuario& usuario() { return usuario_; }

    // Repaints the drawing after positions, flags or labels changed.
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
    // Runs a calculation; the variables window and the drawing show what it
    // left, also when it failed halfway, before its error is shown.
    void Calcula(const std::function<void()>& orden);
    // Runs a command that moves the drawing, keeping the scroll position.
    void Mueve(const std::function<void()>& orden);
    // "&Presentación preliminar" once the preview window exists.
    void Previsualiza();

    Arbol arbol_;
    UsuarioQt usuario_;

public:
    // The editing commands with what they keep between uses.
    Edicion& edicion() { return edicion_; }
    // Screen position of the right click that opened the node menu: the
    // comment pad opens there when called from the menu.
    QPoint PosicionMenu;

private:
    // Runs an editing command; repaints when it changed the tree (or failed
    // halfway) and keeps the scroll position, so the view does not jump when
    // nodes shift; an error is shown after that.
    template <typename F>
    void Edita(F orden);

    Edicion edicion_{arbol_};

public:
    // The drag in progress, if any.
    const EstadoArrastre& Arrastre() const { return arrastre_; }
    // The tool-bar switches TB1/TB2 and TBMueveHijos.
    ModosMovimiento Modos() const;
    // Drops a pending drag without moving anything: after a new tree or a
    // file read the node numbers start again and could name another node.
    void OlvidaArrastre();
    // Keep the view where it is while the drawing is rebuilt.
    void GuardaScroll();
    void RestauraScroll();

private:
    EstadoArrastre arrastre_;
    QPoint scrollGuardado_;
};
