#pragma once
// The application object: every event goes through notify, so an exception
// escaping any handler ends up here, is shown in the standard error box, and
// the program goes on.
#include <QApplication>
#include <QLocale>

#include <exception>

class TAplicacion : public QApplication {
    Q_OBJECT
public:
    TAplicacion(int& argc, char** argv);
    bool notify(QObject* receptor, QEvent* evento) override;
};

// Shows an exception in the standard error box: its message with the final
// "." rule, "NEMOR" as caption, the error icon and one OK button. Null for an
// exception that carries no message.
void MuestraExcepcion(const std::exception* e);

// Runs a command from a slot and shows any error it raises in the standard
// error box: an exception must never leave a slot (Qt cannot unwind through
// its signal machinery). Returns false when the command raised.
template <class F> bool Protegido(F&& orden)
{
    try {
        orden();
        return true;
    } catch (const std::exception& e) {
        MuestraExcepcion(&e);
    } catch (...) {
        MuestraExcepcion(nullptr);
    }
    return false;
}

// Loads Qt's own translations for the locale, so the standard buttons and
// dialogs speak its language; when Qt has none for it, Spanish, the program's
// own language. Returns the language loaded (empty when none could be).
QString CargaTraducciones(const QLocale& locale);
