#pragma once

#include <QString>

namespace kivo::OutsideText {

// Text from outside the program (process names, paths, user, host, volume and device names,
// report contents) in the form it is shown and exported, beside texts and figures of our own.
// Nothing in it is invisible and nothing in it can reorder what stands around it:
// - line breaks show as "↵", a tab as "⇥", any other control character as "�";
// - format characters (every bidirectional control among them: the embeddings and overrides
//   U+202A–U+202E, the isolates U+2066–U+2069, the marks U+200E, U+200F and U+061C, zero-width
//   and tag characters) show as their code point, "‹U+202E›";
// - text that holds right-to-left letters is isolated (U+2068 … U+2069), so a PID or figure
//   after it keeps its own order;
// - empty text, or text of only blanks, shows quoted ("“”", "“   ”").
// Plain left-to-right text comes back unchanged, without a copy.
QString visible(const QString& text);

// The same for a cell of a table, where an empty text is no text at all (an event without
// detail) and stays empty.
QString visibleCell(const QString& text);

// Whether visible() would change the text.
bool needsChange(const QString& text);

}  // namespace kivo::OutsideText
