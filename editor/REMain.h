#pragma once
// The rich-text editor window: a small word processor whose document the
// tree can link to. Created once, hidden when closed, never destroyed before
// the program ends.
#include "editor/Regla.h"

#include <QMainWindow>
#include <QString>

#include <memory>
#include <optional>
#include <string>

class Arbol;
class IUsuario;
class TDocumento;
struct TextoEditor;
class QAction;
class QActionGroup;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QFrame;
class QLabel;
class QSpinBox;
class QTextEdit;
class QWidget;

class TFormEditor : public QMainWindow {
    Q_OBJECT
public:
    // documento: the document whose tree links to the editor's document
    // ("Guardar como..." sets the link); its user port answers the editor's
    // questions and file dialogs unless PonUsuario gives another. Without one
    // the editor works on its own.
    explicit TFormEditor(TDocumento* documento = nullptr, QWidget* parent = nullptr);
    ~TFormEditor() override;

    void PonUsuario(IUsuario* usuario);

    // --- What the main window calls ----------------------------------------
    // Asks "¿Desea guardar el fichero del editor?" when the text is modified.
    // False when the user cancels (the caller stops); a failed save raises.
    bool AskSaveChanges();
    // Empties the editor; asks nothing.
    void FileNew();
    // Loads RTF, or plain text when the file is not RTF. Raises EInOutError
    // when the file cannot be read; the text and the name then stay as they were.
    void LoadDocument(const QString& ruta, bool foco);
    // The document while it has changes not yet saved: its path (empty while
    // untitled) and its text as FileSave would write it; nullopt when saved.
    std::optional<TextoEditor> TextoSinGuardar() const;
    // Puts back a document's unsaved text under its path ("Sin título" when
    // empty), marked as changed, so that closing asks to save it.
    void Recupera(const TextoEditor& documento);

    // --- Commands (public so tests and the main window can drive them) ------
    // Each returns whether the document was written.
    bool FileSave();
    bool FileSaveAs();
    void FileOpen();
    void FilePrint();
    void FileExit();
    void SelectFont();
    // Files dropped on the window: only the first is loaded.
    void DropFiles(const QStringList& rutas);
    // The application-wide hint: a text replaces the three status panels, empty restores them.
    void ShowHint(const QString& hint);

    const QString& DocumentName() const { return DocumentName_; }

    // Controls, named as the window's layout names them.
    QTextEdit* Editor = nullptr;
    QComboBox* FontName = nullptr;
    QSpinBox* FontSize = nullptr;
    QAction* BoldButton = nullptr;
    QAction* ItalicButton = nullptr;
    QAction* UnderlineButton = nullptr;
    QAction* LeftAlign = nullptr;
    QAction* CenterAlign = nullptr;
    QAction* RightAlign = nullptr;
    QAction* BulletsButton = nullptr;
    QAction* CutAction = nullptr;
    QAction* CopyAction = nullptr;
    QAction* PasteAction = nullptr;
    QAction* UndoAction = nullptr;
    QWidget* Ruler = nullptr;
    QWidget* FirstInd = nullptr;
    QWidget* LeftInd = nullptr;
    QWidget* RightInd = nullptr;
    QFrame* RulerLine = nullptr;
    QLabel* StatusPanel[3] = {nullptr, nullptr, nullptr};

signals:
    // The text or its formatting changed.
    void TextoCambiado();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void SelectionChange();
    void ShowFileName(const QString& ruta);
    void ShowCaretPosition();
    void ShowModifiedState(bool modificado);
    void ActionList2Update();
    void SetTextMargins();
    void RulerResize();
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void FontSizeChange();
    void FontNameChange();
    void AlignButtonClick(QAction* boton);
    void BulletsButtonClick();
    void RulerItemMouseDown(QWidget* marca, int x);
    void RulerItemMouseMove(QWidget* marca, int x);
    void FirstIndMouseUp();
    void LeftIndMouseUp();
    void RightIndMouseUp();
    SangriasPuntos SangriasActuales() const;
    void PonSangrias(const SangriasPuntos& s);
    IUsuario& Usuario();
    // The attributes an empty document starts with; leaves nothing to undo.
    void FormatoInicial();
    // Where the open and save dialogs start.
    std::string CarpetaDialogos() const;
    // Local files a drag carries; empty when it carries none.
    static QStringList FicherosArrastrados(const QDropEvent* e);
    // Runs a command from a menu or button: errors go to the error box.
    template <class F> void Orden(F&& f);

    QString DocumentName_;
    bool Updating = false;
    int DragOffset = 0;
    bool Dragging = false;
    TDocumento* doc_ = nullptr;
    IUsuario* usuario_ = nullptr;
    std::unique_ptr<IUsuario> usuarioQt_;
};
