#include "common/Errores.h"
#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "editor/FicheroEditor.h"
#include "editor/REMain.h"
#include "editor/RtfQt.h"
#include "gui/Modal.h"
#include "support/UsuarioGuion.h"
#include "tree/Arbol.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

// Failures show documents as the RTF they write.
void PrintTo(const DocumentoRtf& d, std::ostream* os) { *os << "\n" << EscribirRtf(d); }

namespace {

std::string Lee(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void Escribe(const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }

class EditorTest : public ::testing::Test {
protected:
    fs::path dir;
    UsuarioGuion guion;
    TDocumento documento;
    Arbol& arbol = documento.arbol();
    std::unique_ptr<TFormEditor> ed;

    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("nemor_editor_gui_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        ed = std::make_unique<TFormEditor>(&documento);
        ed->PonUsuario(&guion);
    }
    void TearDown() override
    {
        ed.reset();
        fs::remove_all(dir);
    }
    std::string Ruta(const char* nombre) const { return (dir / nombre).string(); }
    void Teclea(const QString& texto)
    {
        for (QChar c : texto) {
            const int tecla = c == '\n' ? int(Qt::Key_Return) : int(c.toUpper().unicode());
            QKeyEvent e(QEvent::KeyPress, tecla, Qt::NoModifier, c == '\n' ? QStringLiteral("\r") : QString(c));
            QApplication::sendEvent(ed->Editor, &e);
        }
    }
    QString Estado(int panel) const { return ed->StatusPanel[panel]->text(); }
};

// What the control holds, written as RTF: the text control and the file agree.
std::string ComoRtf(const QTextDocument& d) { return EscribirRtf(DocumentoDesdeQt(d)); }

TEST(RtfQt, ElControlDeTextoConservaLoQueLeeYEscribe)
{
    const char* const muestras[] = {
        R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}{\colortbl;\red0\green128\blue0;}
\pard\qc\b\f0\fs32 T\'edtulo\b0\par
\pard\qr\ri567\i\f1\fs20\cf1 derecha\i0\cf0  y \ul subrayado\ulnone\par
\pard\qj\li1440\fi-720 justificado con sangr\'eda francesa\line segunda l\'ednea\tab tab\par
\pard{\*\pn\pnlvlblt{\pntxtb\bullet}}\li720\fi-360 uno\par
\pard{\*\pn\pnlvlblt{\pntxtb\bullet}}\li720\fi-360 dos\par
\pard\par
\pard \u20013?\u25991? \u-10179?\u-8704? \{llaves\} \\ fin\par})",
        "texto plano\r\nsegunda línea\r\n",
    };
    for (const char* m : muestras) {
        SCOPED_TRACE(m);
        QTextDocument d;
        d.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        const DocumentoRtf leido = LeerDocumentoEditor(m);
        DocumentoAQt(leido, d);
        const std::string w1 = ComoRtf(d);
        QTextDocument d2;
        d2.setDefaultFont(d.defaultFont());
        DocumentoAQt(LeerRtf(w1), d2);
        EXPECT_EQ(ComoRtf(d2), w1);
        EXPECT_EQ(d2.toPlainText(), d.toPlainText());
        EXPECT_EQ(d.blockCount(), static_cast<int>(leido.Parrafos.size()));
    }
    // The attributes reach the control.
    QTextDocument d;
    DocumentoAQt(LeerRtf(muestras[0]), d);
    const QTextBlock b0 = d.begin();
    EXPECT_EQ(b0.text(), QStringLiteral("Título"));
    EXPECT_TRUE(b0.blockFormat().alignment() & Qt::AlignHCenter);
    const QTextCharFormat t = b0.begin().fragment().charFormat();
    EXPECT_EQ(t.fontWeight(), QFont::Bold);
    EXPECT_EQ(t.fontPointSize(), 16);
    EXPECT_EQ(t.fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    const QTextBlock b1 = b0.next();
    EXPECT_EQ(b1.blockFormat().rightMargin(), 567 / 15.0);
    EXPECT_EQ(b1.begin().fragment().charFormat().foreground().color(), QColor(0, 128, 0));
    const QTextBlock b2 = b1.next();
    EXPECT_EQ(b2.blockFormat().leftMargin(), 96);
    EXPECT_EQ(b2.blockFormat().textIndent(), -48);
    EXPECT_EQ(b2.text(), QStringLiteral("justificado con sangría francesa\u2028segunda línea\ttab"));
    const QTextBlock b3 = b2.next();
    ASSERT_NE(b3.textList(), nullptr);
    EXPECT_EQ(b3.textList(), b3.next().textList());
    EXPECT_EQ(b3.next().next().textList(), nullptr);
}

// A small picture of two colours, as the bytes of a file of the given format.
std::string Imagen(const char* formato, int w, int h)
{
    QImage im(w, h, QImage::Format_RGB32);
    im.fill(QColor(30, 90, 200));
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w; ++x)
            im.setPixelColor(x, y, QColor(250, 200, 20));
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    im.save(&buf, formato);
    return b.toStdString();
}

std::string Hexadecimal(const std::string& bytes)
{
    return QByteArray::fromStdString(bytes).toHex().toStdString();
}

// Every attribute the model holds reaches the control, shows there, and comes
// back from it unchanged.
TEST(RtfQt, CadaAtributoPasaPorElControlSinCambiar)
{
    const std::string png = Imagen("PNG", 40, 20);
    const std::string jpeg = Imagen("JPEG", 30, 30);
    const std::string rtf =
        R"({\rtf1\deftab1134{\fonttbl{\f0 Arial;}{\f1 Courier New;}}{\colortbl;\red255\green255\blue0;\red192\green192\blue192;\red200\green0\blue0;}
\pard\sb240\sa120\sl360\slmult1\f0\fs24 normal {\strike tachado} x{\super 2} H{\sub 2}O {\highlight1 resaltado} {\cf3\highlight1 rojo}\par
\pard\sl-300\slmult0\cbpat2 {\uldash guiones}{\uld puntos}{\uldashd raya y punto}{\uldashdd raya y dos puntos}{\ulwave onda} {\caps may\'fasculas} {\scaps versalitas} {\expndtw60 ancho}\par
\pard\sl280\slmult0\tx1440\tqc\tx2880\tqr\tx4320\tqdec\tx5760 a\tab b\tab c\tab 1,5\par
\pard{\*\pn\pnlvlbody\pndec}\fi-360\li720 uno\par
\pard{\*\pn\pnlvlbody\pnlcltr}\ilvl1\fi-360\li1440 dentro\par
\pard{\*\pn\pnlvlbody\pndec}\fi-360\li720 dos\par
\pard{\*\pn\pnlvlbody\pnucrm} I\par{\*\pn\pnlvlbody\pnlcrm} i\par{\*\pn\pnlvlbody\pnucltr} A\par{\*\pn\pnlvlblt} punto\par
\pard\qc antes {\pict\picw40\pich20\picwgoal1200\pichgoal600\pngblip )" +
        Hexadecimal(png) + R"(} entre {\pict\picscalex50\picscaley200\jpegblip )" + Hexadecimal(jpeg) +
        R"(} {\pict\pngblip 0102}\par})";
    const DocumentoRtf modelo = LeerRtf(rtf);
    ASSERT_EQ(modelo.Parrafos.size(), 11u);

    QTextDocument d;
    d.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    DocumentoAQt(modelo, d);
    EXPECT_EQ(DocumentoDesdeQt(d), modelo);
    EXPECT_FALSE(d.isUndoAvailable());

    // What shows.
    EXPECT_EQ(d.defaultTextOption().tabStopDistance(), 1134 / 15.0);
    auto formato = [&](int bloque, const char* texto) {
        const QTextBlock b = d.findBlockByNumber(bloque);
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text() == QString::fromUtf8(texto))
                return it.fragment().charFormat();
        ADD_FAILURE() << "sin el texto " << texto;
        return QTextCharFormat();
    };
    EXPECT_TRUE(formato(0, "tachado").fontStrikeOut());
    EXPECT_EQ(formato(0, "2").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formato(0, "2").fontPointSize(), 12);
    EXPECT_EQ(formato(0, "resaltado").background().color(), QColor(255, 255, 0));
    EXPECT_EQ(formato(0, "rojo").foreground().color(), QColor(200, 0, 0));
    EXPECT_EQ(formato(1, "guiones").underlineStyle(), QTextCharFormat::DashUnderline);
    EXPECT_EQ(formato(1, "onda").underlineStyle(), QTextCharFormat::WaveUnderline);
    EXPECT_EQ(formato(1, "versalitas").fontCapitalization(), QFont::SmallCaps);
    EXPECT_EQ(formato(1, "ancho").fontLetterSpacing(), 4);
    const QTextBlockFormat b0 = d.findBlockByNumber(0).blockFormat();
    EXPECT_EQ(b0.topMargin(), 16);
    EXPECT_EQ(b0.bottomMargin(), 8);
    EXPECT_EQ(b0.lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_EQ(b0.lineHeight(), 150);
    EXPECT_EQ(d.findBlockByNumber(1).blockFormat().lineHeightType(), QTextBlockFormat::FixedHeight);
    EXPECT_EQ(d.findBlockByNumber(1).blockFormat().background().color(), QColor(192, 192, 192));
    const QList<QTextOption::Tab> tabs = d.findBlockByNumber(2).blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 4);
    EXPECT_EQ(tabs[1].position, 192);
    EXPECT_EQ(tabs[1].type, QTextOption::CenterTab);
    EXPECT_EQ(tabs[3].type, QTextOption::DelimiterTab);
    // One numbered list around its nested lettered list, then lists of their own kinds.
    const QTextList* uno = d.findBlockByNumber(3).textList();
    ASSERT_NE(uno, nullptr);
    EXPECT_EQ(uno->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(d.findBlockByNumber(5).textList(), uno);
    EXPECT_EQ(uno->itemText(d.findBlockByNumber(5)), QStringLiteral("2."));
    EXPECT_EQ(d.findBlockByNumber(4).textList()->format().style(), QTextListFormat::ListLowerAlpha);
    EXPECT_EQ(d.findBlockByNumber(4).textList()->format().indent(), 2);
    EXPECT_EQ(d.findBlockByNumber(6).textList()->format().style(), QTextListFormat::ListUpperRoman);
    EXPECT_EQ(d.findBlockByNumber(9).textList()->format().style(), QTextListFormat::ListDisc);
    // Pictures at the size the file asks, from the bytes it holds; the one that
    // is no picture at all is kept for the file all the same.
    std::vector<QTextImageFormat> imagenes;
    for (auto it = d.findBlockByNumber(10).begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat())
            imagenes.push_back(it.fragment().charFormat().toImageFormat());
    ASSERT_EQ(imagenes.size(), 3u);
    EXPECT_EQ(imagenes[0].width(), 80);
    EXPECT_EQ(imagenes[0].height(), 40);
    EXPECT_EQ(imagenes[1].width(), 15);
    EXPECT_EQ(imagenes[1].height(), 60);
    for (int k = 0; k < 2; ++k) {
        const QImage im = d.resource(QTextDocument::ImageResource, QUrl(imagenes[k].name())).value<QImage>();
        EXPECT_EQ(im.size(), k == 0 ? QSize(40, 20) : QSize(30, 30));
        EXPECT_NEAR(im.pixelColor(2, 2).red(), 250, 8); // JPEG is lossy
    }
}

// A large picture shown small keeps no more pixels than it needs on screen;
// the file keeps every byte of it.
TEST(RtfQt, UnaImagenGrandeMostradaPequenyaNoGuardaTodosSusPixeles)
{
    const std::string png = Imagen("PNG", 2000, 1000);
    const DocumentoRtf modelo =
        LeerRtf("{\\rtf1{\\pict\\picwgoal3000\\pichgoal1500\\pngblip " + Hexadecimal(png) + "}\\par}");
    QTextDocument d;
    DocumentoAQt(modelo, d);
    const QTextImageFormat f = d.begin().begin().fragment().charFormat().toImageFormat();
    EXPECT_EQ(f.width(), 200);
    const QImage im = d.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
    EXPECT_EQ(im.size(), QSize(400, 200));
    EXPECT_EQ(DocumentoDesdeQt(d).Parrafos[0].Tramos.at(0).Imagen->Datos, png);
}

TEST_F(EditorTest, FormatoTecleadoYGuardado)
{
    ed->show();
    // Bold pressed with no selection makes the text typed next bold.
    Teclea("a");
    ed->BoldButton->trigger();
    Teclea("b");
    ed->BoldButton->trigger();
    ed->ItalicButton->trigger();
    Teclea("c\n");
    ed->CenterAlign->trigger();
    Teclea("centro\n");
    ed->LeftAlign->trigger();
    ed->BulletsButton->trigger();
    Teclea("punto");
    const DocumentoRtf d = DocumentoDesdeQt(*ed->Editor->document());
    ASSERT_EQ(d.Parrafos.size(), 3u);
    ASSERT_EQ(d.Parrafos[0].Tramos.size(), 3u);
    EXPECT_EQ(d.Parrafos[0].Tramos[0].Texto, "a");
    EXPECT_FALSE(d.Parrafos[0].Tramos[0].Formato.Negrita);
    EXPECT_EQ(d.Parrafos[0].Tramos[1].Texto, "b");
    EXPECT_TRUE(d.Parrafos[0].Tramos[1].Formato.Negrita);
    EXPECT_TRUE(d.Parrafos[0].Tramos[2].Formato.Cursiva);
    EXPECT_FALSE(d.Parrafos[0].Tramos[2].Formato.Negrita);
    EXPECT_EQ(d.Parrafos[1].Alin, Alineacion::Centro);
    EXPECT_TRUE(d.Parrafos[2].Lista == TipoLista::Vinyeta);
    EXPECT_EQ(d.Parrafos[2].Alin, Alineacion::Izquierda);
    EXPECT_EQ(Estado(1), QStringLiteral("Modificado"));

    // A picture of the window for people to look at.
    const QByteArray carpeta = qgetenv("NEMOR_CAPTURAS");
    if (!carpeta.isEmpty())
        ed->grab().save(QString::fromLocal8Bit(carpeta) + QStringLiteral("/editor.png"));

    // Cut and Copy follow the selection; Undo follows the control.
    EXPECT_FALSE(ed->CutAction->isEnabled());
    EXPECT_FALSE(ed->CopyAction->isEnabled());
    EXPECT_TRUE(ed->UndoAction->isEnabled());
    ed->Editor->selectAll();
    EXPECT_TRUE(ed->CutAction->isEnabled());
    EXPECT_TRUE(ed->CopyAction->isEnabled());
    ed->Editor->moveCursor(QTextCursor::End);

    // Written, read back into a fresh editor, written again: the same bytes.
    guion.ficheros.push_back(Ruta("nota.rtf"));
    ASSERT_TRUE(ed->FileSave());
    const std::string w1 = Lee(dir / "nota.rtf");
    TFormEditor otro;
    otro.LoadDocument(QString::fromStdString(Ruta("nota.rtf")), false);
    EXPECT_EQ(DocumentoDesdeQt(*otro.Editor->document()), d);
    EXPECT_EQ(ComoRtf(*otro.Editor->document()), w1);
}

// What a user applies in the editor, with "&Fuente..." or by pasting from a
// web page, is written and shows again when the file is opened.
TEST_F(EditorTest, LoQueSeAplicaEnElEditorSeGuardaYVuelve)
{
    ed->show();
    Teclea("normal ");
    // Strike-out and underline from the font dialog, for the text typed next.
    AlAbrirseModal([](QWidget* w) {
        auto* dialogo = qobject_cast<QFontDialog*>(w);
        ASSERT_NE(dialogo, nullptr);
        QFont f = dialogo->currentFont();
        f.setStrikeOut(true);
        f.setUnderline(true);
        dialogo->setCurrentFont(f);
        dialogo->accept();
    });
    ed->SelectFont();
    Teclea("tachado");
    // And off again.
    AlAbrirseModal([](QWidget* w) {
        auto* dialogo = static_cast<QFontDialog*>(w);
        QFont f = dialogo->currentFont();
        f.setStrikeOut(false);
        f.setUnderline(false);
        dialogo->setCurrentFont(f);
        dialogo->accept();
    });
    ed->SelectFont();
    Teclea(" fin\n");

    // A piece of a web page with a picture.
    const fs::path png = dir / "figura.png";
    Escribe(png, Imagen("PNG", 24, 12));
    auto* pegado = new QMimeData;
    pegado->setHtml(QStringLiteral("<p>E = mc<sup>2</sup>, H<sub>2</sub>O, "
                                   "<span style=\"background-color:#ffff00\">resaltado</span>, <s>tachado</s> "
                                   "<img src=\"%1\" width=\"48\" height=\"24\"></p>"
                                   "<p style=\"margin-top:12px; line-height:150%\">espaciado</p>")
                        .arg(QUrl::fromLocalFile(QString::fromStdString(png.string())).toString()));
    QApplication::clipboard()->setMimeData(pegado);
    ed->Editor->paste();

    const DocumentoRtf hecho = DocumentoDesdeQt(*ed->Editor->document());
    ASSERT_GE(hecho.Parrafos.size(), 2u);
    const auto tramo = [](const DocumentoRtf& d, const std::string& texto) -> const TramoTexto* {
        for (const Parrafo& p : d.Parrafos)
            for (const TramoTexto& t : p.Tramos)
                if (t.Texto == texto)
                    return &t;
        return nullptr;
    };
    const auto imagen = [](const DocumentoRtf& d) -> const ImagenRtf* {
        for (const Parrafo& p : d.Parrafos)
            for (const TramoTexto& t : p.Tramos)
                if (t.Imagen)
                    return &*t.Imagen;
        return nullptr;
    };

    guion.ficheros.push_back(Ruta("hecho.rtf"));
    ASSERT_TRUE(ed->FileSave());
    TFormEditor otro;
    otro.LoadDocument(QString::fromStdString(Ruta("hecho.rtf")), false);
    const DocumentoRtf leido = DocumentoDesdeQt(*otro.Editor->document());
    EXPECT_EQ(leido, hecho);

    const TramoTexto* t = tramo(leido, "tachado");
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->Formato.Tachado);
    EXPECT_TRUE(t->Formato.Subrayado);
    ASSERT_NE(tramo(leido, " fin"), nullptr);
    EXPECT_FALSE(tramo(leido, " fin")->Formato.Tachado);
    ASSERT_NE(tramo(leido, "2"), nullptr);
    EXPECT_EQ(tramo(leido, "2")->Formato.Posicion, PosicionVertical::Superindice);
    ASSERT_NE(tramo(leido, "resaltado"), nullptr);
    EXPECT_EQ(tramo(leido, "resaltado")->Formato.Fondo, 0x00FFFF);
    const ImagenRtf* im = imagen(leido);
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->Tipo, TipoImagen::Png);
    EXPECT_EQ(im->Ancho, 24);
    EXPECT_EQ(im->AnchoDeseado, 48 * 15);
    EXPECT_EQ(im->AltoDeseado, 24 * 15);
    ASSERT_EQ(leido.Parrafos.size(), 3u);
    const Parrafo& pegada = leido.Parrafos[2];
    ASSERT_EQ(pegada.Tramos.size(), 1u);
    EXPECT_EQ(pegada.Tramos[0].Texto, "espaciado");
    EXPECT_EQ(pegada.Antes, 12 * 15);
    EXPECT_EQ(pegada.Interlineado, 360);
    EXPECT_TRUE(pegada.InterlineadoMultiple);
    // And it shows: the picture at its size, the strike-out drawn.
    bool hayImagen = false;
    for (QTextBlock b = otro.Editor->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QTextImageFormat f = it.fragment().charFormat().toImageFormat();
                EXPECT_EQ(f.width(), 48);
                EXPECT_FALSE(otro.Editor->document()->resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>().isNull());
                hayImagen = true;
            } else if (it.fragment().text() == QStringLiteral("tachado")) {
                EXPECT_TRUE(it.fragment().charFormat().fontStrikeOut());
            }
    EXPECT_TRUE(hayImagen);
}

// Copied from one note and pasted into another, formatting and pictures stay
// as they were, a JPEG the same JPEG; the clipboard carries RTF for other word
// processors, and RTF they put there comes in whole, as one step to undo.
TEST_F(EditorTest, CopiarYPegarEntreNotasConservaFormatoEImagenes)
{
    const std::string jpeg = Imagen("JPEG", 24, 12);
    Escribe(dir / "i.rtf", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 a{\\strike b}{\\pict\\picwgoal720\\pichgoal360\\jpegblip " +
                               Hexadecimal(jpeg) + "}{\\super c}\\par}");
    ed->show();
    ed->LoadDocument(QString::fromStdString(Ruta("i.rtf")), true);
    QTextDocument& d = *ed->Editor->document();
    const DocumentoRtf original = DocumentoDesdeQt(d);
    ed->Editor->selectAll();
    ed->CopyAction->trigger();
    const QMimeData* m = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(m->hasFormat(QStringLiteral("text/rtf")));
    EXPECT_EQ(LeerRtf(m->data(QStringLiteral("text/rtf")).toStdString()), original);
    EXPECT_EQ(m->text(), QStringLiteral("ab\uFFFCc"));

    ed->FileNew();
    ed->PasteAction->trigger();
    const DocumentoRtf pegado = DocumentoDesdeQt(d);
    EXPECT_EQ(pegado, original);
    ASSERT_EQ(pegado.Parrafos[0].Tramos.size(), 4u);
    EXPECT_EQ(pegado.Parrafos[0].Tramos[2].Imagen->Datos, jpeg);
    // The picture shows in the note it was pasted into.
    bool muestra = false;
    for (auto it = d.begin().begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat())
            muestra = !d.resource(QTextDocument::ImageResource, QUrl(it.fragment().charFormat().toImageFormat().name()))
                           .value<QImage>()
                           .isNull();
    EXPECT_TRUE(muestra);

    auto* otro = new QMimeData;
    otro->setData(QStringLiteral("text/rtf"), QByteArray(R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red0\green0\blue0;}\f0 x{\super 2} {\highlight1 y}\par})"));
    otro->setText(QStringLiteral("x2 y"));
    QApplication::clipboard()->setMimeData(otro);
    ed->FileNew();
    Teclea("antes ");
    ed->PasteAction->trigger();
    EXPECT_EQ(ed->Editor->toPlainText().toStdString(), "antes x2 y");
    const DocumentoRtf ajeno = DocumentoDesdeQt(d);
    ASSERT_EQ(ajeno.Parrafos.size(), 1u);
    for (const TramoTexto& t : ajeno.Parrafos[0].Tramos) {
        EXPECT_EQ(t.Formato.Posicion == PosicionVertical::Superindice, t.Texto == "2") << t.Texto;
        EXPECT_EQ(t.Formato.Fondo == 0, t.Texto == "y") << t.Texto;
    }
    ed->UndoAction->trigger();
    EXPECT_EQ(ed->Editor->toPlainText().toStdString(), "antes ");
}

// Setting up an empty document is nothing the user did: nothing to undo,
// nothing modified, after start, "Nuevo" and opening a file.
TEST_F(EditorTest, UnDocumentoRecienPreparadoNoTieneNadaQueDeshacer)
{
    Escribe(dir / "a.rtf", R"({\rtf1{\fonttbl{\f0 Arial;}}\b uno\par})");
    struct Caso {
        const char* nombre;
        std::function<void(TFormEditor&)> prepara;
        bool enBlanco; // text typed next has no formatting of its own
    };
    const Caso casos[] = {
        {"recién creado", [](TFormEditor&) {}, true},
        {"tras Nuevo, nada del documento anterior",
         [](TFormEditor& e) {
             e.BoldButton->trigger();
             QTextCharFormat f;
             f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
             f.setFontStrikeOut(true);
             e.Editor->mergeCurrentCharFormat(f);
             e.Editor->insertPlainText(QStringLiteral("borrador"));
             e.FileNew();
         },
         true},
        {"tras abrir",
         [this](TFormEditor& e) {
             e.Editor->insertPlainText(QStringLiteral("borrador"));
             e.LoadDocument(QString::fromStdString(Ruta("a.rtf")), true);
         },
         false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        TFormEditor e;
        e.show();
        c.prepara(e);
        const QString texto = e.Editor->toPlainText();
        EXPECT_FALSE(e.UndoAction->isEnabled());
        EXPECT_FALSE(e.Editor->document()->isUndoAvailable());
        EXPECT_FALSE(e.Editor->document()->isModified());
        EXPECT_EQ(e.StatusPanel[1]->text().toStdString(), "");
        // "&Deshacer" by its shortcut all the same: nothing changes.
        e.UndoAction->trigger();
        EXPECT_FALSE(e.Editor->document()->isModified());
        EXPECT_EQ(e.StatusPanel[1]->text().toStdString(), "");
        EXPECT_EQ(e.Editor->toPlainText().toStdString(), texto.toStdString());
        // Typing is the first thing to undo.
        e.Editor->insertPlainText(QStringLiteral("x"));
        EXPECT_TRUE(e.UndoAction->isEnabled());
        if (c.enBlanco) {
            const FormatoTexto f = DocumentoDesdeQt(*e.Editor->document()).Parrafos[0].Tramos.at(0).Formato;
            EXPECT_EQ(f.Fuente, QApplication::font().family().toStdString());
            EXPECT_FALSE(f.Negrita);
            EXPECT_FALSE(f.Tachado);
            EXPECT_EQ(f.Posicion, PosicionVertical::Normal);
            EXPECT_FALSE(e.BoldButton->isChecked());
        }
    }
}

// The open and save dialogs start in the linked note's folder, else the
// tree's, else the home folder, with no file name typed in.
TEST_F(EditorTest, LosDialogosEmpiezanEnLaCarpetaDelTrabajo)
{
    struct Puerto : UsuarioGuion {
        std::vector<std::string> iniciales;
        std::optional<std::string> AbrirFichero(const DialogoFichero& d) override
        {
            iniciales.push_back(d.NombreInicial);
            return UsuarioGuion::AbrirFichero(d);
        }
        std::optional<std::string> GuardarFichero(const DialogoFichero& d) override
        {
            iniciales.push_back(d.NombreInicial);
            return UsuarioGuion::GuardarFichero(d);
        }
    } puerto;
    ed->PonUsuario(&puerto);
    fs::create_directories(dir / "notas");
    fs::create_directories(dir / "arboles");
    struct Caso {
        const char* nombre;
        std::string documento, arbol, carpeta;
    };
    const Caso casos[] = {
        {"la de la nota", (dir / "notas" / "caso.rtf").string(), (dir / "arboles" / "a.nmr").string(), (dir / "notas").string()},
        {"la del árbol", "", (dir / "arboles" / "a.nmr").string(), (dir / "arboles").string()},
        {"la de casa", "", "", QDir::homePath().toStdString()},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        arbol.DocumentoEditor = c.documento;
        arbol.NombreFichero = c.arbol;
        puerto.iniciales.clear();
        puerto.ficheros = {std::nullopt, std::nullopt};
        ed->FileOpen();
        ed->FileSaveAs();
        EXPECT_EQ(puerto.iniciales, (std::vector<std::string>{c.carpeta, c.carpeta}));
    }
    ed->PonUsuario(&guion);
}

TEST_F(EditorTest, GuardarSinTituloActuaComoGuardarComo)
{
    ed->Editor->insertPlainText(QStringLiteral("nota"));
    ASSERT_TRUE(ed->Editor->document()->isModified());
    guion.ficheros.push_back(Ruta("caso.rtf"));
    EXPECT_TRUE(ed->FileSave());
    ASSERT_EQ(guion.llamadas.size(), 1u);
    EXPECT_EQ(guion.llamadas[0].tipo, "Guardar");
    EXPECT_EQ(guion.llamadas[0].texto, "Ficheros RTF (*.RTF)|*.RTF");
    EXPECT_EQ(ed->DocumentName().toStdString(), Ruta("caso.rtf"));
    EXPECT_EQ(ed->windowTitle(), QStringLiteral("caso.rtf - NEMOR"));
    EXPECT_EQ(arbol.DocumentoEditor, Ruta("caso.rtf"));
    EXPECT_FALSE(ed->Editor->document()->isModified());
    EXPECT_EQ(Estado(1), QString());
    const DocumentoRtf escrito = LeerRtf(Lee(dir / "caso.rtf"));
    ASSERT_EQ(escrito.Parrafos.size(), 1u);
    ASSERT_EQ(escrito.Parrafos[0].Tramos.size(), 1u);
    EXPECT_EQ(escrito.Parrafos[0].Tramos[0].Texto, "nota");
}

TEST_F(EditorTest, SobreescribirSoloConSi)
{
    struct Caso {
        Respuesta respuesta;
        bool escrito;
    };
    for (const Caso& c : {Caso{Respuesta::No, false}, Caso{Respuesta::Cancelar, false}, Caso{Respuesta::Si, true}}) {
        SCOPED_TRACE(static_cast<int>(c.respuesta));
        Escribe(dir / "viejo.rtf", "viejo");
        ed->FileNew();
        arbol.DocumentoEditor.clear();
        ed->Editor->insertPlainText(QStringLiteral("nuevo"));
        guion.llamadas.clear();
        guion.ficheros.push_back(Ruta("viejo.rtf"));
        guion.respuestas.push_back(c.respuesta);
        EXPECT_EQ(ed->FileSaveAs(), c.escrito);
        ASSERT_EQ(guion.Textos("Pregunta"), std::vector<std::string>{"Sobreescribir " + Ruta("viejo.rtf") + " ?"});
        EXPECT_EQ(guion.llamadas.back().titulo, "Confirm");
        EXPECT_EQ(guion.llamadas.back().botones, Botones::SiNoCancelar);
        EXPECT_EQ(Lee(dir / "viejo.rtf") == "viejo", !c.escrito);
        EXPECT_EQ(ed->DocumentName() == QStringLiteral("Sin título"), !c.escrito);
        EXPECT_EQ(arbol.DocumentoEditor.empty(), !c.escrito);
        EXPECT_EQ(ed->Editor->document()->isModified(), !c.escrito);
    }
}

TEST_F(EditorTest, PreguntaDeGuardarYCierre)
{
    struct Caso {
        const char* nombre;
        bool modificado;
        std::vector<Respuesta> respuestas;
        std::vector<std::optional<std::string>> dialogos;
        bool sigue;    // AskSaveChanges lets the caller go on
        bool escrito;
    };
    const Caso casos[] = {
        {"sin cambios no pregunta", false, {}, {}, true, false},
        {"no", true, {Respuesta::No}, {}, true, false},
        {"cancelar", true, {Respuesta::Cancelar}, {}, false, false},
        {"sí y guarda", true, {Respuesta::Si}, {Ruta("n.rtf")}, true, true},
        {"sí pero cancela el diálogo: el texto no se pierde", true, {Respuesta::Si}, {std::nullopt}, false, false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        fs::remove(dir / "n.rtf");
        ed->FileNew();
        ed->show();
        if (c.modificado)
            ed->Editor->insertPlainText(QStringLiteral("texto"));
        guion.llamadas.clear();
        guion.respuestas.assign(c.respuestas.begin(), c.respuestas.end());
        guion.ficheros.assign(c.dialogos.begin(), c.dialogos.end());
        EXPECT_EQ(ed->AskSaveChanges(), c.sigue);
        EXPECT_EQ(fs::exists(dir / "n.rtf"), c.escrito);
        if (c.modificado) {
            ASSERT_FALSE(guion.llamadas.empty());
            EXPECT_EQ(guion.llamadas[0].texto, "¿Desea guardar el fichero del editor?");
            EXPECT_EQ(guion.llamadas[0].titulo, "Atención");
        } else {
            EXPECT_TRUE(guion.llamadas.empty());
        }

        // The close box asks the same and stays open when the caller would stop.
        fs::remove(dir / "n.rtf");
        ed->FileNew();
        if (c.modificado)
            ed->Editor->insertPlainText(QStringLiteral("texto"));
        guion.respuestas.assign(c.respuestas.begin(), c.respuestas.end());
        guion.ficheros.assign(c.dialogos.begin(), c.dialogos.end());
        ed->close();
        EXPECT_EQ(ed->isVisible(), !c.sigue);
        EXPECT_EQ(ed->Editor->toPlainText().isEmpty(), !c.modificado);
    }
    // A save that fails on closing is not reported: the window stays open.
    ed->FileNew();
    ed->show();
    ed->Editor->insertPlainText(QStringLiteral("texto"));
    guion.llamadas.clear();
    guion.respuestas = {Respuesta::Si};
    guion.ficheros = {Ruta("no/existe.rtf")};
    ed->close();
    EXPECT_TRUE(ed->isVisible());
    EXPECT_TRUE(guion.Textos("Error").empty());
}

TEST_F(EditorTest, PosicionDelCursorEnLaBarraDeEstado)
{
    ed->show();
    ed->Editor->setPlainText(QStringLiteral("uno\ndos\ntres y más"));
    struct Caso {
        int bloque, columna;
        const char* esperado;
    };
    for (const Caso& c : {Caso{2, 0, "Linea:   3   Columna:   1"}, Caso{0, 0, "Linea:   1   Columna:   1"},
                          Caso{2, 4, "Linea:   3   Columna:   5"}, Caso{1, 3, "Linea:   2   Columna:   4"}}) {
        QTextCursor cur(ed->Editor->document()->findBlockByNumber(c.bloque));
        cur.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, c.columna);
        ed->Editor->setTextCursor(cur);
        EXPECT_EQ(Estado(0), QString::fromUtf8(c.esperado));
    }
}

TEST_F(EditorTest, CerrarConservaElTextoYLaMarcaDeModificado)
{
    ed->show();
    Teclea("borrador");
    ed->FileExit();
    EXPECT_FALSE(ed->isVisible());
    EXPECT_TRUE(guion.llamadas.empty());
    ed->show();
    EXPECT_EQ(ed->Editor->toPlainText(), QStringLiteral("borrador"));
    EXPECT_EQ(Estado(1), QStringLiteral("Modificado"));
}

TEST_F(EditorTest, CargarFicherosYSoltarVarios)
{
    Escribe(dir / "a.rtf", R"({\rtf1{\fonttbl{\f0 Arial;}}\b uno\par})");
    Escribe(dir / "b.txt", "dos\r\ntres");
    // Several files dropped on the window: only the first opens.
    ed->DropFiles({QString::fromStdString(Ruta("a.rtf")), QString::fromStdString(Ruta("b.txt"))});
    EXPECT_EQ(ed->Editor->toPlainText(), QStringLiteral("uno"));
    EXPECT_EQ(ed->windowTitle(), QStringLiteral("a.rtf - NEMOR"));
    EXPECT_FALSE(ed->Editor->document()->isModified());
    EXPECT_TRUE(ed->BoldButton->isChecked() || ed->Editor->document()->begin().begin().fragment().charFormat().fontWeight() == QFont::Bold);

    ed->LoadDocument(QString::fromStdString(Ruta("b.txt")), false);
    EXPECT_EQ(ed->Editor->toPlainText(), QStringLiteral("dos\ntres"));

    // A file that cannot be read: the error, and the text and name as they were.
    EXPECT_THROW(ed->LoadDocument(QString::fromStdString(Ruta("falta.rtf")), false), EInOutError);
    EXPECT_EQ(ed->Editor->toPlainText(), QStringLiteral("dos\ntres"));
    EXPECT_EQ(ed->DocumentName().toStdString(), Ruta("b.txt"));
    // Loading never changes the tree's link.
    EXPECT_TRUE(arbol.DocumentoEditor.empty());
}

TEST_F(EditorTest, ArrastrarLaMarcaDePrimeraLinea)
{
    ed->show();
    ed->Editor->setPlainText(QStringLiteral("párrafo"));
    ASSERT_EQ(ed->FirstInd->x(), 2);
    auto raton = [&](QEvent::Type t, int x) {
        QMouseEvent e(t, QPointF(x, 3), ed->FirstInd->mapToGlobal(QPointF(x, 3)), Qt::LeftButton,
                      t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ed->FirstInd, &e);
    };
    raton(QEvent::MouseButtonPress, 4);
    raton(QEvent::MouseMove, 4 + 48);
    raton(QEvent::MouseButtonRelease, 4);
    // Dropped at 50: the first line 36 points in, the other lines where they were.
    const QTextBlockFormat b = ed->Editor->document()->begin().blockFormat();
    EXPECT_EQ(b.leftMargin(), 0);
    EXPECT_EQ(b.textIndent(), 48);
    EXPECT_EQ(ed->FirstInd->x(), 50);
    EXPECT_EQ(ed->LeftInd->x(), 2);
}

TEST_F(EditorTest, LasPistasDeCualquierVentanaLleganALaBarraDeEstado)
{
    QWidget otra;
    QStatusTipEvent e(QStringLiteral("Select font name"));
    QApplication::sendEvent(&otra, &e);
    EXPECT_EQ(ed->statusBar()->currentMessage(), QStringLiteral("Select font name"));
    ed->ShowHint(QString());
    EXPECT_EQ(ed->statusBar()->currentMessage(), QString());
    EXPECT_EQ(ed->FontName->toolTip(), QStringLiteral("Font Name"));
    EXPECT_EQ(ed->FontName->statusTip(), QStringLiteral("Select font name"));
}

// The whole road: the program's windows, the main window's port, the tree file.
TEST(EnlaceConElArbol, UnaNotaGuardadaVuelveConSuArbolAunqueSeMuevan)
{
    const fs::path dir = fs::temp_directory_path() / "nemor_editor_enlace";
    fs::remove_all(dir);
    fs::create_directories(dir / "notas");
    {
        Programa programa;
        ASSERT_NE(FormEditor, nullptr);
        Arbol& a = FormArbol->arbol();
        IUsuario& puerto = FormArbol->usuario();
        // The editor's own questions and file dialogs are scripted; the tree's go to the real port.
        UsuarioGuion guion;
        FormEditor->PonUsuario(&guion);

        FormEditor->show();
        for (QChar c : QStringLiteral("Conclusión: ")) {
            QKeyEvent e(QEvent::KeyPress, int(c.toUpper().unicode()), Qt::NoModifier, QString(c));
            QApplication::sendEvent(FormEditor->Editor, &e);
        }
        FormEditor->BoldButton->trigger();
        FormEditor->Editor->insertPlainText(QStringLiteral("invertir"));
        guion.ficheros.push_back((dir / "notas" / "caso.rtf").string());
        ASSERT_TRUE(FormEditor->FileSaveAs());
        EXPECT_EQ(a.DocumentoEditor, (dir / "notas" / "caso.rtf").string());
        const std::string nota = Lee(dir / "notas" / "caso.rtf");

        // The tree file ends with the link.
        GuardarArbol(a, (dir / "notas" / "arbol.nmr").string());
        const std::string arbol = Lee(dir / "notas" / "arbol.nmr");
        EXPECT_EQ(arbol.substr(arbol.size() - a.DocumentoEditor.size() - 2), a.DocumentoEditor + "\r\n");

        // A modified note: the tree's save question chain asks about it too.
        FormEditor->Editor->insertPlainText(QStringLiteral("!"));
        guion.respuestas.push_back(Respuesta::Cancelar);
        EXPECT_FALSE(puerto.EditorPreguntaGuardar());
        EXPECT_EQ(guion.Textos("Pregunta"), std::vector<std::string>{"¿Desea guardar el fichero del editor?"});

        // A new tree empties the editor and the link; reading the tree brings the note back.
        EmpiezaArbolVacio(a);
        puerto.EditorNuevo();
        EXPECT_TRUE(FormEditor->Editor->toPlainText().isEmpty());
        EXPECT_TRUE(a.DocumentoEditor.empty());
        LeerArbol(a, (dir / "notas" / "arbol.nmr").string());
        EXPECT_EQ(FormEditor->Editor->toPlainText(), QStringLiteral("Conclusión: invertir"));
        EXPECT_EQ(ComoRtf(*FormEditor->Editor->document()), nota);
        EXPECT_FALSE(FormEditor->Editor->document()->isModified());

        // Tree and note moved together: the note is found next to the tree.
        fs::rename(dir / "notas", dir / "otra");
        EmpiezaArbolVacio(a);
        puerto.EditorNuevo();
        LeerArbol(a, (dir / "otra" / "arbol.nmr").string());
        EXPECT_EQ(a.DocumentoEditor, (dir / "otra" / "caso.rtf").string());
        EXPECT_EQ(FormEditor->Editor->toPlainText(), QStringLiteral("Conclusión: invertir"));
        EXPECT_EQ(FormEditor->DocumentName().toStdString(), (dir / "otra" / "caso.rtf").string());
        EXPECT_TRUE(guion.Textos("Error").empty());
        FormEditor->PonUsuario(nullptr);
    }
    fs::remove_all(dir);
}

// The program's own file dialogs, as a user meets them from the editor: in the
// folder of the tree's note, no file name typed in.
TEST(EnlaceConElArbol, LosDialogosDeVerdadEmpiezanEnLaCarpetaSinNombre)
{
    const fs::path dir = fs::temp_directory_path() / "nemor_editor_dialogos";
    fs::remove_all(dir);
    fs::create_directories(dir / "notas");
    {
        Programa programa;
        FormArbol->arbol().DocumentoEditor = (dir / "notas" / "caso.rtf").string();
        for (const bool guardar : {false, true}) {
            SCOPED_TRACE(guardar ? "guardar" : "abrir");
            bool visto = false;
            QString carpeta, nombre;
            AlAbrirseModal([&](QWidget* w) {
                if (auto* d = qobject_cast<QFileDialog*>(w)) {
                    visto = true;
                    carpeta = d->directory().absolutePath();
                    if (auto* e = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                        nombre = e->text();
                }
                w->close();
            });
            if (guardar)
                FormEditor->FileSaveAs();
            else
                FormEditor->FileOpen();
            EXPECT_TRUE(visto);
            EXPECT_EQ(carpeta.toStdString(), (dir / "notas").string());
            EXPECT_EQ(nombre.toStdString(), "");
        }
    }
    fs::remove_all(dir);
}

} // namespace
