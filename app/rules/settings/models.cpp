#include "models.h"

#include "session.h"
#include "settings.h"
#include "soundcatalogue.h"

namespace skedra {

namespace {

ModelProfile makeProfile(const char *code, ModelFamily family, int highestCode)
{
    ModelProfile p;
    p.code = QString::fromLatin1(code);
    p.family = family;
    p.menuItem = QStringLiteral("mnu") + p.code;
    p.menuCaption = (family == ModelFamily::V ? QStringLiteral("V") : QStringLiteral("J-")) + p.code;
    p.highestCategoryCode = highestCode;
    p.handsetDefaults = family == ModelFamily::V;
    p.lampProperty = p.code != QLatin1String("SH51");
    return p;
}

ModelSelection selectModel(SessionState &session, SoundCatalogue &catalogue, QStringView code)
{
    const ModelProfile &model = modelProfileOrDefault(code);
    ModelSelection result;
    const auto &all = allModelProfiles();
    for (size_t i = 0; i < all.size(); ++i)
        result.checks[i] = {all[i].menuItem, all[i].code == model.code};
    session.ModelCode = model.code;
    catalogue.LoadSoundCatalogue(model.code);
    result.statusText = model.statusText();
    result.extendedMenuVisible = model.extendedStampMenu();
    result.saved = false;
    return result;
}

} // namespace

QString ModelProfile::statusText() const
{
    return QStringLiteral("機種：") + menuCaption;
}

QString ModelProfile::column8Header() const
{
    return isV() ? QStringLiteral("ｽﾀﾝﾌﾟ") : QStringLiteral("ｶﾃｺﾞﾘ");
}

QString ModelProfile::headerFormat() const
{
    return QStringLiteral("|<種別|<件名|<開始日時|<終了日時|<内容|<ｱﾗｰﾑ|<ｼｰｸﾚｯﾄ|<") + column8Header()
        + QStringLiteral("|<優先度|<状態");
}

QString ModelProfile::categoryMenuCaption() const
{
    return column8Header() + QStringLiteral("(&H)");
}

const std::array<ModelProfile, ModelCount> &allModelProfiles()
{
    static const std::array<ModelProfile, ModelCount> profiles = {
        makeProfile("SH51", ModelFamily::J, 6),
        makeProfile("SH52", ModelFamily::J, 6),
        makeProfile("SH53", ModelFamily::J, 6),
        makeProfile("601SH", ModelFamily::V, 19),
        makeProfile("602SH", ModelFamily::V, 29),
        makeProfile("603SH", ModelFamily::V, 59),
        makeProfile("604SH", ModelFamily::V, 59),
    };
    return profiles;
}

const ModelProfile *findModelProfile(QStringView code)
{
    for (const ModelProfile &p : allModelProfiles()) {
        if (p.code == code)
            return &p;
    }
    return nullptr;
}

const ModelProfile &modelProfileOrDefault(QStringView code)
{
    if (const ModelProfile *p = findModelProfile(code))
        return *p;
    return *findModelProfile(u"SH53");
}

CategoryMenuConfig categoryMenuConfig(const ModelProfile &model)
{
    CategoryMenuConfig config;
    config.categoryMenuCaption = model.categoryMenuCaption();
    for (int i = 0; i < static_cast<int>(config.categoryItemVisible.size()); ++i)
        config.categoryItemVisible[static_cast<size_t>(i)] = i <= model.highestCategoryCode;
    config.extendedMenuVisible = model.extendedStampMenu();
    config.dateColourEnabled = model.handsetAttributeCommands();
    config.autoDeleteEnabled = model.handsetAttributeCommands();
    config.standbyEnabled = model.handsetAttributeCommands();
    return config;
}

ModelSelection SelectModel(SessionState &session, SoundCatalogue &catalogue,
                           SettingsStore &settings, QStringView code)
{
    ModelSelection result = selectModel(session, catalogue, code);
    result.saved = settings.saveModelCode(session.ModelCode);
    return result;
}

ModelSelection SelectStartupModel(SessionState &session, SoundCatalogue &catalogue,
                                  QStringView storedCode)
{
    return selectModel(session, catalogue, storedCode);
}

} // namespace skedra
