#pragma once
// Helpers for GUI tests that meet modal windows: the test hands a function to
// run on the next modal window that opens, then does what opens it.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Failed comparisons of texts show the texts.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Runs f on the next modal window, from inside its own event loop. f must close it.
inline void AlAbrirseModal(std::function<void(QWidget*)> f)
{
    auto tiempo = std::make_shared<QElapsedTimer>();
    tiempo->start();
    auto sondeo = std::make_shared<std::function<void()>>();
    *sondeo = [f, sondeo, tiempo]() {
        if (QWidget* w = QApplication::activeModalWidget()) {
            f(w);
            *sondeo = nullptr; // break the cycle
            return;
        }
        if (tiempo->elapsed() > 5000) {
            *sondeo = nullptr;
            return;
        }
        QTimer::singleShot(10, *sondeo);
    };
    QTimer::singleShot(0, *sondeo);
}

// Answers the next message box with a button and keeps its text.
inline void Responde(QMessageBox::StandardButton boton, QString* texto = nullptr)
{
    AlAbrirseModal([boton, texto](QWidget* w) {
        auto* caja = qobject_cast<QMessageBox*>(w);
        if (!caja) {
            ADD_FAILURE() << "a message box was expected, not " << w->metaObject()->className();
            w->close();
            return;
        }
        if (texto)
            *texto = caja->text();
        caja->button(boton)->click();
    });
}

// Answers the next text-input box with respuesta.
inline void RespondeTexto(const QString& respuesta)
{
    AlAbrirseModal([respuesta](QWidget* w) {
        auto* d = qobject_cast<QInputDialog*>(w);
        if (!d) {
            ADD_FAILURE() << "a text box was expected, not " << w->metaObject()->className();
            w->close();
            return;
        }
        d->setTextValue(respuesta);
        d->accept();
    });
}

// Lets queued events and timers run for a while.
inline void Espera(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}
