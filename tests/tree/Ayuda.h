#pragma once
// Small helpers shared by the tree-file and document tests.
#include "common/Cp1252.h"
#include "common/EscrituraSegura.h"
#include "tree/Arbol.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// A fresh folder per test, removed afterwards; NEMOR_INI points inside it.
class CarpetaTemporal {
public:
    CarpetaTemporal()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string nombre = std::string("nemor_") + (info ? info->test_suite_name() : "x") + "_" +
                             (info ? info->name() : "y");
        for (char& c : nombre)
            if (c == '/')
                c = '_';
        ruta_ = std::filesystem::temp_directory_path() / nombre;
        std::filesystem::remove_all(ruta_);
        std::filesystem::create_directories(ruta_);
        const char* previo = std::getenv("NEMOR_INI");
        iniPrevio_ = previo ? previo : "";
        ::setenv("NEMOR_INI", Ruta("NEMOR.ini").c_str(), 1);
    }
    ~CarpetaTemporal()
    {
        std::error_code ec;
        std::filesystem::permissions(ruta_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(ruta_, ec);
        ::setenv("NEMOR_INI", iniPrevio_.c_str(), 1);
    }
    std::string Ruta(const std::string& nombre) const { return (ruta_ / nombre).string(); }
    // Names of the files in the folder.
    std::vector<std::string> Ficheros() const
    {
        std::vector<std::string> r;
        for (const auto& e : std::filesystem::directory_iterator(ruta_))
            r.push_back(e.path().filename().string());
        std::sort(r.begin(), r.end());
        return r;
    }

private:
    std::filesystem::path ruta_;
    std::string iniPrevio_;
};

inline std::string Lee(const std::string& ruta)
{
    std::string s;
    EXPECT_TRUE(LeeFicheroEntero(ruta, s)) << ruta;
    return s;
}

// A file's lines (CR LF ends removed), converted to UTF-8.
inline std::vector<std::string> Lineas(const std::string& bytes)
{
    std::vector<std::string> r;
    size_t i = 0;
    while (i < bytes.size()) {
        size_t f = bytes.find("\r\n", i);
        if (f == std::string::npos)
            f = bytes.size();
        r.push_back(Cp1252AUtf8(bytes.substr(i, f - i)));
        i = f + 2;
    }
    return r;
}

// Lines (UTF-8) to file bytes.
inline std::string Bytes(const std::vector<std::string>& lineas)
{
    std::string s;
    for (const auto& l : lineas)
        s += Utf8ACp1252(l) + "\r\n";
    return s;
}

// Builds a child of padre as the editing commands do.
inline uint16_t NuevoHijo(Arbol& a, uint16_t padre, uint8_t tipo = NodoTerminal)
{
    return a.NuevoHijo(padre, tipo);
}

// Every structural promise of the table: no slot or position refers to a node that was not built.
inline void CompruebaTabla(const Arbol& a)
{
    ASSERT_NE(a.Nodo(0), nullptr);
    ASSERT_GE(a.UltimaPosicion, 0);
    ASSERT_LE(a.UltimaPosicion, MaxNumeroNodo);
    EXPECT_EQ(a.ListaOrden[0], 0);
    std::vector<bool> enLista(MaxNumeroNodo + 1, false);
    for (int p = 0; p <= a.UltimaPosicion; ++p) {
        const uint16_t n = a.ListaOrden[p];
        ASSERT_NE(a.Nodo(n), nullptr) << "posición " << p;
        EXPECT_FALSE(enLista[n]);
        enLista[n] = true;
        EXPECT_LE(n, a.UltimoIndice);
    }
    for (int n = 0; n <= MaxNumeroNodo; ++n)
        EXPECT_EQ(a.Nodo(n) != nullptr, static_cast<bool>(enLista[n])) << "hueco " << n;
}
