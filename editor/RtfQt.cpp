#include "editor/RtfQt.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QLocale>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>

namespace {

// Lengths: the text control counts pixels at 96 per inch, RTF twips (1440 per inch).
constexpr double kTwipsPorPixel = 15.0;
// Pictures are named in the control's resources with this scheme.
const QString kEsquemaImagen = QStringLiteral("nemor-imagen");
// A picture is never shown larger than this many pixels a side, whatever its file says.
constexpr double kLadoImagenMax = 8448;

// A picture's format carries the picture as the file held it, so that saving
// writes back the same bytes and sizes.
enum PropiedadImagen : int {
    kDatos = QTextFormat::UserProperty + 1,
    kTipo,
    kAncho,
    kAlto,
    kAnchoDeseado,
    kAltoDeseado,
    kEscalaX,
    kEscalaY,
};

int32_t ATwips(double pixeles) { return static_cast<int32_t>(std::lround(pixeles * kTwipsPorPixel)); }
double APixeles(int32_t twips) { return twips / kTwipsPorPixel; }

int32_t AColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }
QColor DeColor(int32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

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

struct ParSubrayado {
    EstiloSubrayado nuestro;
    QTextCharFormat::UnderlineStyle qt;
};
constexpr ParSubrayado kSubrayados[] = {
    {EstiloSubrayado::Continuo, QTextCharFormat::SingleUnderline},
    {EstiloSubrayado::Puntos, QTextCharFormat::DotLine},
    {EstiloSubrayado::Guiones, QTextCharFormat::DashUnderline},
    {EstiloSubrayado::PuntoGuion, QTextCharFormat::DashDotLine},
    {EstiloSubrayado::PuntoPuntoGuion, QTextCharFormat::DashDotDotLine},
    {EstiloSubrayado::Ondulado, QTextCharFormat::WaveUnderline},
};

struct ParLista {
    TipoLista nuestro;
    QTextListFormat::Style qt;
};
constexpr ParLista kListas[] = {
    {TipoLista::Vinyeta, QTextListFormat::ListDisc},
    {TipoLista::Decimal, QTextListFormat::ListDecimal},
    {TipoLista::LetraMinuscula, QTextListFormat::ListLowerAlpha},
    {TipoLista::LetraMayuscula, QTextListFormat::ListUpperAlpha},
    {TipoLista::RomanoMinuscula, QTextListFormat::ListLowerRoman},
    {TipoLista::RomanoMayuscula, QTextListFormat::ListUpperRoman},
};

FormatoTexto FormatoDesdeQt(const QTextCharFormat& cf, const QFont& defecto)
{
    FormatoTexto f;
    f.Fuente = Familia(cf, defecto).toStdString();
    f.MediosPuntos = static_cast<int32_t>(std::lround(Puntos(cf, defecto) * 2));
    f.Negrita = cf.hasProperty(QTextFormat::FontWeight) ? cf.fontWeight() >= QFont::DemiBold : defecto.bold();
    f.Cursiva = cf.hasProperty(QTextFormat::FontItalic) ? cf.fontItalic() : defecto.italic();
    const QTextCharFormat::UnderlineStyle u = cf.hasProperty(QTextFormat::TextUnderlineStyle)
                                                  ? cf.underlineStyle()
                                                  : (cf.fontUnderline() ? QTextCharFormat::SingleUnderline
                                                                        : QTextCharFormat::NoUnderline);
    if (u != QTextCharFormat::NoUnderline) {
        f.Subrayado = true;
        // The spell-check pattern is drawn as a wave.
        f.Estilo = EstiloSubrayado::Ondulado;
        for (const ParSubrayado& p : kSubrayados)
            if (p.qt == u)
                f.Estilo = p.nuestro;
    }
    f.Tachado = cf.hasProperty(QTextFormat::FontStrikeOut) ? cf.fontStrikeOut() : defecto.strikeOut();
    switch (cf.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        f.Posicion = PosicionVertical::Superindice;
        break;
    case QTextCharFormat::AlignSubScript:
        f.Posicion = PosicionVertical::Subindice;
        break;
    default:
        break;
    }
    switch (cf.fontCapitalization()) {
    case QFont::AllUppercase:
        f.Mayus = Mayusculas::Todas;
        break;
    case QFont::SmallCaps:
        f.Mayus = Mayusculas::Versalitas;
        break;
    default:
        break;
    }
    if (cf.hasProperty(QTextFormat::FontLetterSpacing) && cf.fontLetterSpacingType() == QFont::AbsoluteSpacing)
        f.Espaciado = ATwips(cf.fontLetterSpacing());
    if (cf.hasProperty(QTextFormat::ForegroundBrush) && cf.foreground().style() != Qt::NoBrush)
        f.Color = AColor(cf.foreground().color());
    if (cf.hasProperty(QTextFormat::BackgroundBrush) && cf.background().style() != Qt::NoBrush)
        f.Fondo = AColor(cf.background().color());
    return f;
}

QTextCharFormat FormatoAQt(const FormatoTexto& f, const QFont& defecto)
{
    QTextCharFormat cf;
    cf.setFontFamilies(QStringList{f.Fuente.empty() ? defecto.family() : QString::fromStdString(f.Fuente)});
    cf.setFontPointSize(f.MediosPuntos / 2.0);
    cf.setFontWeight(f.Negrita ? QFont::Bold : QFont::Normal);
    cf.setFontItalic(f.Cursiva);
    cf.setUnderlineStyle(QTextCharFormat::NoUnderline);
    if (f.Subrayado)
        for (const ParSubrayado& p : kSubrayados)
            if (p.nuestro == f.Estilo)
                cf.setUnderlineStyle(p.qt);
    cf.setFontStrikeOut(f.Tachado);
    if (f.Posicion == PosicionVertical::Superindice)
        cf.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (f.Posicion == PosicionVertical::Subindice)
        cf.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (f.Mayus == Mayusculas::Todas)
        cf.setFontCapitalization(QFont::AllUppercase);
    else if (f.Mayus == Mayusculas::Versalitas)
        cf.setFontCapitalization(QFont::SmallCaps);
    if (f.Espaciado != 0) {
        cf.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        cf.setFontLetterSpacing(APixeles(f.Espaciado));
    }
    if (f.Color >= 0)
        cf.setForeground(DeColor(f.Color));
    if (f.Fondo >= 0)
        cf.setBackground(DeColor(f.Fondo));
    return cf;
}

// --- Pictures ---------------------------------------------------------------

QImage ImagenDeRecurso(const QVariant& v)
{
    if (v.userType() == QMetaType::QImage)
        return v.value<QImage>();
    if (v.userType() == QMetaType::QPixmap)
        return v.value<QPixmap>().toImage();
    if (v.userType() == QMetaType::QByteArray)
        return QImage::fromData(v.toByteArray());
    return QImage();
}

std::optional<ImagenRtf> ImagenDesdeQt(const QTextImageFormat& f, const QTextDocument& documento)
{
    ImagenRtf im;
    if (f.hasProperty(kDatos)) {
        const QByteArray datos = f.property(kDatos).toByteArray();
        im.Datos.assign(datos.constData(), static_cast<size_t>(datos.size()));
        im.Tipo = f.intProperty(kTipo) == static_cast<int>(TipoImagen::Jpeg) ? TipoImagen::Jpeg : TipoImagen::Png;
        im.Ancho = f.intProperty(kAncho);
        im.Alto = f.intProperty(kAlto);
        im.AnchoDeseado = f.intProperty(kAnchoDeseado);
        im.AltoDeseado = f.intProperty(kAltoDeseado);
        im.EscalaX = f.intProperty(kEscalaX);
        im.EscalaY = f.intProperty(kEscalaY);
        return im;
    }
    // A link to a picture of another document: nothing here to save.
    if (QUrl(f.name()).scheme() == kEsquemaImagen)
        return std::nullopt;
    // A picture that came in some other way: written as PNG at the size it is shown.
    const QImage imagen = ImagenDeRecurso(documento.resource(QTextDocument::ImageResource, QUrl(f.name())));
    if (imagen.isNull())
        return std::nullopt;
    QByteArray png;
    QBuffer b(&png);
    b.open(QIODevice::WriteOnly);
    if (!imagen.save(&b, "PNG"))
        return std::nullopt;
    im.Datos.assign(png.constData(), static_cast<size_t>(png.size()));
    im.Ancho = imagen.width();
    im.Alto = imagen.height();
    im.AnchoDeseado = ATwips(f.width() > 0 ? f.width() : imagen.width());
    im.AltoDeseado = ATwips(f.height() > 0 ? f.height() : imagen.height());
    return im;
}

// The size the picture is shown at: the file's size to show when it gives
// one, else the picture's own, scaled; one side given keeps the proportions.
QSizeF TamanyoImagen(const ImagenRtf& im, QSize nativo)
{
    double w = im.AnchoDeseado > 0 ? APixeles(im.AnchoDeseado) : 0;
    double h = im.AltoDeseado > 0 ? APixeles(im.AltoDeseado) : 0;
    if (nativo.width() > 0 && nativo.height() > 0) {
        if (w <= 0 && h <= 0) {
            w = nativo.width();
            h = nativo.height();
        } else if (w <= 0) {
            w = h * nativo.width() / nativo.height();
        } else if (h <= 0) {
            h = w * nativo.height() / nativo.width();
        }
    }
    w *= std::max(1, im.EscalaX) / 100.0;
    h *= std::max(1, im.EscalaY) / 100.0;
    return QSizeF(std::min(w, kLadoImagenMax), std::min(h, kLadoImagenMax));
}

// Decodes pictures for the control, once each: the control would otherwise
// decode the bytes at every repaint. A picture keeps no more pixels than it
// needs to be shown sharply (twice the size shown, for fine screens and for
// printing), and the pictures of one document together no more than a
// budget, so that a file of small pictures claiming huge sizes cannot fill
// the memory; past it a picture shows as the control's empty picture, and is
// still saved as it was read.
class Decodificador {
public:
    QSize Nativo(const QByteArray& datos)
    {
        QBuffer b;
        b.setData(datos);
        b.open(QIODevice::ReadOnly);
        return QImageReader(&b).size();
    }

    QImage Decodifica(const QByteArray& datos, QSize nativo, QSizeF mostrado)
    {
        QSize objetivo = nativo;
        const QSize maximo(static_cast<int>(std::ceil(mostrado.width() * 2)), static_cast<int>(std::ceil(mostrado.height() * 2)));
        if (nativo.isValid() && maximo.width() > 0 && maximo.height() > 0 &&
            (nativo.width() > maximo.width() || nativo.height() > maximo.height()))
            objetivo = nativo.scaled(maximo, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        if (objetivo.isValid() && static_cast<qint64>(objetivo.width()) * objetivo.height() * 4 > presupuesto_)
            return QImage();
        QBuffer b;
        b.setData(datos);
        b.open(QIODevice::ReadOnly);
        QImageReader r(&b);
        if (objetivo.isValid() && objetivo != nativo)
            r.setScaledSize(objetivo);
        QImage imagen = r.read();
        if (imagen.sizeInBytes() > presupuesto_)
            return QImage();
        presupuesto_ -= imagen.sizeInBytes();
        return imagen;
    }

private:
    qint64 presupuesto_ = qint64{512} << 20;
};

// The format of a picture, its image added to the document under a name of its own.
QTextImageFormat FormatoImagen(const ImagenRtf& im, const QTextCharFormat& cf, QTextDocument& documento,
                               Decodificador& decodificador)
{
    static std::atomic<quint64> contador{0};
    const QByteArray datos(im.Datos.data(), static_cast<qsizetype>(im.Datos.size()));
    const QSize nativo = decodificador.Nativo(datos);
    const QSizeF tam = TamanyoImagen(im, nativo);
    const QImage imagen = decodificador.Decodifica(datos, nativo, tam);
    const QUrl nombre(kEsquemaImagen + QStringLiteral(":%1").arg(++contador));
    if (!imagen.isNull())
        documento.addResource(QTextDocument::ImageResource, nombre, imagen);
    QTextImageFormat f;
    f.merge(cf);
    f.setName(nombre.toString());
    if (tam.width() > 0)
        f.setWidth(tam.width());
    if (tam.height() > 0)
        f.setHeight(tam.height());
    f.setProperty(kDatos, datos);
    f.setProperty(kTipo, static_cast<int>(im.Tipo));
    f.setProperty(kAncho, im.Ancho);
    f.setProperty(kAlto, im.Alto);
    f.setProperty(kAnchoDeseado, im.AnchoDeseado);
    f.setProperty(kAltoDeseado, im.AltoDeseado);
    f.setProperty(kEscalaX, im.EscalaX);
    f.setProperty(kEscalaY, im.EscalaY);
    return f;
}

// --- Paragraphs ---------------------------------------------------------------

void BloqueDesdeQt(const QTextBlock& b, Parrafo& p)
{
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
    p.Antes = ATwips(bf.topMargin());
    p.Despues = ATwips(bf.bottomMargin());
    switch (bf.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        p.Interlineado = static_cast<int32_t>(std::lround(bf.lineHeight() * kLineaSencilla / 100));
        p.InterlineadoMultiple = p.Interlineado != 0;
        break;
    case QTextBlockFormat::MinimumHeight:
        p.Interlineado = ATwips(bf.lineHeight());
        break;
    case QTextBlockFormat::FixedHeight:
        p.Interlineado = -ATwips(bf.lineHeight());
        break;
    default:
        break;
    }
    if (bf.hasProperty(QTextFormat::BackgroundBrush) && bf.background().style() != Qt::NoBrush)
        p.Fondo = AColor(bf.background().color());
    for (const QTextOption::Tab& t : bf.tabPositions()) {
        Tabulador tab;
        tab.Posicion = ATwips(t.position);
        switch (t.type) {
        case QTextOption::RightTab:
            tab.Tipo = TipoTabulador::Derecha;
            break;
        case QTextOption::CenterTab:
            tab.Tipo = TipoTabulador::Centro;
            break;
        case QTextOption::DelimiterTab:
            tab.Tipo = TipoTabulador::Decimal;
            break;
        default:
            break;
        }
        p.Tabuladores.push_back(tab);
    }
    if (const QTextList* l = b.textList()) {
        const QTextListFormat lf = l->format();
        p.Lista = TipoLista::Vinyeta;
        for (const ParLista& x : kListas)
            if (x.qt == lf.style())
                p.Lista = x.nuestro;
        p.NivelLista = std::clamp(lf.indent() - 1, 0, 8);
    }
}

QTextBlockFormat BloqueAQt(const Parrafo& p)
{
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
    bf.setTopMargin(APixeles(p.Antes));
    bf.setBottomMargin(APixeles(p.Despues));
    if (p.Interlineado != 0) {
        if (p.InterlineadoMultiple)
            bf.setLineHeight(p.Interlineado * 100.0 / kLineaSencilla, QTextBlockFormat::ProportionalHeight);
        else if (p.Interlineado > 0)
            bf.setLineHeight(APixeles(p.Interlineado), QTextBlockFormat::MinimumHeight);
        else
            bf.setLineHeight(APixeles(-p.Interlineado), QTextBlockFormat::FixedHeight);
    }
    if (p.Fondo >= 0)
        bf.setBackground(DeColor(p.Fondo));
    if (!p.Tabuladores.empty()) {
        QList<QTextOption::Tab> tabs;
        for (const Tabulador& t : p.Tabuladores) {
            QTextOption::Tab q;
            q.position = APixeles(t.Posicion);
            switch (t.Tipo) {
            case TipoTabulador::Derecha:
                q.type = QTextOption::RightTab;
                break;
            case TipoTabulador::Centro:
                q.type = QTextOption::CenterTab;
                break;
            case TipoTabulador::Decimal:
                q.type = QTextOption::DelimiterTab;
                q.delimiter = QLocale().decimalPoint().at(0);
                break;
            default:
                q.type = QTextOption::LeftTab;
                break;
            }
            tabs << q;
        }
        bf.setTabPositions(tabs);
    }
    return bf;
}

} // namespace

QTextListFormat FormatoLista(TipoLista tipo, int nivel)
{
    QTextListFormat f;
    f.setStyle(QTextListFormat::ListDisc);
    for (const ParLista& x : kListas)
        if (x.nuestro == tipo)
            f.setStyle(x.qt);
    f.setIndent(std::clamp(nivel, 0, 8) + 1);
    return f;
}

QTextListFormat FormatoVinyeta() { return FormatoLista(TipoLista::Vinyeta, 0); }

DocumentoRtf DocumentoDesdeQt(const QTextDocument& documento)
{
    const QFont defecto = documento.defaultFont();
    DocumentoRtf r;
    const double tab = documento.defaultTextOption().tabStopDistance();
    if (tab > 0)
        r.TabDefecto = std::max(1, ATwips(tab));
    for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
        Parrafo p;
        BloqueDesdeQt(b, p);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fr = it.fragment();
            if (!fr.isValid())
                continue;
            const QTextCharFormat cf = fr.charFormat();
            const FormatoTexto f = FormatoDesdeQt(cf, defecto);
            if (cf.isImageFormat()) {
                // Adjacent copies of one picture may share a fragment.
                const auto n = fr.text().count(QChar::ObjectReplacementCharacter);
                if (const auto im = ImagenDesdeQt(cf.toImageFormat(), documento))
                    for (qsizetype k = 0; k < n; ++k)
                        p.Tramos.push_back({std::string(), f, im});
                continue;
            }
            const QString texto = TextoDeFragmento(fr.text());
            if (texto.isEmpty())
                continue;
            const std::string u = texto.toStdString();
            if (!p.Tramos.empty() && !p.Tramos.back().Imagen && p.Tramos.back().Formato == f)
                p.Tramos.back().Texto += u;
            else
                p.Tramos.push_back({u, f, std::nullopt});
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
    QTextOption opcion = documento.defaultTextOption();
    opcion.setTabStopDistance(APixeles(std::max(1, origen.TabDefecto)));
    documento.setDefaultTextOption(opcion);
    QTextCursor c(&documento);
    c.beginEditBlock();
    // The open list of each level; a paragraph outside any list closes them all.
    std::array<QTextList*, 9> listas{};
    Decodificador decodificador;
    bool primero = true;
    for (const Parrafo& p : origen.Parrafos) {
        const QTextBlockFormat bf = BloqueAQt(p);
        if (primero)
            c.setBlockFormat(bf);
        else
            c.insertBlock(bf, QTextCharFormat());
        primero = false;
        if (p.Lista == TipoLista::Ninguna) {
            listas.fill(nullptr);
        } else {
            const auto n = static_cast<size_t>(std::clamp(p.NivelLista, 0, 8));
            const QTextListFormat lf = FormatoLista(p.Lista, static_cast<int>(n));
            if (listas[n] && listas[n]->format().style() == lf.style())
                listas[n]->add(c.block());
            else
                listas[n] = c.createList(lf);
            std::fill(listas.begin() + static_cast<std::ptrdiff_t>(n) + 1, listas.end(), nullptr);
        }
        for (const TramoTexto& t : p.Tramos) {
            const QTextCharFormat cf = FormatoAQt(t.Formato, defecto);
            if (t.Imagen)
                c.insertImage(FormatoImagen(*t.Imagen, cf, documento, decodificador));
            else
                c.insertText(QString::fromStdString(t.Texto), cf);
        }
    }
    c.endEditBlock();
    documento.setUndoRedoEnabled(deshacer);
    documento.setModified(false);
}

std::string RtfDeSeleccion(const QTextCursor& seleccion)
{
    QTextDocument copia;
    copia.setDefaultFont(seleccion.document()->defaultFont());
    copia.setDefaultTextOption(seleccion.document()->defaultTextOption());
    QTextCursor(&copia).insertFragment(seleccion.selection());
    return EscribirRtf(DocumentoDesdeQt(copia));
}

void InsertaRtf(QTextCursor& cursor, std::string_view rtf)
{
    QTextDocument* destino = cursor.document();
    QTextDocument origen;
    origen.setDefaultFont(destino->defaultFont());
    DocumentoAQt(LeerDocumentoEditor(rtf), origen);
    cursor.insertFragment(QTextDocumentFragment(&origen));
    // The pictures' images stayed with the other document.
    CompletaImagenes(*destino);
}

void CompletaImagenes(QTextDocument& documento)
{
    // Formats are changed once the walk is over: changing them splits and joins fragments.
    struct Cambio {
        int desde, hasta;
        QTextImageFormat formato;
    };
    std::vector<Cambio> cambios;
    Decodificador decodificador;
    for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fr = it.fragment();
            if (!fr.isValid() || !fr.charFormat().isImageFormat())
                continue;
            const QTextImageFormat f = fr.charFormat().toImageFormat();
            if (f.hasProperty(kDatos)) {
                const QUrl nombre(f.name());
                if (documento.resource(QTextDocument::ImageResource, nombre).isNull()) {
                    const QByteArray datos = f.property(kDatos).toByteArray();
                    const QImage imagen =
                        decodificador.Decodifica(datos, decodificador.Nativo(datos), QSizeF(f.width(), f.height()));
                    if (!imagen.isNull())
                        documento.addResource(QTextDocument::ImageResource, nombre, imagen);
                }
            } else if (const std::optional<ImagenRtf> im = ImagenDesdeQt(f, documento)) {
                cambios.push_back(
                    {fr.position(), fr.position() + fr.length(), FormatoImagen(*im, f, documento, decodificador)});
            }
        }
    }
    QTextCursor c(&documento);
    for (const Cambio& k : cambios) {
        c.setPosition(k.desde);
        c.setPosition(k.hasta, QTextCursor::KeepAnchor);
        c.setCharFormat(k.formato);
    }
}
