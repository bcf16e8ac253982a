#pragma once
// The editor's text control and the plain document model: what RTF files
// hold (fonts, sizes, bold, italic, underline, colours, alignment, indents,
// bullets, paragraphs) goes both ways; anything else a QTextDocument can hold
// (images, tables, other list styles) is not kept.
#include "editor/Rtf.h"

class QTextDocument;
class QTextListFormat;

// The one list style the editor makes: a disc bullet one indent step in.
QTextListFormat FormatoVinyeta();

// Runs without a font or size of their own take the document's default font.
DocumentoRtf DocumentoDesdeQt(const QTextDocument& documento);

// Replaces the document's content; the load is not undoable. Runs without a
// font name take the document's default font.
void DocumentoAQt(const DocumentoRtf& origen, QTextDocument& documento);
