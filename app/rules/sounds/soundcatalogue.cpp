#include "soundcatalogue.h"

namespace skedra {

namespace {

// 601SH: melodies 5 to 29.
const char16_t *const Melodies601SH[25] = {
    u"効果音 ﾒｰﾙ", // 5
    u"効果音 ｳｪﾌﾞ", // 6
    u"効果音 ｽﾃｰｼｮﾝ", // 7
    u"効果音 黒電話", // 8
    u"効果音 ｱﾆﾒ付き着信", // 9
    u"効果音 ｵｰﾌﾟﾆﾝｸﾞ１", // 10
    u"効果音 ｵｰﾌﾟﾆﾝｸﾞ２", // 11
    u"効果音 ｴﾝﾃﾞｨﾝｸﾞ１", // 12
    u"効果音 ｴﾝﾃﾞｨﾝｸﾞ２", // 13
    u"効果音 ｴﾗｰ音", // 14
    u"効果音 ｱﾆﾒ付きﾒｰﾙ１", // 15
    u"効果音 ｱﾆﾒ付きﾒｰﾙ２", // 16
    u"効果音 ｱﾆﾒ付きﾒｰﾙ３", // 17
    u"Disney:電話だよ､ﾊﾊｯ", // 18
    u"Disney:ﾒｰﾙが来たよ!", // 19
    u"VOICE OF LOVE", // 20
    u"MICKEY MOUSE MARCH", // 21
    u"大きな古時計", // 22
    u"森のくまさん", // 23
    u"カノン", // 24
    u"威風堂々", // 25
    u"帰れソレントへ", // 26
    u"弦楽セレナーデ", // 27
    u"MOONLIGHT", // 28
    u"TENDER MOMENT", // 29
};

// 602SH: melodies 5 to 29.
const char16_t *const Melodies602SH[25] = {
    u"効果音 ﾒｰﾙ", // 5
    u"効果音 ｳｪﾌﾞ", // 6
    u"効果音 ｽﾃｰｼｮﾝ", // 7
    u"効果音 ﾚﾎﾟｰﾄ", // 8
    u"効果音 ｵｰﾌﾟﾆﾝｸﾞ１", // 9
    u"効果音 ｵｰﾌﾟﾆﾝｸﾞ２", // 10
    u"効果音 ｴﾝﾃﾞｨﾝｸﾞ１", // 11
    u"効果音 ｴﾝﾃﾞｨﾝｸﾞ２", // 12
    u"効果音 ｴﾗｰ音", // 13
    u"効果音 ｱﾆﾒ付き着信", // 14
    u"効果音 ｱﾆﾒ付きﾒｰﾙ", // 15
    u"Disney:ｱﾆﾒ付き１", // 16
    u"Disney:ｱﾆﾒ付き２", // 17
    u"Disney:ねーねー電話だよ!", // 18
    u"Disney:新しいﾒｯｾｰｼﾞだよ!", // 19
    u"イコール(着うた)", // 20
    u"森のくまさん", // 21
    u"組曲｢惑星｣より｢木星｣", // 22
    u"新世界より｢第4楽章｣", // 23
    u"愛の挨拶", // 24
    u"ノクターン", // 25
    u"ブラームスの子守歌", // 26
    u"DIGITAL WORLD", // 27
    u"FRASH TRANCE", // 28
    u"TECHNO VOX", // 29
};

// 603SH: melodies 5 to 29.
const char16_t *const Melodies603SH[25] = {
    u"効果音 ﾒｰﾙ", // 5
    u"効果音 ｳｪﾌﾞ", // 6
    u"効果音 ｽﾃｰｼｮﾝ", // 7
    u"効果音 ﾚﾎﾟｰﾄ", // 8
    u"効果音 ｵｰﾌﾟﾆﾝｸﾞ１", // 9
    u"効果音 ｵｰﾌﾟﾆﾝｸﾞ２", // 10
    u"効果音 ｴﾝﾃﾞｨﾝｸﾞ１", // 11
    u"効果音 ｴﾝﾃﾞｨﾝｸﾞ２", // 12
    u"効果音 ｴﾗｰ音", // 13
    u"効果音 ｱﾆﾒ付き着信", // 14
    u"効果音 ｱﾆﾒ付きﾒｰﾙ", // 15
    u"効果音 黒電話", // 16
    u"効果音 ﾎﾞｲｽｺｰﾙ", // 17
    u"効果音 ﾎﾞｲｽｺｰﾙ１", // 18
    u"効果音 ﾎﾞｲｽｺｰﾙ２", // 19
    u"喜怒哀楽-HUNGRY DAYS", // 20
    u"森のくまさん", // 21
    u"アメージンググレース", // 22
    u"ジュ・トゥ・ヴ", // 23
    u"ジムノペディ'", // 24
    u"アンネンポルカ", // 25
    u"組曲｢惑星｣より｢木星｣", // 26
    u"ノクターン", // 27
    u"JAZZ HOLIDAY", // 28
    u"ROMANTIC CITY", // 29
};

// 604SH: melodies 5 to 29.
const char16_t *const Melodies604SH[25] = {
    u"効果音 ﾒｰﾙ", // 5
    u"効果音 ｳｪﾌﾞ", // 6
    u"効果音 ｽﾃｰｼｮﾝ", // 7
    u"効果音 ﾚﾎﾟｰﾄ", // 8
    u"効果音 ｵｰﾌﾟﾆﾝｸﾞ１", // 9
    u"効果音 ｵｰﾌﾟﾆﾝｸﾞ２", // 10
    u"効果音 ｴﾝﾃﾞｨﾝｸﾞ１", // 11
    u"効果音 ｴﾝﾃﾞｨﾝｸﾞ２", // 12
    u"効果音 ｴﾗｰ音", // 13
    u"効果音 ｱﾆﾒ付き着信", // 14
    u"効果音 ｱﾆﾒ付きﾒｰﾙ", // 15
    u"効果音 黒電話", // 16
    u"効果音 電話です", // 17
    u"効果音 ﾎﾞｲｽﾒｰﾙ１", // 18
    u"効果音 ﾎﾞｲｽﾒｰﾙ２", // 19
    u"森のくまさん(着うた)", // 20
    u"組曲｢惑星｣より｢木星｣", // 21
    u"ジムノペディ", // 22
    u"アメージンググレース", // 23
    u"DRIVIN'", // 24
    u"Dark Dream", // 25
    u"Sunlight Shuffle", // 26
    u"Black Street", // 27
    u"Heaven's Cafe", // 28
    u"Endless Sky", // 29
};

// SH51: melodies 5 to 29.
const char16_t *const MelodiesSH51[25] = {
    u"効果音1", // 5
    u"効果音2", // 6
    u"効果音3", // 7
    u"効果音4", // 8
    u"効果音5", // 9
    u"効果音6", // 10
    u"効果音7", // 11
    u"効果音8", // 12
    u"効果音9", // 13
    u"効果音10", // 14
    u"効果音11", // 15
    u"効果音12", // 16
    u"効果音13", // 17
    u"効果音14", // 18
    u"効果音15", // 19
    u"My Happiness", // 20
    u"うららボイス", // 21
    u"ﾐﾆﾓﾆ｡ﾃﾚﾌｫﾝ!ﾘﾝﾘﾝﾘﾝ", // 22
    u"白い恋人達", // 23
    u"アゲハ蝶", // 24
    u"森のくまさん", // 25
    u"ピアノ協奏曲1番", // 26
    u"カノン", // 27
    u"ロンドン橋", // 28
    u"小フーガト短調", // 29
};

// SH52: melodies 5 to 29.
const char16_t *const MelodiesSH52[25] = {
    u"ﾒｰﾙ", // 5
    u"ｳｪﾌﾞ", // 6
    u"ｽﾃｰｼｮﾝ", // 7
    u"黒電話", // 8
    u"出囃子", // 9
    u"ｵｰﾌﾟﾆﾝｸﾞ1", // 10
    u"ｵｰﾌﾟﾆﾝｸﾞ2", // 11
    u"ｴﾝﾃﾞｨﾝｸﾞ1", // 12
    u"ｴﾝﾃﾞｨﾝｸﾞ2", // 13
    u"ｱﾗｰﾄ", // 14
    u"ﾌﾞｰ", // 15
    u"ｲｪｲ", // 16
    u"受信", // 17
    u"Disney ﾃﾚﾌｫﾝ!", // 18
    u"Disney Oh!", // 19
    u"My Happiness", // 20
    u"うららボイス", // 21
    u"ハイ・ホー", // 22
    u"幸せﾋﾞｰﾑ!好き好きﾋﾞｰﾑ!", // 23
    u"可愛いミーナ", // 24
    u"ジムノペディ", // 25
    u"コロブチカ", // 26
    u"花のワルツ", // 27
    u"森のくまさん", // 28
    u"天国と地獄", // 29
};

// SH53: melodies 5 to 29.
const char16_t *const MelodiesSH53[25] = {
    u"ﾒｰﾙ", // 5
    u"ｳｪﾌﾞ", // 6
    u"ｽﾃｰｼｮﾝ", // 7
    u"黒電話", // 8
    u"ｱﾆﾒ付き着信", // 9
    u"ｵｰﾌﾟﾆﾝｸﾞ1", // 10
    u"ｵｰﾌﾟﾆﾝｸﾞ2", // 11
    u"ｴﾝﾃﾞｨﾝｸﾞ1", // 12
    u"ｴﾝﾃﾞｨﾝｸﾞ2", // 13
    u"ｴﾗｰ音", // 14
    u"ｱﾆﾒ付きﾒｰﾙ1", // 15
    u"ｱﾆﾒ付きﾒｰﾙ2", // 16
    u"ｱﾆﾒ付きﾒｰﾙ3", // 17
    u"You got a call!", // 18
    u"Wow an E-mail!", // 19
    u"MICKEY MOUSE MARCH", // 20
    u"世界に一つだけの花", // 21
    u"Grip!", // 22
    u"大きな古時計", // 23
    u"森のくまさん", // 24
    u"カノン", // 25
    u"威風堂々", // 26
    u"別れの曲", // 27
    u"ジムノペディ", // 28
    u"西瓜の名産地", // 29
};

const char16_t *const FirstMelodies[5] = {u"ﾊﾟﾀｰﾝ1", u"ﾊﾟﾀｰﾝ2", u"ﾊﾟﾀｰﾝ3", u"ﾊﾟﾀｰﾝ4", u"ﾊﾟﾀｰﾝ5"};

const char16_t *const LampPatterns[5] = {u"ﾊﾟﾀｰﾝ1", u"ﾊﾟﾀｰﾝ2", u"ﾊﾟﾀｰﾝ3", u"ﾊﾟﾀｰﾝ4", u"ﾊﾟﾀｰﾝ5"};

const char16_t *const LampColours[8] = {
    u"ﾗｲﾁﾌﾙｰﾂ", u"ﾁｪﾘｰ", u"ﾚﾓﾝ", u"ﾏｽｶｯﾄ", u"ﾌﾞﾙｰﾍﾞﾘｰ", u"ｸﾞﾚｰﾌﾟ", u"ﾍﾟﾊﾟｰﾐﾝﾄ", u"ﾄﾛﾋﾟｶﾙ",
};

// SH52 lists colours 1 to 5 only; its list entry n is colour number n + 1.
const char16_t *const LampColoursSH52[8] = {
    u"ﾁｪﾘｰ", u"ﾚﾓﾝ", u"ﾏｽｶｯﾄ", u"ﾌﾞﾙｰﾍﾞﾘｰ", u"ｸﾞﾚｰﾌﾟ", u"", u"", u"",
};

// What a model sets. A null sixth pattern means the model leaves index 5 as
// it was; null pattern or colour tables mean the model sets none of them.
struct ModelSounds {
    const char16_t *code;
    const char16_t *const *melodies;       // indexes 5 to 29
    bool setsPatterns;
    const char16_t *sixthPattern;          // index 5 of the lamp patterns
    const char16_t *const *colours;        // indexes 0 to 7, or null
};

const ModelSounds Models[] = {
    {u"601SH", Melodies601SH, true, u"", LampColours},
    {u"602SH", Melodies602SH, true, u"SMAF連動", LampColours},
    {u"603SH", Melodies603SH, true, u"SMAF連動", LampColours},
    {u"604SH", Melodies604SH, true, u"SMAF連動", LampColours},
    {u"SH51", MelodiesSH51, false, nullptr, nullptr},
    {u"SH52", MelodiesSH52, true, nullptr, LampColoursSH52},
    {u"SH53", MelodiesSH53, true, u"", LampColours},
};

template <size_t N>
QString nameAt(const std::array<QString, N> &table, int index)
{
    if (index < 0 || index >= static_cast<int>(N))
        return {};
    return table[static_cast<size_t>(index)];
}

} // namespace

bool SoundCatalogue::LoadSoundCatalogue(QStringView modelCode)
{
    const ModelSounds *model = nullptr;
    for (const ModelSounds &m : Models) {
        if (modelCode == QStringView(m.code)) {
            model = &m;
            break;
        }
    }
    if (!model)
        return false;

    for (int i = 0; i < 5; ++i)
        m_melodies[static_cast<size_t>(i)] = QString::fromUtf16(FirstMelodies[i]);
    for (int i = 5; i < MelodyCount; ++i)
        m_melodies[static_cast<size_t>(i)] = QString::fromUtf16(model->melodies[i - 5]);

    if (model->setsPatterns) {
        for (int i = 0; i < 5; ++i)
            m_patterns[static_cast<size_t>(i)] = QString::fromUtf16(LampPatterns[i]);
        if (model->sixthPattern)
            m_patterns[5] = QString::fromUtf16(model->sixthPattern);
    }
    if (model->colours) {
        for (int i = 0; i < LampColourCount; ++i)
            m_colours[static_cast<size_t>(i)] = QString::fromUtf16(model->colours[i]);
    }
    return true;
}

QString SoundCatalogue::melodyName(int index) const { return nameAt(m_melodies, index); }
QString SoundCatalogue::lampPatternName(int index) const { return nameAt(m_patterns, index); }
QString SoundCatalogue::lampColourName(int index) const { return nameAt(m_colours, index); }

QStringList SoundCatalogue::lampColourList() const
{
    QStringList list;
    for (const QString &name : m_colours) {
        if (!name.isEmpty())
            list.append(name);
    }
    return list;
}

std::optional<int> fixedMelodyIndex(QStringView sndValue)
{
    if (!sndValue.startsWith(u"0;"))
        return std::nullopt;
    const QStringView number = sndValue.mid(2);
    if (number.isEmpty() || number.size() > 2)
        return std::nullopt;
    for (QChar c : number) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int index = number.toInt();
    if (index >= SoundCatalogue::MelodyCount)
        return std::nullopt;
    return index;
}

} // namespace skedra
