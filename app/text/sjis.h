// Windows-31J (CP932) text conversion, the byte form of every handset file,
// and the shared text helpers of the reader and writer.
//
// Characters that have no CP932 form never stop a conversion. The usual
// JIS-vs-Windows look-alikes are sent to their CP932 twin (U+301C WAVE DASH
// becomes FULLWIDTH TILDE, U+2212 MINUS becomes FULLWIDTH HYPHEN-MINUS, ...),
// so text pasted from other programs keeps its look; any other character
// becomes "?" and is counted, so callers can tell the user. The rest of the
// text is always kept.
#pragma once

#include <QByteArray>
#include <QString>

namespace skedra {

namespace Sjis {

// Text to CP932 bytes. `replaced` (optional) receives the number of
// characters that had no CP932 form and were written as "?".
QByteArray encode(const QString &text, int *replaced = nullptr);

// CP932 bytes to text. Bytes that are not valid CP932 become U+FFFD;
// `invalid` (optional) receives their count.
QString decode(const QByteArray &bytes, int *invalid = nullptr);

// True when `byte` opens a double-byte CP932 character.
constexpr bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// True when every character of `text` has a CP932 form.
bool isEncodable(const QString &text);

// True when `charset` (a CHARSET parameter, upper case) names Shift_JIS or
// one of its Windows forms, all read as CP932.
bool isShiftJisName(const QByteArray &charset);

// `text` with the characters that encode() would write as "?" but that have
// a Latin base written in ASCII, through ICU's "Latin-ASCII" transform:
// "Müller" gives "Muller", "ß" "ss", "Œ" "OE", "–" "-". Characters that
// CP932 holds or has a twin for (kana, kanji, full-width forms, "×", "°",
// "〜") are kept as they are; so is what has no Latin base (Hangul, emoji),
// which encode() still writes as "?".
QString foldLatin(const QString &text);

} // namespace Sjis

// `number` as decimal text, left-padded with "0" to `width` characters
// (the rightmost `width` characters of width zeros followed by the number).
QString ZeroPad(long long number, int width);

// Cuts `text` to at most `maxBytes` bytes of its CP932 form. A cut inside a
// double-byte character drops that character and appends one half-width
// space. Text within the limit is returned unchanged. The kept part is the
// original characters, so one that has no CP932 form stays as it was (it
// takes one byte, the "?" it will be written as).
QString TruncateBytes(const QString &text, int maxBytes);

} // namespace skedra
