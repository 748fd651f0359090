#include "qtdialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>

namespace skedra {

FontChoice fontChoiceOf(const QFont &font)
{
    FontChoice choice;
    choice.name = font.family();
    choice.size = font.pointSizeF();
    choice.bold = font.bold();
    choice.italic = font.italic();
    return choice;
}

QFont withFontChoice(QFont base, const FontChoice &choice)
{
    if (!choice.name.isEmpty())
        base.setFamily(choice.name);
    if (choice.size > 0)
        base.setPointSizeF(choice.size);
    base.setBold(choice.bold);
    base.setItalic(choice.italic);
    return base;
}

QtDialogs::QtDialogs(QWidget *owner)
    : m_owner(owner)
{
}

Answer QtDialogs::message(const QString &title, const QString &text, MessageIcon icon,
                          MessageButtons buttons)
{
    // Over the dialog that asks (the entry editor), else over the owner.
    QWidget *modal = QApplication::activeModalWidget();
    QMessageBox box(modal ? modal : m_owner);
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    const int result = box.exec();
    switch (result) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Cancel: return Answer::Cancel;
    default:
        if (buttons == MessageButtons::YesNoCancel)
            return Answer::Cancel;
        return buttons == MessageButtons::YesNo ? Answer::No : Answer::Ok;
    }
}

QString QtDialogs::openFile(const QString &title, const QString &filter)
{
    // Qt's own dialog, with filters matched in any case: the handsets name
    // their files "*.mmf.HUF", a copy on the PC may be "*.mmf.huf".
    QWidget *modal = QApplication::activeModalWidget();
    QFileDialog dialog(modal ? modal : m_owner, title, fileFolder, filter);
    dialog.setObjectName(QStringLiteral("dlgOpen"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::saveFile(const QString &title, const QString &filter)
{
    // The caller asks before overwriting, and uses the name as typed.
    return QFileDialog::getSaveFileName(m_owner, title, fileFolder, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtDialogs::selectFolder(const QString &title)
{
    return QFileDialog::getExistingDirectory(m_owner, title, fileFolder, QFileDialog::ShowDirsOnly);
}

std::optional<FontChoice> QtDialogs::font(const FontChoice &current)
{
    // Preset to the font the grid really draws with (a family the system
    // lacks is shown as the one that stands in for it), with Japanese
    // sample text, since the grid shows Japanese.
    QFont initial = withFontChoice(QFont(), current);
    const QFontInfo drawn(initial);
    initial.setFamily(drawn.family());
    initial.setStyleName(drawn.styleName());
    QFontDialog dialog(initial, m_owner);
    dialog.setObjectName(QStringLiteral("dlgFont"));
    dialog.setCurrentFont(initial);
    for (auto *box : dialog.findChildren<QGroupBox *>()) {
        if (auto *sample = box->findChild<QLineEdit *>()) {
            sample->setText(FontSampleText);
            sample->setCursorPosition(0);
        }
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return fontChoiceOf(dialog.selectedFont());
}

} // namespace skedra
