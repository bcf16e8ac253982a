#pragma once
// The application object. Every handler catches its own errors (Protegido
// below); notify is only the last net: an exception that still escaped one is
// shown in the standard error box, and the program goes on.
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
// The same for an error kept by Intenta; nothing for null.
void MuestraError(const std::exception_ptr& error);

// Runs a command and keeps what it raised instead of letting it go on; null
// when the command ran to its end.
template <class F> std::exception_ptr Intenta(F&& orden) noexcept
{
    try {
        orden();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

// Runs a command from a slot and shows any error it raises in the standard
// error box: an exception must never leave a slot (Qt cannot unwind through
// its signal machinery). Returns false when the command raised.
template <class F> bool Protegido(F&& orden)
{
    const std::exception_ptr error = Intenta(orden);
    // Shown once the handler is left: no exception is alive while the box runs its event loop.
    MuestraError(error);
    return !error;
}

// The same for a command that owes the windows something even when it fails
// halfway (earlier effects stay, so they must be shown): despues runs after
// orden whether or not orden raised, and only then is the error shown, over
// windows that already show what the command left.
template <class F, class G> bool Protegido(F&& orden, G&& despues)
{
    const std::exception_ptr error = Intenta(orden);
    const std::exception_ptr errorDespues = Intenta(despues);
    MuestraError(error ? error : errorDespues);
    return !error && !errorDespues;
}

// Loads Qt's own translations for the locale, so the standard buttons and
// dialogs speak its language; when Qt has none for it, Spanish, the program's
// own language. Returns the language loaded (empty when none could be).
QString CargaTraducciones(const QLocale& locale);
