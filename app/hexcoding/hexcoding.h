// The quoted-printable coding object the program keeps for the whole run.
//
// It is created by its identifier through createHexCodingObject(), the small
// stand-in for a component registry; the program reaches the Hexmill coder
// only through it.
#pragma once

#include <QString>

#include <memory>

namespace skedra {

class HexCoding {
public:
    virtual ~HexCoding() = default;

    // The escape text put before each two-digit byte ("=" for
    // quoted-printable).
    virtual void SetAddChar(const QString &addChar) = 0;
    // "0": a space travels as "+"; "1": a space is escaped like any byte.
    virtual void SetMode(const QString &mode) = 0;

    // Escaped text whose bytes are CP932 -> Unicode text. A text that does not
    // decode comes back unchanged and lastCallFailed() is true.
    virtual QString Decode(const QString &text) = 0;
    // Escaped text -> the bytes it stands for, in no character set (for a
    // value whose text is in another set than CP932). A text that does not
    // decode comes back as its own CP932 bytes and lastCallFailed() is true.
    virtual QByteArray DecodeBytes(const QString &text) = 0;
    // Unicode text -> CP932 bytes -> escaped ASCII text. Every letter is
    // escaped, so upper-casing the result never changes what it decodes to.
    virtual QString Encode(const QString &text) = 0;

    // True when the last Decode or Encode could not do its work (bad escapes,
    // characters with no CP932 form replaced).
    virtual bool lastCallFailed() const = 0;

    // Encode(text) as it is written to a file, upper-cased and with every
    // "+" a space, appended to `out`; lastCallFailed() as after Encode. For
    // the writer, which builds the whole file in one text.
    virtual void EncodeForFile(const QString &text, QString &out);
};

// The identifier the program creates its coder by.
inline constexpr const char *HexCodingProgId = "Hexbridge.HexCoding";

// Creates the object registered under `progId`; null when there is none or it
// cannot be made (the program then starts without it).
std::unique_ptr<HexCoding> createHexCodingObject(const QString &progId);

} // namespace skedra
