#include "editor/RtfQt.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <cmath>

namespace {

// Indents: the text control counts pixels at 96 per inch, RTF twips (1440 per inch).
constexpr double kTwipsPorPixel = 15.0;

int32_t ATwips(double pixeles) { return static_cast<int32_t>(std::lround(pixeles * kTwipsPorPixel)); }
double APixeles(int32_t twips) { return twips / kTwipsPorPixel; }

QString Familia(const QTextCharFormat& f, const QFont& defecto)
{
    const QStringList familias = f.fontFamilies().toStringList();
    if (!familias.isEmpty() && !familias.first().isEmpty())
        return familias.first();
    return defecto.family();
}

double Puntos(const QTextCharFormat& f, const QFont& defecto)
{
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        return f.fontPointSize();
    return defecto.pointSizeF() > 0 ? defecto.pointSizeF() : 12.0;
}

// Characters of the control's own that have no place in the file.
QString TextoDeFragmento(QString t)
{
    t.remove(QChar::ObjectReplacementCharacter);
    t.remove(QChar(0xFDD0));
    t.remove(QChar(0xFDD1));
    return t;
}

} // namespace

QTextListFormat FormatoVinyeta()
{
    QTextListFormat f;
    f.setStyle(QTextListFormat::ListDisc);
    f.setIndent(1);
    return f;
}

DocumentoRtf DocumentoDesdeQt(const QTextDocument& documento)
{
    const QFont defecto = documento.defaultFont();
    DocumentoRtf r;
    for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
        Parrafo p;
        const QTextBlockFormat bf = b.blockFormat();
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignRight)
            p.Alin = Alineacion::Derecha;
        else if (a & Qt::AlignHCenter)
            p.Alin = Alineacion::Centro;
        else if (a & Qt::AlignJustify)
            p.Alin = Alineacion::Justificada;
        p.Izquierda = ATwips(bf.leftMargin());
        p.PrimeraLinea = ATwips(bf.textIndent());
        p.Derecha = ATwips(bf.rightMargin());
        p.Vinyeta = b.textList() != nullptr;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fr = it.fragment();
            if (!fr.isValid())
                continue;
            const QString texto = TextoDeFragmento(fr.text());
            if (texto.isEmpty())
                continue;
            const QTextCharFormat cf = fr.charFormat();
            FormatoTexto f;
            f.Fuente = Familia(cf, defecto).toStdString();
            f.MediosPuntos = static_cast<int32_t>(std::lround(Puntos(cf, defecto) * 2));
            f.Negrita = cf.hasProperty(QTextFormat::FontWeight) ? cf.fontWeight() >= QFont::DemiBold : defecto.bold();
            f.Cursiva = cf.hasProperty(QTextFormat::FontItalic) ? cf.fontItalic() : defecto.italic();
            f.Subrayado = cf.fontUnderline();
            if (cf.hasProperty(QTextFormat::ForegroundBrush) && cf.foreground().style() != Qt::NoBrush) {
                const QColor c = cf.foreground().color();
                f.Color = c.red() | (c.green() << 8) | (c.blue() << 16);
            }
            const std::string u = texto.toStdString();
            if (!p.Tramos.empty() && p.Tramos.back().Formato == f)
                p.Tramos.back().Texto += u;
            else
                p.Tramos.push_back({u, f});
        }
        r.Parrafos.push_back(std::move(p));
    }
    if (r.Parrafos.empty())
        r.Parrafos.emplace_back();
    return r;
}

void DocumentoAQt(const DocumentoRtf& origen, QTextDocument& documento)
{
    const QFont defecto = documento.defaultFont();
    const bool deshacer = documento.isUndoRedoEnabled();
    documento.setUndoRedoEnabled(false);
    documento.clear();
    QTextCursor c(&documento);
    c.beginEditBlock();
    QTextList* lista = nullptr;
    bool primero = true;
    for (const Parrafo& p : origen.Parrafos) {
        QTextBlockFormat bf;
        switch (p.Alin) {
        case Alineacion::Derecha:
            bf.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
            break;
        case Alineacion::Centro:
            bf.setAlignment(Qt::AlignHCenter);
            break;
        case Alineacion::Justificada:
            bf.setAlignment(Qt::AlignJustify);
            break;
        default:
            bf.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
            break;
        }
        bf.setLeftMargin(APixeles(p.Izquierda));
        bf.setTextIndent(APixeles(p.PrimeraLinea));
        bf.setRightMargin(APixeles(p.Derecha));
        if (primero)
            c.setBlockFormat(bf);
        else
            c.insertBlock(bf, QTextCharFormat());
        primero = false;
        if (p.Vinyeta) {
            if (lista)
                lista->add(c.block());
            else
                lista = c.createList(FormatoVinyeta());
        } else {
            lista = nullptr;
        }
        for (const TramoTexto& t : p.Tramos) {
            const FormatoTexto& f = t.Formato;
            QTextCharFormat cf;
            cf.setFontFamilies(QStringList{f.Fuente.empty() ? defecto.family() : QString::fromStdString(f.Fuente)});
            cf.setFontPointSize(f.MediosPuntos / 2.0);
            cf.setFontWeight(f.Negrita ? QFont::Bold : QFont::Normal);
            cf.setFontItalic(f.Cursiva);
            cf.setFontUnderline(f.Subrayado);
            if (f.Color >= 0)
                cf.setForeground(QColor(f.Color & 0xFF, (f.Color >> 8) & 0xFF, (f.Color >> 16) & 0xFF));
            c.insertText(QString::fromStdString(t.Texto), cf);
        }
    }
    c.endEditBlock();
    documento.setUndoRedoEnabled(deshacer);
    documento.setModified(false);
}
