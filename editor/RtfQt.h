#pragma once
// The editor's text control and the plain document model: everything the
// model holds goes both ways (fonts, sizes, styles, underline patterns,
// strike-out, super- and subscript, capitals, letter spacing, colours and
// highlight; alignment, indents, spacing, line spacing, shading, tab stops,
// bullets and numbered lists; PNG and JPEG pictures with their sizes).
// Tables are read as their cells' text; anything else a QTextDocument can
// hold beyond that is not kept.
#include "editor/Rtf.h"

#include <string>
#include <string_view>

class QTextCursor;
class QTextDocument;
class QTextListFormat;

// The list style of a paragraph of the given kind and level (0 to 8); the
// editor's bullets button makes TipoLista::Vinyeta at level 0.
QTextListFormat FormatoLista(TipoLista tipo, int nivel);
QTextListFormat FormatoVinyeta();

// Runs without a font or size of their own take the document's default font.
// A picture keeps the bytes it was loaded with; one that came in otherwise
// (pasted, say) is written as PNG at the size it is shown.
DocumentoRtf DocumentoDesdeQt(const QTextDocument& documento);

// Replaces the document's content; the load is not undoable. Runs without a
// font name take the document's default font.
void DocumentoAQt(const DocumentoRtf& origen, QTextDocument& documento);

// The clipboard: the selection written as RTF, and RTF inserted at the cursor
// (replacing its selection) through the same reader as a file.
std::string RtfDeSeleccion(const QTextCursor& seleccion);
void InsertaRtf(QTextCursor& cursor, std::string_view rtf);

// After a paste: every picture keeps its bytes with it, so that it survives
// being copied to another document and is saved as it shows. A picture that
// came in as a link (from a web page, say) takes the bytes of what it shows,
// as PNG; one whose bytes came along but whose image this document lacks
// gets the image back from them.
void CompletaImagenes(QTextDocument& documento);
