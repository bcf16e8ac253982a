#pragma once
// A scripted user for core tests: answers from queues and records every
// question, so a test checks both the effect of an answer and its wording.
#include "common/Usuario.h"

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

class UsuarioGuion : public IUsuario {
public:
    struct Llamada {
        std::string tipo; // "Pregunta", "PideTexto", "Error", "Mensaje", "Abrir", "Guardar"
        std::string titulo;
        std::string texto;
        Botones botones = Botones::Ok;
        Icono icono = Icono::Ninguno;
    };

    std::vector<Llamada> llamadas;
    std::deque<Respuesta> respuestas;                  // for Pregunta
    std::deque<std::optional<std::string>> textos;     // for PideTexto: nullopt = cancel
    std::deque<std::optional<std::string>> ficheros;   // for AbrirFichero / GuardarFichero
    std::vector<std::string> progreso;                 // texts shown in the progress window
    bool progresoVisible = false;

    Respuesta Pregunta(const std::string& titulo, const std::string& texto, Botones b, Icono i) override
    {
        llamadas.push_back({"Pregunta", titulo, texto, b, i});
        if (respuestas.empty())
            throw std::logic_error("pregunta sin respuesta en el guion: " + texto);
        Respuesta r = respuestas.front();
        respuestas.pop_front();
        return r;
    }
    bool PideTexto(const std::string& titulo, const std::string& rotulo, std::string& texto) override
    {
        llamadas.push_back({"PideTexto", titulo, rotulo, Botones::Ok, Icono::Ninguno});
        if (textos.empty())
            throw std::logic_error("petición de texto sin respuesta en el guion: " + rotulo);
        auto t = textos.front();
        textos.pop_front();
        if (!t)
            return false;
        texto = *t;
        return true;
    }
    void Error(const std::string& texto) override { llamadas.push_back({"Error", "", texto, Botones::Ok, Icono::Error}); }
    void Mensaje(const std::string& titulo, const std::string& texto, Icono i) override
    {
        llamadas.push_back({"Mensaje", titulo, texto, Botones::Ok, i});
    }
    std::optional<std::string> AbrirFichero(const DialogoFichero& d) override { return Fichero("Abrir", d); }
    std::optional<std::string> GuardarFichero(const DialogoFichero& d) override { return Fichero("Guardar", d); }
    void ProgresoMostrar(const std::string& texto) override
    {
        progreso.push_back(texto);
        progresoVisible = true;
    }
    void ProgresoPosicion(int) override {}
    void ProgresoOcultar() override { progresoVisible = false; }

    // The texts of every call of one kind, in order.
    std::vector<std::string> Textos(const std::string& tipo) const
    {
        std::vector<std::string> r;
        for (const auto& l : llamadas)
            if (l.tipo == tipo)
                r.push_back(l.texto);
        return r;
    }

    // The value dialog: records the caption, entries and initial text of each
    // showing, then answers from textos like the text-input box.
    struct Dato {
        std::string rotulo;
        std::vector<std::string> lista;
        std::string inicial;
    };
    std::vector<Dato> datos;
    bool PideDato(const std::string& rotulo, const std::vector<std::string>& lista, std::string& texto) override
    {
        datos.push_back({rotulo, lista, texto});
        llamadas.push_back({"PideDato", "Dato", rotulo, Botones::Ok, Icono::Ninguno});
        if (textos.empty())
            throw std::logic_error("diálogo de dato sin respuesta en el guion: " + rotulo);
        auto t = textos.front();
        textos.pop_front();
        if (!t)
            return false;
        texto = *t;
        return true;
    }

private:
    std::optional<std::string> Fichero(const char* tipo, const DialogoFichero& d)
    {
        llamadas.push_back({tipo, d.Titulo, d.Filtro, Botones::Ok, Icono::Ninguno});
        if (ficheros.empty())
            throw std::logic_error(std::string("diálogo de fichero sin respuesta en el guion: ") + tipo);
        auto f = ficheros.front();
        ficheros.pop_front();
        return f;
    }
};
