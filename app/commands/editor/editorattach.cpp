// The attachments of the entry editor: the picture fields with their
// preview, and the two file choosers (picture, sound file). The handset
// keeps the files; an entry stores only the bare file name, and the
// editor remembers the PC folder that mirrors the handset's folder.
#include "editormodel.h"
#include "filecommands.h"
#include "newentry.h"

namespace skedra {

namespace {

const QString ChooserTitle = QStringLiteral("ファイルを開く");

// The chosen path split at its last folder separator: the folder keeps
// its trailing separator, the name is what the handset sees.
struct SplitPath {
    QString folder;
    QString name;
};
SplitPath splitPath(const QString &path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/')) + 1;
    return {path.left(cut), path.mid(cut)};
}

} // namespace

PreviewPlace previewPlace(int widthTwips, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return {};
    const int height = static_cast<int>(qint64(widthTwips) * pictureHeight / pictureWidth);
    return {height > widthTwips ? PreviewTopPortrait : PreviewTopLandscape, height};
}

// The same rule as the file commands' extension of a .vcs path.
QString UpperExtension(const QString &path)
{
    return GetExtension(path);
}

FileChooser pictureChooser()
{
    return {QStringLiteral("ピクチャ (*.jpg *.png)"), AttachmentFolder::Image,
            QStringLiteral("携帯本体のﾋﾟｸﾁｬｰﾌｫﾙﾀﾞと同じ画像の入ったﾌｫﾙﾀﾞを　　　")};
}

FileChooser soundChooser(const EditorProfile &profile, int folder)
{
    if (profile.kind == EditorKind::Edit) {
        return {QStringLiteral("メロディ (*.mmf *.smd *.HUF);;すべてのファイル (*)"),
                AttachmentFolder::Music,
                QStringLiteral("携帯本体のﾐｭｰｼﾞｯｸﾌｫﾙﾀﾞと同じﾌｧｲﾙの入ったﾌｫﾙﾀﾞを　　　")};
    }
    const QString note = QStringLiteral("携帯本体のﾃﾞｰﾀﾌｫﾙﾀﾞと同じﾌｧｲﾙの入ったﾌｫﾙﾀﾞを　　　");
    switch (folder) {
    case 1:
        return {QStringLiteral("ｵｰﾃﾞｨｵ (*.mp4 *.mp4.HUF)"), AttachmentFolder::Audio, note};
    case 2:
        return {QStringLiteral("ﾎﾞｲｽ (*.svr *.svr.HUF)"), AttachmentFolder::Voice, note};
    default:
        return {QStringLiteral("ﾐｭｰｼﾞｯｸ (*.mmf *.smd *.mmf.HUF *.smd.HUF);;すべてのファイル (*)"),
                AttachmentFolder::Music, note};
    }
}

// ---- Picture fields ----

void EditorModel::loadPicture()
{
    PictureFields &p = form.picture;
    p.file = m_state.WorkEntry[AttachValue];
    optPic_Click(p.file.isEmpty() ? Pair::Off : Pair::On);
    if (p.attached == Pair::On)
        previewPicture();
}

void EditorModel::optPic_Click(Pair on)
{
    ++m_handlerCalls;
    PictureFields &p = form.picture;
    p.attached = on;
    p.enabled = on == Pair::On;
    if (!p.enabled) {
        p.file.clear();
        p.preview.clear();
    }
}

// The picture is looked for in the last folder a picture was chosen from;
// with no folder known yet there is nothing to show.
void EditorModel::previewPicture()
{
    PictureFields &p = form.picture;
    const QString &folder = m_state.AttachmentFolders[static_cast<size_t>(AttachmentFolder::Image)];
    p.preview = folder.isEmpty() || p.file.isEmpty() ? QString() : folder + p.file;
}

void EditorModel::storePicture(ScheduleEntry &e) const
{
    setName(e, Attach, "X-JPGSH-ATTACH");
    e[AttachParams] = AttachParameters;
    e[AttachValue] = form.picture.attached == Pair::On ? form.picture.file : QString();
}

// ---- Choosers ----

// Shows the first-use note while MusicPath (sounds) or ImagePath (pictures)
// is empty, then the dialog in the chooser's folder. On a choice the folder
// is kept with its trailing "/" and saved; returns the bare name, or empty
// when cancelled.
QString EditorModel::chooseFile(const FileChooser &chooser)
{
    auto &folders = m_state.AttachmentFolders;
    const AttachmentFolder noteFolder =
        chooser.folder == AttachmentFolder::Image ? AttachmentFolder::Image : AttachmentFolder::Music;
    if (folders[static_cast<size_t>(noteFolder)].isEmpty()) {
        m_dialogs.message(QStringLiteral("注意事項"),
                          QStringLiteral("この機能を使うには．．．\n\n") + chooser.noteLine
                              + QStringLiteral("\nﾊﾟｿｺﾝに用意し、その中のﾌｧｲﾙを選択してください。\n"),
                          MessageIcon::Information, MessageButtons::Ok);
    }
    QString &folder = folders[static_cast<size_t>(chooser.folder)];
    const QString before = m_dialogs.fileFolder;
    m_dialogs.fileFolder = folder;
    const QString path = m_dialogs.openFile(ChooserTitle, chooser.filter);
    m_dialogs.fileFolder = before;
    if (path.isEmpty())
        return QString();
    const SplitPath chosen = splitPath(path);
    folder = chosen.folder;
    // A store that cannot be written costs only the folder of the next run.
    SettingsStore().saveAttachmentFolder(chooser.folder, folder);
    return chosen.name;
}

bool EditorModel::choosePicture()
{
    const QString name = chooseFile(pictureChooser());
    if (name.isEmpty())
        return false;
    form.picture.file = name;
    previewPicture();
    return true;
}

bool EditorModel::chooseSoundFile()
{
    const QString name = chooseFile(soundChooser(m_profile, form.alarm.folder));
    if (name.isEmpty())
        return false;
    form.alarm.ringFile = name;
    return true;
}

} // namespace skedra
