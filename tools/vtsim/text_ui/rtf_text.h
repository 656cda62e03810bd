// The plain text of an RTF document, as the rich-text control holds it:
// formatting and hidden destinations dropped, paragraphs and line breaks as
// CR LF, \tab as a tab, \'hh as that byte of the code page, \uN as its
// code-page character with its fallback skipped.
#pragma once

#include <string>
#include <vector>

namespace textui {

// `rtf` is the stream as read; text outside an {\rtf group is taken too, as
// the control takes a stream without a header. The control's own end of
// document takes the last paragraph mark: the text does not end in CR LF.
std::string RtfToText(const std::string& rtf);

// Lines of a text with CR LF (or a lone LF) line ends.
std::vector<std::string> TextLines(const std::string& text);

}  // namespace textui
