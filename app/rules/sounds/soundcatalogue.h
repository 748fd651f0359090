// The handset sound catalogue: display names of the fixed melodies, the lamp
// patterns and the lamp colours of the current handset model.
//
// An entry refers to a melody, pattern or colour only by number; the editors
// show these names in their lists, where a list entry number equals the
// table index. The tables are rebuilt whenever a model is chosen and are not
// cleared first: an index the new model does not set keeps the previous
// model's text (empty at program start). That is how the handset lists have
// always behaved (SH51 sets no lamp names, SH52 no sixth lamp pattern), and
// the editors only show the indexes the current model uses.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

namespace skedra {

class SoundCatalogue {
public:
    static constexpr int MelodyCount = 30;
    static constexpr int LampPatternCount = 6;
    static constexpr int LampColourCount = 8;

    // Fills the three tables for a model code ("601SH" to "604SH", "SH51" to
    // "SH53"). Any other code changes nothing and returns false.
    bool LoadSoundCatalogue(QStringView modelCode);

    const std::array<QString, MelodyCount> &MelodyNames() const { return m_melodies; }
    const std::array<QString, LampPatternCount> &LampPatternNames() const { return m_patterns; }
    const std::array<QString, LampColourCount> &LampColourNames() const { return m_colours; }

    // One name by index; empty when the index is out of range.
    QString melodyName(int index) const;
    QString lampPatternName(int index) const;
    QString lampColourName(int index) const;

    // The lamp colour list of the editor: the non-empty names among 0 to 7,
    // in index order (five on SH52, eight on the other lamp models).
    QStringList lampColourList() const;

private:
    std::array<QString, MelodyCount> m_melodies;
    std::array<QString, LampPatternCount> m_patterns;
    std::array<QString, LampColourCount> m_colours;
};

// The fixed melody of an X-JPGSH-SND value: "0;" followed by a number from 0
// to 29 gives that number. Anything else (a file sound "1;...", an empty
// value, a number out of range) gives nothing.
std::optional<int> fixedMelodyIndex(QStringView sndValue);

} // namespace skedra
