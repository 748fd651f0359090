// The seven handset models and what each changes in the program: captions,
// status text, the list header, which category and stamp codes and which
// attribute commands are offered, which editor is used and which handset
// properties new entries get. Also the model switch (SelectModel).
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <utility>

namespace skedra {

struct SessionState;
class SettingsStore;
class SoundCatalogue;

// "V" models are 601SH to 604SH, "J" models SH51 to SH53.
enum class ModelFamily { V, J };

// The entry editor a model uses.
enum class EditorKind {
    EditR, // frmEditR, 601SH to 604SH
    Edit,  // frmEdit, SH51 to SH53
};

struct ModelProfile {
    QString code;               // "603SH"
    ModelFamily family;
    QString menuItem;           // objectName of its item in mnuModel: "mnu603SH"
    QString menuCaption;        // "V603SH"
    int highestCategoryCode;    // codes 0 to this are offered: 19, 29, 59 or 6
    bool handsetDefaults;       // new entries get X-JPGSH-ALARM ... X-JPGSH-ATTACH
    bool lampProperty;          // new entries get X-JPGSH-CMBLT-NO (all but SH51)

    bool isV() const { return family == ModelFamily::V; }
    // Status bar panel 2: "機種：V603SH", "機種：J-SH53".
    QString statusText() const;
    // Header of list column 8: "ｽﾀﾝﾌﾟ" or "ｶﾃｺﾞﾘ".
    QString column8Header() const;
    // The list grid's header format string, chosen once at start.
    QString headerFormat() const;
    // Caption of mnuCate / pmnuCate: "ｽﾀﾝﾌﾟ(&H)" or "ｶﾃｺﾞﾘ(&H)".
    QString categoryMenuCaption() const;
    // The extended stamp menu mnuCate2 (codes 30 to 59): 603SH and 604SH.
    bool extendedStampMenu() const { return highestCategoryCode >= 59; }
    // Date colour, auto-delete protection and standby display commands.
    bool handsetAttributeCommands() const { return isV(); }
    EditorKind editor() const { return isV() ? EditorKind::EditR : EditorKind::Edit; }
    // For V models the X-JPGSH-SND of a new entry carries the text
    // parameters "CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE".
    bool soundParameters() const { return isV(); }
};

constexpr int ModelCount = 7;

// All seven in the order of the model menu: SH51, SH52, SH53, 601SH, 602SH,
// 603SH, 604SH.
const std::array<ModelProfile, ModelCount> &allModelProfiles();

// The profile of a code; null when the code is not one of the seven (exact
// text, upper case).
const ModelProfile *findModelProfile(QStringView code);

// The profile a stored code selects: any other text, empty included,
// selects SH53.
const ModelProfile &modelProfileOrDefault(QStringView code);

// The model-dependent items of the Edit menu and of the pop-up menu, to be
// applied each time one of them opens.
struct CategoryMenuConfig {
    QString categoryMenuCaption;                 // mnuCate / pmnuCate
    std::array<bool, 30> categoryItemVisible{};  // mnuCatego / pmnuCatego 0-29
    bool extendedMenuVisible = false;            // mnuCate2 / pmnuCate2
    bool dateColourEnabled = false;              // mnuDateColor / pmnuDateColor
    bool autoDeleteEnabled = false;              // mnuAutoDel / pmnuAutoDel
    bool standbyEnabled = false;                 // mnuWait / pmnuWait
};
CategoryMenuConfig categoryMenuConfig(const ModelProfile &model);

// What the window shows after a model has been selected.
struct ModelSelection {
    // Check marks of the seven model items, in menu order (objectName,
    // checked); exactly one is checked.
    std::array<std::pair<QString, bool>, ModelCount> checks;
    QString statusText;          // status bar panel 2
    bool extendedMenuVisible;    // mnuCate2
    bool saved;                  // the model was stored (SelectModel only)
};

// The model menu command: checks the chosen item, sets ModelCode, loads the
// model's sound catalogue, gives the status text, stores ModelCode in the
// settings at once and says whether mnuCate2 is shown. The list header and
// the list are not touched. An unknown code selects SH53.
ModelSelection SelectModel(SessionState &session, SoundCatalogue &catalogue,
                           SettingsStore &settings, QStringView code);

// The same at start-up, from the stored code, without storing it again.
ModelSelection SelectStartupModel(SessionState &session, SoundCatalogue &catalogue,
                                  QStringView storedCode);

} // namespace skedra
