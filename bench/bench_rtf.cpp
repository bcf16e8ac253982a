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

void BM_EscribirRtf(benchmark::State& s)
{
    const DocumentoRtf d = DocumentoLargo();
    for (auto _ : s)
        benchmark::DoNotOptimize(EscribirRtf(d));
}
BENCHMARK(BM_EscribirRtf)->Unit(benchmark::kMillisecond);

} // namespace
