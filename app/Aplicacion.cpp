#include "app/Aplicacion.h"

#include "common/Decimal.h"
#include "common/Errores.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

TAplicacion::TAplicacion(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("NEMOR"));
    // The desktop entry the installed program comes with: the desktop shows its icon for our windows.
    setDesktopFileName(QStringLiteral("es.nemor.Nemor"));
    // Window captions stay exactly as the program gives them.
    setApplicationDisplayName(QStringLiteral(""));
    CargaTraducciones(QLocale::system());
    // Numbers are read and written with the user's own decimal separator.
    FijaSeparadorDecimal(QLocale::system().decimalPoint() == QStringLiteral(",") ? ',' : '.');
}

bool TAplicacion::notify(QObject* receptor, QEvent* evento)
{
    bool resultado = false;
    MuestraError(Intenta([&] { resultado = QApplication::notify(receptor, evento); }));
    return resultado;
}

namespace {

void CajaError(const std::string& mensaje)
{
    const std::string texto = TextoCajaError(mensaje);
    QMessageBox caja(QMessageBox::Critical, QStringLiteral("NEMOR"), QString::fromUtf8(texto), QMessageBox::Ok,
                     QApplication::activeWindow());
    caja.setObjectName(QStringLiteral("CajaError"));
    caja.exec();
}

constexpr const char* kErrorDesconocido = "Error desconocido";

} // namespace

void MuestraExcepcion(const std::exception* e) { CajaError(e ? e->what() : kErrorDesconocido); }

void MuestraError(const std::exception_ptr& error)
{
    if (!error)
        return;
    std::string mensaje = kErrorDesconocido;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        mensaje = e.what();
    } catch (...) {
    }
    CajaError(mensaje);
}

QString CargaTraducciones(const QLocale& locale)
{
    static QTranslator* actual = nullptr;
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* t = new QTranslator(qApp);
    QString idioma;
    if (t->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), carpeta))
        idioma = t->language().isEmpty() ? locale.name() : t->language();
    else if (t->load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"), QStringLiteral("_"), carpeta))
        idioma = QStringLiteral("es");
    if (idioma.isEmpty()) {
        delete t;
        return idioma;
    }
    if (actual) {
        QCoreApplication::removeTranslator(actual);
        delete actual;
    }
    QCoreApplication::installTranslator(t);
    actual = t;
    return idioma;
}
