#pragma once
// The user manual: a help window over the compiled Qt Help collection
// (nemor.qhc, built from doc/), with its contents, index and full-text search,
// opened by "Manual de usuario" and by F1 at the page of the window in use.
#include <QMainWindow>
#include <QTextBrowser>
#include <QUrl>

class QHelpEngine;
class QLineEdit;
class QTabWidget;

// The shipped collection: beside the program in a build folder (doc/), under
// share/nemor/ayuda once installed; the environment variable NEMOR_AYUDA names
// another. Empty when there is none.
QString RutaManual();

// The page identifier (a keyword id of doc/nemor.qhp) of the window w belongs
// to: "ventana.variables" for the variables window and so on; the main
// window's for anything else.
QString IdentificadorAyuda(const QWidget* w);

// Shows the pages of the help engine, qthelp:// addresses included.
class VisorAyuda : public QTextBrowser {
    Q_OBJECT
public:
    VisorAyuda(QHelpEngine* motor, QWidget* parent);
    QVariant loadResource(int tipo, const QUrl& nombre) override;

private:
    QHelpEngine* motor_;
};

class TFormAyuda : public QMainWindow {
    Q_OBJECT
public:
    // coleccion: the shipped nemor.qhc. The window works on a copy in the
    // user's cache folder, where the search index can be written.
    explicit TFormAyuda(const QString& coleccion, QWidget* parent = nullptr);
    ~TFormAyuda() override;

    // Whether the collection could be opened.
    bool Valido() const { return valido_; }
    // Shows the page of a keyword id; false when the manual has none.
    bool MuestraIdentificador(const QString& id);
    void MuestraPagina(const QUrl& url);
    QUrl PaginaActual() const;
    QHelpEngine* Motor() const { return motor_; }

    QTabWidget* Pestanas = nullptr;
    QLineEdit* BuscaIndice = nullptr;
    VisorAyuda* Visor = nullptr;

protected:
    void hideEvent(QHideEvent* e) override;

private:
    // Selects the page shown in the contents.
    void MarcaEnContenido();

    QHelpEngine* motor_ = nullptr;
    bool valido_ = false;
};

// The help window, made on first use; null until then.
TFormAyuda* FormAyuda();

// Opens the manual at the page of id, over the window desde. Where the compiled
// manual is missing, says so in a message box instead.
void AbreManual(QWidget* desde, const QString& id = QStringLiteral("nemor.inicio"));

// F1 anywhere in the program opens the manual at the page of the active window.
void InstalaTeclaAyuda(QWidget* ventanaPrincipal);
