#include "sjis.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace skedra::Sjis {

namespace {

// The transform is built once per thread: building it reads ICU's rules,
// and one instance must not be used by two threads at once.
QString latinToAscii(const QString &text)
{
    thread_local const std::unique_ptr<icu::Transliterator> transform = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(
            icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
    if (!transform)
        return text;
    icu::UnicodeString u(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
    transform->transliterate(u);
    return QString(reinterpret_cast<const QChar *>(u.getBuffer()), u.length());
}

// True when encode() writes `text` without a "?": every character has a
// CP932 form or a CP932 twin.
bool writable(const QString &text)
{
    int replaced = 0;
    encode(text, &replaced);
    return replaced == 0;
}

} // namespace

QString foldLatin(const QString &text)
{
    if (writable(text))
        return text;
    // Character by character (a base with its combining marks, a surrogate
    // pair), so that what CP932 holds, or writes as its twin, never goes
    // through the transform.
    QString folded;
    QString pending;  // characters without a CP932 form, transformed together
    folded.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        qsizetype end = i + 1;
        if (text[i].isHighSurrogate() && end < text.size() && text[end].isLowSurrogate())
            ++end;
        while (end < text.size() && text[end].isMark())
            ++end;
        const QString character = text.mid(i, end - i);
        if (writable(character)) {
            folded += latinToAscii(pending) + character;
            pending.clear();
        } else {
            pending += character;
        }
        i = end;
    }
    return folded + latinToAscii(pending);
}

} // namespace skedra::Sjis
