// Loading and saving a long editor document must not keep the user waiting.
#include "editor/Rtf.h"

#include <benchmark/benchmark.h>

namespace {

// About 1 MB of RTF: paragraphs of mixed runs, accents and a bullet list.
DocumentoRtf DocumentoLargo()
{
    DocumentoRtf d;
    FormatoTexto titulo;
    titulo.Fuente = "Arial";
    titulo.Negrita = true;
    FormatoTexto cuerpo;
    cuerpo.Fuente = "Times New Roman";
    cuerpo.MediosPuntos = 22;
    cuerpo.Color = 0x0000FF;
    for (int i = 0; i < 4000; ++i) {
        Parrafo p;
        p.Lista = i % 7 == 0 ? TipoLista::Vinyeta : TipoLista::Ninguna;
        p.Alin = static_cast<Alineacion>(i % 4);
        p.Izquierda = (i % 3) * 360;
        cuerpo.Cursiva = i % 2 == 0;
        p.Tramos.push_back({"Decisión número " + std::to_string(i) + ": ", titulo, std::nullopt});
        p.Tramos.push_back({"el valor esperado de la alternativa elegida supera al de las demás en un margen que "
                            "justifica la inversión; riesgo € y probabilidad ≥ 0,5.",
                            cuerpo, std::nullopt});
        d.Parrafos.push_back(std::move(p));
    }
    return d;
}

void BM_LeerRtf(benchmark::State& s)
{
    const std::string rtf = EscribirRtf(DocumentoLargo());
    for (auto _ : s)
        benchmark::DoNotOptimize(LeerRtf(rtf));
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * rtf.size()));
}
BENCHMARK(BM_LeerRtf)->Unit(benchmark::kMillisecond);

// A note with a 4 MB photograph: 8 MB of hexadecimal digits in the file.
std::string NotaConFoto()
{
    DocumentoRtf d = DocumentoLargo();
    ImagenRtf foto;
    foto.Tipo = TipoImagen::Jpeg;
    foto.Datos.resize(size_t{4} << 20);
    for (size_t k = 0; k < foto.Datos.size(); ++k)
        foto.Datos[k] = static_cast<char>(k * 2654435761u >> 13);
    foto.AnchoDeseado = 7200;
    foto.AltoDeseado = 4800;
    d.Parrafos[10].Tramos.push_back({std::string(), FormatoTexto(), std::move(foto)});
    return EscribirRtf(d);
}

void BM_LeerRtfConFoto(benchmark::State& s)
{
    const std::string rtf = NotaConFoto();
    for (auto _ : s)
        benchmark::DoNotOptimize(LeerRtf(rtf));
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * rtf.size()));
}
BENCHMARK(BM_LeerRtfConFoto)->Unit(benchmark::kMillisecond);

void BM_EscribirRtf(benchmark::State& s)
{
    const DocumentoRtf d = DocumentoLargo();
    for (auto _ : s)
        benchmark::DoNotOptimize(EscribirRtf(d));
}
BENCHMARK(BM_EscribirRtf)->Unit(benchmark::kMillisecond);

} // namespace
